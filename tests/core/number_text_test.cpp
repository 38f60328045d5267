#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "core/checked.h"
#include "core/number_text.h"

namespace rdsim {
namespace {

Fault FaultOf(auto&& action) {
  try {
    action();
  } catch (const RunError& error) {
    return error.fault();
  }
  ADD_FAILURE() << "no RunError";
  return Fault::Overflow;
}

TEST(NumberText, ReadsTheSpellingsAUserTypes) {
  EXPECT_EQ(ParseDouble("0.08"), 0.08);
  EXPECT_EQ(ParseDouble("-0.15"), -0.15);
  EXPECT_EQ(ParseDouble("+2"), 2.0);
  EXPECT_EQ(ParseDouble(".5"), 0.5);
  EXPECT_EQ(ParseDouble("5."), 5.0);
  EXPECT_EQ(ParseDouble("  1e-3 "), 0.001);
  EXPECT_EQ(ParseDouble("2E+2"), 200.0);
  EXPECT_EQ(ParseDouble("1e-400"), 0.0);  // underflow is zero, not an error
}

TEST(NumberText, ReadsTheDecimalPointWhateverTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale here";
  EXPECT_EQ(ParseDouble("0.25"), 0.25);
  EXPECT_EQ(FormatSingle(0.25f), "0.25");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberText, RejectsWhatIsNotANumber) {
  for (const char* text :
       {"", " ", "abc", "1,5", "1.2.3", "e5", "1e", "--1", "+-1", "0x10", "nan", "inf", "1 2", "."}) {
    EXPECT_EQ(FaultOf([&] { ParseDouble(text); }), Fault::TypeMismatch) << '"' << text << '"';
  }
  try {
    ParseDouble("abc");
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find("Type mismatch"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("abc"), std::string::npos);
  }
}

TEST(NumberText, RaisesOverflowBeyondTheRange) {
  EXPECT_EQ(FaultOf([] { ParseDouble("1e400"); }), Fault::Overflow);
  EXPECT_EQ(FaultOf([] { ParseSingle("1e39"); }), Fault::Overflow);
  EXPECT_EQ(ParseSingle("1e-50"), 0.0f);
}

TEST(NumberText, ReadsSingleRoundedOnceFromTheText) {
  EXPECT_EQ(ParseSingle("0.01"), 0.01f);
  EXPECT_EQ(ParseSingle("0.25"), 0.25f);
}

TEST(NumberText, WritesAtMostSevenSignificantDigits) {
  EXPECT_EQ(FormatSingle(0.08f), "0.08");
  EXPECT_EQ(FormatSingle(-0.15f), "-0.15");
  EXPECT_EQ(FormatSingle(0.123456789f), "0.1234568");
  EXPECT_EQ(FormatSingle(0.00001f), "1E-05");
  EXPECT_EQ(FormatSingle(0.0001f), "0.0001");
  EXPECT_EQ(FormatSingle(0.0f), "0");
  EXPECT_EQ(FormatSingle(-0.0f), "0");
  EXPECT_EQ(FormatSingle(128.0f), "128");
  EXPECT_EQ(FormatSingle(1234567.0f), "1234567");
  EXPECT_EQ(FormatSingle(12345678.0f), "1.234568E+07");
  EXPECT_EQ(FormatSingle(9999999.5f), "1E+07");
  EXPECT_EQ(FormatSingle(1.5e-20f), "1.5E-20");
  EXPECT_EQ(FormatSingle(2.5f), "2.5");
}

TEST(NumberText, WrittenTextReadsBackToTheSameSingle) {
  for (float value : {0.08f, -0.15f, 0.123456789f, 1e-5f, 3.4e38f, 1.17549435e-38f, 7.0f, 0.2f, 0.01f}) {
    EXPECT_NEAR(ParseSingle(FormatSingle(value)), value, std::fabs(value) * 1e-6f) << value;
  }
}

TEST(CheckedArithmetic, RoundsTiesToEvenAndRaisesOverflow) {
  EXPECT_EQ(RoundToInt32(99.5), 100);
  EXPECT_EQ(RoundToInt32(100.5), 100);
  EXPECT_EQ(RoundToInt32(-2.5), -2);
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(FaultOf([] { RoundToInt32(2147483647.5); }), Fault::Overflow);
  EXPECT_EQ(FaultOf([] { RoundToInt32(-2147483649.0); }), Fault::Overflow);
  EXPECT_EQ(FaultOf([] { CheckedAdd(std::numeric_limits<std::int32_t>::max(), 1); }), Fault::Overflow);
  EXPECT_EQ(FaultOf([] { CheckedMul(65536, 65536); }), Fault::Overflow);
  EXPECT_EQ(FaultOf([] { CheckedMod(7, 0); }), Fault::DivisionByZero);
  EXPECT_EQ(CheckedMod(std::numeric_limits<std::int32_t>::min(), -1), 0);
  EXPECT_EQ(FaultOf([] { ToSingle(1e39); }), Fault::Overflow);
  EXPECT_EQ(FaultOf([] { ToSingle(std::nan("")); }), Fault::InvalidFloatingPoint);
}

}  // namespace
}  // namespace rdsim
