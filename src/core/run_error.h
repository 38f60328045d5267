#pragma once

#include <stdexcept>
#include <string>

namespace rdsim {

enum class Fault {
  Overflow,
  DivisionByZero,
  TypeMismatch,
  SubscriptOutOfRange,
  InvalidFloatingPoint,
  FileAccess,   // a file that cannot be opened, read or written
  InvalidName,  // a name the preset file cannot carry
};

const char* FaultName(Fault fault);

// The one error of the checked arithmetic. It abandons the event being
// handled; the window boundary catches it and tells the user.
class RunError : public std::runtime_error {
 public:
  explicit RunError(Fault fault, std::string detail = {}, std::string box = {});

  Fault fault() const { return fault_; }
  const std::string& detail() const { return detail_; }
  // The control name ("Text1(4)", "Text2", "Text3") of the box whose text
  // caused the error, or empty: after the message the window hands that box
  // the focus, so the user can mend it at once.
  const std::string& box() const { return box_; }

 private:
  Fault fault_;
  std::string detail_;
  std::string box_;
};

// Prefixes what was being done ("in step 12") to an error's detail; keeps its box.
RunError WithContext(const RunError& error, const std::string& context);

// Appends whole sentences (the cause and the remedy) after an error's detail;
// keeps its box.
RunError WithAdvice(const RunError& error, const std::string& sentences);

}  // namespace rdsim
