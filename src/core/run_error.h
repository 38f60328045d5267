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
  explicit RunError(Fault fault, std::string detail = {});

  Fault fault() const { return fault_; }
  const std::string& detail() const { return detail_; }

 private:
  Fault fault_;
  std::string detail_;
};

// Prefixes what was being done ("step 12", "the box k4") to an error's detail.
RunError WithContext(const RunError& error, const std::string& context);

}  // namespace rdsim
