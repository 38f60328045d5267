#pragma once

#include <cstdint>

#include "edit/brush_view.h"
#include "run/session.h"

namespace rdsim {

// Radius in cells (Slider1) and intensity 0..255 (Slider2), read once per event.
struct Brush {
  int radius = 0;
  int intensity = 0;
};

// Reads R, then a, in that order.
Brush ReadBrush(const BrushView& view);

// The value a brush of intensity a writes: Umax*a/255 or Vmax*a/255.
float BrushValue(bool activator, int intensity);
// (a, 0, 0) for the activator, (0, 0, a) for the inhibitor, as 0xRRGGBB.
std::uint32_t BrushMarkColor(bool activator, int intensity);

// Writes one disc of the brush centred at (cx, cy), in cells, into both
// buffers of the selected species, and marks each cell's pixel in the field
// picture. The disc is clipped to the field.
void PaintDisc(Session& session, BrushView& view, float cx, float cy, const Brush& brush);

// A left press starts a stroke with a disc; while it lasts, every move paints
// discs at most one cell apart from the last position to its own, ending on
// it; any release ends it. buttons: those held during a move, 1 the left.
void StartBrushStroke(Session& session, BrushView& view, int button, float x, float y);
void ContinueBrushStroke(Session& session, BrushView& view, int buttons, float x, float y);
void EndStroke(Session& session);

// Whether a move continues the stroke. A move that reports no left button
// means its release went elsewhere (a message box shown during the drag takes
// it): the stroke ends, and that move paints nothing. Shared by the profiles.
bool StrokeGoesOn(Session& session, int buttons);

// Swatch 0 selects the activator, 1 the inhibitor; other indices do nothing.
void ChooseBrushSpecies(Session& session, BrushView& view, int index);

// The brush footprint at one pixel per cell around pixel (12, 12) of the preview.
void DrawBrushPreview(const Session& session, BrushView& view);

}  // namespace rdsim
