#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "pixels/field_range.h"
#include "pixels/palette.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rdsim {

class FieldStage;
class frmMain;
class PictureBox;
class PictureCursor;

// View > Field Window: the field as large as the window allows, at a whole
// number of pixels per cell, with a colour bar, axes in cells and the values
// under the pointer. Presses act through the main window's own picture
// handlers, so the brush and the profile drawing follow the same rules.
class FieldWindow : public QWidget {
  Q_OBJECT

 public:
  explicit FieldWindow(frmMain& form);
  ~FieldWindow() override;

  // Draws the newest field; the main window's redraws call it while this is shown.
  void Follow();

  // The cell whose values the line under the field shows, if any.
  std::optional<QPoint> PointedCell() const { return pointed_; }
  // Pixels per cell of the picture now.
  int Zoom() const { return zoom_; }

  QComboBox* Colours = nullptr;
  QComboBox* RangeKind = nullptr;  // 0 to 10, automatic, or the text box's LO:HI
  QLineEdit* RangeText = nullptr;
  QPushButton* FullScreen = nullptr;
  PictureBox* Picture = nullptr;  // the 2D field
  PictureCursor* Cursor = nullptr;
  QLabel* Values = nullptr;  // x, y, u and v under the pointer

 signals:
  // A right press on a cell: the probe of the time series.
  void ProbeChosen(int x, int y);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  friend class FieldStage;

  void ChoiceChanged();
  void ToggleFullScreen();
  void Remember() const;
  void Recall();
  // Places the 2D picture in the stage at the largest whole zoom.
  void Fit();
  void Point(std::optional<QPoint> cell);
  void ShowValues();
  std::optional<RangeChoice> Choice() const;

  frmMain& form_;
  FieldStage* stage_ = nullptr;
  QTimer idle_;             // while no run redraws: edits made by hand
  QTimer late_;             // the last redraw of a run that came too soon after the one shown
  qint64 shownAt_ = -1000;  // milliseconds since start-up
  const Palette* palette_ = &GreyPalette();
  RangeChoice choice_{};
  AutoRange activatorRange_, inhibitorRange_;
  PictureRanges ranges_{};
  int zoom_ = 1;
  int n_ = 0;
  bool maximisedBefore_ = false;  // when full screen began
  Mode mode_ = Mode::None;
  std::optional<QPoint> pointed_;
  QElapsedTimer clock_;
};

}  // namespace rdsim
