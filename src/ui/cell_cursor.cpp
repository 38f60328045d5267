#include "ui/cell_cursor.h"

#include <algorithm>

namespace rdsim {

CellCursor::CellCursor(CursorAxis across, CursorAxis down) : across_(across), down_(down) {
  Fit(across.count, down.count);
}

void CellCursor::Fit(int columns, int rows) {
  across_.count = std::max(columns, 1);
  down_.count = std::max(rows, 1);
  if (moved_) {
    Pin();
  } else {
    Centre();
  }
}

void CellCursor::Move(int dx, int dy, bool big) {
  moved_ = true;
  // A right move raises a column on every picture; a down move lowers a
  // place that counts upwards.
  column_ += dx * (big ? across_.bigStep : 1);
  row_ += (down_.upward ? -dy : dy) * (big ? down_.bigStep : 1);
  Pin();
}

void CellCursor::ToRowStart() {
  moved_ = true;
  column_ = 0;
}

void CellCursor::ToRowEnd() {
  moved_ = true;
  column_ = across_.count - 1;
}

void CellCursor::Centre() {
  column_ = across_.count / 2;
  row_ = down_.count / 2;
}

void CellCursor::Pin() {
  column_ = std::clamp(column_, 0, across_.count - 1);
  row_ = std::clamp(row_, 0, down_.count - 1);
}

}  // namespace rdsim
