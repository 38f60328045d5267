#include "core/parameter_intake.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/checked.h"
#include "core/coefficients.h"
#include "core/constants.h"
#include "core/message_text.h"
#include "core/number_text.h"

namespace rdsim {

std::string CoefficientControlName(int k) { return "Text1(" + std::to_string(k) + ")"; }

BoxRange SingleRange() {
  const float top = std::numeric_limits<float>::max();
  return {FormatSingle(-top), FormatSingle(top)};
}

BoxRange CoefficientRange(int k) {
  if (Coefficients[static_cast<std::size_t>(k)].scaling == StepScaling::AsRead) return SingleRange();
  // Stored times dt, which must stay within single precision.
  const double top = static_cast<double>(std::numeric_limits<float>::max()) / static_cast<double>(dt);
  return {FormatDouble(-top), FormatDouble(top)};
}

namespace {

BoxRange IterationsRange() {
  return {FormatInteger(std::numeric_limits<std::int32_t>::min()),
          FormatInteger(std::numeric_limits<std::int32_t>::max())};
}
// Sizes beyond it are brought into it without a word; only a text no integer holds is refused.
BoxRange SizeRange() { return {FormatInteger(MinFieldSize), FormatInteger(MaxFieldSize)}; }

// The text with its one comma made a point, when that reads as a number.
std::optional<std::string> WithDecimalPoint(std::string text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return std::nullopt;
  text[comma] = '.';
  try {
    ParseDouble(text);
  } catch (const RunError&) {
    return std::nullopt;
  }
  return text;
}

}  // namespace

std::string ExplainBoxFault(Fault fault, const std::string& box, const std::string& text, const BoxRange& range) {
  const std::string shown = Echoed(text);
  const std::string within = "from " + range.lowest + " to " + range.highest;
  switch (fault) {
    case Fault::TypeMismatch:
      if (const auto pointed = WithDecimalPoint(text)) {
        return box + " holds " + shown +
               ", which is not a number. The program reads only a point as the decimal mark. Type " + *pointed +
               " instead.";
      }
      return box + " holds " + shown +
             ", which is not a number. A number is digits with an optional sign, one point and an optional "
             "exponent such as E-03. Type a number " +
             within + ".";
    case Fault::Overflow:
      return box + " is too large (" + shown + "). It takes numbers " + within + ". Type a number in that range.";
    default: return box + " holds " + shown;
  }
}

void KeepNewestFieldInU(Simulation& sim) {
  if (!sim.CurrentInU) {
    FieldBuffers& b = sim.buffers;
    std::copy(b.U2.begin(), b.U2.end(), b.U.begin());
    std::copy(b.V2.begin(), b.V2.end(), b.V.begin());
  }
  sim.CurrentInU = true;
}

namespace {

// Every conversion error names the box to fix, and carries its control.
template <typename Convert>
auto FromBox(const std::string& box, const std::string& control, const std::string& text, const BoxRange& range,
             Convert convert) {
  try {
    return convert(text);
  } catch (const RunError& error) {
    throw RunError(error.fault(), ExplainBoxFault(error.fault(), box, text, range), control);
  }
}

float CoefficientTimesDt(ParameterBoxes& boxes, int k) {
  const std::string text = boxes.CoefficientText(k);
  return FromBox(CoefficientBoxName(k), CoefficientControlName(k), text, CoefficientRange(k),
                 [](const std::string& t) { return ToSingle(ParseDouble(t) * static_cast<double>(dt)); });
}

float Diffusion(ParameterBoxes& boxes, int k) {
  const std::string text = boxes.CoefficientText(k);
  return FromBox(CoefficientBoxName(k), CoefficientControlName(k), text, CoefficientRange(k),
                 [](const std::string& t) { return ParseSingle(t); });
}

// A diffusion constant whose weight per neighbour overflows.
[[noreturn]] void DiffusionTooLarge(const RunError& error, int k) {
  throw RunError(error.fault(), CoefficientBoxName(k) + " is too large", CoefficientControlName(k));
}

std::int32_t FieldSize(ParameterBoxes& boxes) {
  const std::string text = boxes.SizeText();
  std::int32_t n = FromBox(SizeBoxName, SizeControlName, text, SizeRange(),
                           [](const std::string& t) { return CheckedAdd(RoundToInt32(ParseDouble(t) - 1.0), 1); });
  if (n > MaxFieldSize) {
    n = MaxFieldSize;
    boxes.SetSizeText(FormatInteger(n));
  } else if (n < MinFieldSize) {
    n = MinFieldSize;
    boxes.SetSizeText(FormatInteger(n));
  }
  return n;
}

void ReadInto(Simulation& sim, ParameterBoxes& boxes, IntakeView* view) {
  const std::string iterations = boxes.IterationsText();
  sim.StepsPerImage = FromBox(IterationsBoxName, IterationsControlName, iterations, IterationsRange(),
                              [](const std::string& t) { return RoundToInt32(ParseDouble(t)); });
  if (boxes.SelectedMode() == Mode::TwoD) {
    KeepNewestFieldInU(sim);
  } else {
    // The one-dimensional step leaves its newest line in U/V, and the profile
    // pen writes U/V only: nothing to copy.
    sim.CurrentInU = true;
  }

  const std::int32_t n = FieldSize(boxes);
  sim.N = n;
  sim.Nm1 = CheckedSub(n, 1);
  sim.Nm2 = CheckedSub(n, 2);

  StepCoefficients& c = sim.coef;
  FeedStepTerms(c, [&boxes](int k, StepScaling scaling) {
    return scaling == StepScaling::TimesDt ? CoefficientTimesDt(boxes, k) : Diffusion(boxes, k);
  });

  const double dtD = dt, dxD = dx;
  try {
    c.DuS = ToSingle(((c.Du * dtD) / dxD) / dxD);
  } catch (const RunError& error) {
    DiffusionTooLarge(error, CoefficientFeeding(&StepCoefficients::Du));
  }
  try {
    c.DvS = ToSingle(((dtD * c.Dv) / dxD) / dxD);
  } catch (const RunError& error) {
    DiffusionTooLarge(error, CoefficientFeeding(&StepCoefficients::Dv));
  }

  const Mode mode = boxes.SelectedMode();
  if (mode == Mode::None) return;

  const double neighbours = mode == Mode::OneD ? 2.0 : 4.0;
  const std::int32_t length = BufferLength(mode, n);
  sim.buffers.Resize(static_cast<std::size_t>(length));
  if (view) view->FitPictures(mode, n);
  try {
    c.centreU = ToSingle((1.0 - neighbours * c.DuS) - c.decayU);
    c.centreV = ToSingle((1.0 - neighbours * c.DvS) + c.bV);
  } catch (const RunError& error) {
    throw WithContext(error, "the diffusion and decay coefficients are too large");
  }
  if (!view) return;
  if (mode == Mode::OneD) {
    view->DrawProfiles();
  } else {
    view->DrawFieldFromU();
  }
}

}  // namespace

void ReadParameters(Simulation& sim, ParameterBoxes& boxes, IntakeView& view) { ReadInto(sim, boxes, &view); }
void ReadParameters(Simulation& sim, ParameterBoxes& boxes) { ReadInto(sim, boxes, nullptr); }

}  // namespace rdsim
