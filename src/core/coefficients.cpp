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

}  // namespace rdsim
