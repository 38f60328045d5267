#pragma once

#include <memory>
#include <string>
#include <vector>

#include "atlas/atlas_metrics.h"
#include "atlas/atlas_options.h"

namespace rdsim::atlas {

// The contact sheet: one tile per grid point, as the window shows the field
// (the grey image of a square; the activator and inhibitor plots of a line,
// one above the other), framed in the colour of its class; x to the right, y
// upwards. Needs a QGuiApplication. Drawn the same way from the same points,
// it is the same PNG byte for byte.
class ContactSheet {
 public:
  struct Layout;  // the sheet's places and pixels, known to its own file alone

  ContactSheet(const RunOptions& options, int n);
  ~ContactSheet();
  // `field`: the newest field, activator cells then inhibitor cells.
  // `patternPredicted`: the linear stability analysis predicts a stationary
  // pattern; a triangle in the tile's top-right corner says so.
  void Place(std::size_t point, PatternClass pattern, bool patternPredicted, const std::vector<float>& field);
  // The PNG file's bytes.
  std::string Png() const;
  // std::runtime_error when the file cannot be written.
  void Save(const std::string& path) const;

 private:
  std::unique_ptr<Layout> layout_;
};

// Frame colour of a class, 0xRRGGBB.
std::uint32_t ClassColour(PatternClass pattern);

// Colour of the mark of a predicted stationary pattern, 0xRRGGBB: unlike any
// class's and any grey of a field.
inline constexpr std::uint32_t PredictedMarkColour = 0xC000C0;

}  // namespace rdsim::atlas
