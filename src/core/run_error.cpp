#include "core/run_error.h"

namespace rdsim {

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::Overflow: return "Overflow";
    case Fault::DivisionByZero: return "Division by zero";
    case Fault::TypeMismatch: return "Type mismatch";
    case Fault::SubscriptOutOfRange: return "Subscript out of range";
    case Fault::InvalidFloatingPoint: return "Invalid floating-point operation";
    case Fault::FileAccess: return "File access error";
    case Fault::InvalidName: return "Invalid name";
  }
  return "Run-time error";
}

namespace {
std::string Message(Fault fault, const std::string& detail) {
  std::string text(FaultName(fault));
  if (!detail.empty()) {
    text.reserve(text.size() + 2 + detail.size());
    text += ": ";
    text += detail;
  }
  return text;
}
}  // namespace

RunError::RunError(Fault fault, std::string detail, std::string box)
    : std::runtime_error(Message(fault, detail)), fault_(fault), detail_(std::move(detail)), box_(std::move(box)) {}

RunError WithContext(const RunError& error, const std::string& context) {
  if (error.detail().empty()) return RunError(error.fault(), context, error.box());
  std::string detail = context;
  detail.append(", ").append(error.detail());
  return RunError(error.fault(), detail, error.box());
}

RunError WithAdvice(const RunError& error, const std::string& sentences) {
  if (sentences.empty()) return error;
  if (error.detail().empty()) return RunError(error.fault(), sentences, error.box());
  return RunError(error.fault(), error.detail() + ". " + sentences, error.box());
}

}  // namespace rdsim
