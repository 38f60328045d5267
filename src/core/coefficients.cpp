#include "core/coefficients.h"

namespace rdsim {

CoefficientTexts DesignCoefficientTexts() {
  CoefficientTexts texts;
  for (int k = 0; k < CoefficientCount; ++k)
    texts[static_cast<std::size_t>(k)] = Coefficients[static_cast<std::size_t>(k)].designText;
  return texts;
}

std::string CoefficientBoxName(int k) {
  const std::string key = "k" + std::to_string(k);
  if (k < 0 || k >= CoefficientCount) return "the box " + key;
  return std::string(Coefficients[static_cast<std::size_t>(k)].place) + " (" + key + ")";
}

std::string EquationText(Equation equation) {
  std::string text = equation == Equation::Activator ? "du/dt =" : "dv/dt =";
  bool first = true;
  for (const CoefficientInfo& row : Coefficients) {
    if (row.equation != equation || !row.term) continue;
    const std::string term = row.term;
    text += first || term.starts_with("- ") ? " " + term : " + " + term;
    first = false;
  }
  return text;
}

std::string CoefficientLabel(int k) {
  const CoefficientInfo& row = Coefficients.at(static_cast<std::size_t>(k));
  return *row.role ? std::string(row.key) + " (" + row.role + ")" : std::string(row.key);
}

}  // namespace rdsim
