#pragma once

namespace rdsim {

// One axis of a cell cursor: its places 0..count-1, the jump of Shift, and,
// for the rows, whether Up raises the place: a field's rows count downwards,
// values upwards.
struct CursorAxis {
  int count = 1;
  int bigStep = 8;
  bool upward = false;
};

// Where the keyboard's cursor stands in a picture, in places along two axes.
// It starts at the centre and stays there while the picture changes size,
// until the first move; after that it keeps its place, pinned to the picture.
class CellCursor {
 public:
  CellCursor(CursorAxis across, CursorAxis down);

  // The number of places along each axis now; values below 1 count as 1.
  void Fit(int columns, int rows);

  // dx: -1 Left, +1 Right; dy: -1 Up, +1 Down; big: with Shift.
  void Move(int dx, int dy, bool big);
  // Home and End: the ends of the row.
  void ToRowStart();
  void ToRowEnd();

  int Column() const { return column_; }
  int Row() const { return row_; }

 private:
  void Centre();
  void Pin();

  CursorAxis across_;
  CursorAxis down_;
  int column_ = 0;
  int row_ = 0;
  bool moved_ = false;
};

}  // namespace rdsim
