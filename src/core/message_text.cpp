#include "core/message_text.h"

#include <cstdio>
#include <vector>

namespace rdsim {

namespace {

// The text cut into characters; a byte that begins none is one of its own.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> characters;
  while (!text.empty()) {
    const std::size_t bytes = Utf8CharacterBytes(text);
    characters.push_back(text.substr(0, bytes == 0 ? 1 : bytes));
    text.remove_prefix(characters.back().size());
  }
  return characters;
}

bool IsControl(std::string_view character) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return first < 0x20 || first >= 0x7F;  // C0, DEL, or no UTF-8
  // U+0080 to U+009F
  return character.size() == 2 && first == 0xC2 && static_cast<unsigned char>(character[1]) <= 0x9F;
}

}  // namespace

std::size_t Utf8CharacterBytes(std::string_view text) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  }
  return length;
}

std::string Shortened(std::string_view value) {
  if (value.size() <= EchoedCharacters) return std::string(value);
  const std::vector<std::string_view> characters = Characters(value);
  if (characters.size() <= EchoedCharacters) return std::string(value);
  const std::string_view cut = "...";
  const std::size_t head = (EchoedCharacters - cut.size() + 1) / 2;
  const std::size_t tail = EchoedCharacters - cut.size() - head;
  std::string shown;
  for (std::size_t i = 0; i < head; ++i) shown += characters[i];
  shown += cut;
  for (std::size_t i = characters.size() - tail; i < characters.size(); ++i) shown += characters[i];
  return shown;
}

std::string Echoed(std::string_view value) { return "\"" + Shortened(value) + "\""; }

std::string Printable(std::string_view message) {
  std::string shown;
  for (const std::string_view character : Characters(message)) {
    if (!IsControl(character)) {
      shown += character;
      continue;
    }
    for (const char c : character) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      shown += escaped;
    }
  }
  return shown;
}

}  // namespace rdsim
