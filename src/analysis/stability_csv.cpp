#include "analysis/stability_csv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rdsim {

namespace {

struct CsvRow {
  const ModeFactors* mode;
  std::complex<double> factor;
  double size;
};

}  // namespace

std::string StabilityCsv(const StabilityReport& report) {
  std::string out = "state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step\n";
  std::vector<CsvRow> rows;
  char line[256];
  for (std::size_t s = 0; s < report.states.size(); ++s) {
    rows.clear();
    for (const ModeFactors& mode : report.states[s].modes) {
      for (const std::complex<double> f : mode.factors) rows.push_back({&mode, f, std::abs(f)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const CsvRow& a, const CsvRow& b) { return a.size > b.size; });
    out.reserve(out.size() + rows.size() * 96);
    for (const CsvRow& row : rows) {
      const std::string n = row.mode->n < 0 ? std::string() : std::to_string(row.mode->n);
      std::snprintf(line, sizeof line, "%zu,%d,%s,%.10g,%.12g,%.12g,%.12g,%.9g\n", s + 1, row.mode->m, n.c_str(),
                    row.mode->mu, row.factor.real(), row.factor.imag(), row.size, row.size - 1.0);
      out += line;
    }
  }
  return out;
}

}  // namespace rdsim
