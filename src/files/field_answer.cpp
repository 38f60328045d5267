#include "files/field_answer.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/constants.h"
#include "core/run_error.h"

namespace rdsim {

namespace {

constexpr char FieldTag = 'F', RefusalTag = 'R';
constexpr std::size_t MaxText = 1024;

template <typename T>
void Put(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutText(std::string& out, const std::string& text) {
  const std::string cut = text.substr(0, MaxText);
  Put(out, static_cast<std::uint32_t>(cut.size()));
  out += cut;
}

[[noreturn]] void Garbled() {
  throw RunError(Fault::FileAccess, "the field file reader gave an answer that is not whole");
}

class Taker {
 public:
  explicit Taker(const std::string& bytes) : bytes_(bytes) {}
  template <typename T>
  T Take() {
    T value{};
    Need(sizeof value);
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  std::string Text() {
    const auto size = Take<std::uint32_t>();
    if (size > MaxText) Garbled();
    Need(size);
    std::string text = bytes_.substr(at_, size);
    at_ += size;
    return text;
  }
  std::vector<float> Floats(std::size_t count) {
    Need(count * sizeof(float));
    std::vector<float> values(count);
    std::memcpy(values.data(), bytes_.data() + at_, count * sizeof(float));
    at_ += count * sizeof(float);
    for (const float v : values) {
      if (!std::isfinite(v) || v < 0) Garbled();
    }
    return values;
  }
  bool Done() const { return at_ == bytes_.size(); }

 private:
  void Need(std::size_t size) const {
    if (size > bytes_.size() - at_) Garbled();
  }
  const std::string& bytes_;
  std::size_t at_ = 0;
};

}  // namespace

std::string EncodeFieldAnswer(const FieldFile& field) {
  std::string out(1, FieldTag);
  Put(out, static_cast<std::uint8_t>(field.mode == Mode::TwoD ? 2 : 1));
  Put(out, static_cast<std::int32_t>(field.n));
  Put(out, field.steps);
  for (const std::string& text : field.coefficients) PutText(out, text);
  out.append(reinterpret_cast<const char*>(field.u.data()), field.u.size() * sizeof(float));
  out.append(reinterpret_cast<const char*>(field.v.data()), field.v.size() * sizeof(float));
  return out;
}

std::string EncodeFieldRefusal(const std::string& reason) {
  std::string out(1, RefusalTag);
  PutText(out, reason);
  return out;
}

FieldFile DecodeFieldAnswer(const std::string& bytes) {
  Taker taker(bytes);
  const char tag = taker.Take<char>();
  if (tag == RefusalTag) {
    const std::string reason = taker.Text();
    if (!taker.Done() || reason.empty()) Garbled();
    throw RunError(Fault::FileAccess, reason);
  }
  if (tag != FieldTag) Garbled();
  FieldFile field;
  const auto mode = taker.Take<std::uint8_t>();
  if (mode != 1 && mode != 2) Garbled();
  field.mode = mode == 2 ? Mode::TwoD : Mode::OneD;
  field.n = taker.Take<std::int32_t>();
  if (field.n < MinFieldSize || field.n > MaxFieldSize) Garbled();
  field.steps = taker.Take<std::int64_t>();
  if (field.steps < 0) Garbled();
  for (std::string& text : field.coefficients) text = taker.Text();
  const auto side = static_cast<std::size_t>(field.n);
  const std::size_t cells = field.mode == Mode::TwoD ? side * side : side;
  field.u = taker.Floats(cells);
  field.v = taker.Floats(cells);
  if (!taker.Done()) Garbled();
  return field;
}

}  // namespace rdsim
