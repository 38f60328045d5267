#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "run/run_series.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace rdsim {

struct Session;
class SeriesPlot;

// Analysis > Time Series: the field's mean, minimum and maximum of both
// species and the values at a probe cell against the step, sampled at every
// redraw of a run while the window is open; the period of an oscillation and
// the step the field settled at. The run pays for it only while it is open,
// and the window catches up a few times a second, not at every redraw.
class TimeSeriesWindow : public QWidget {
  Q_OBJECT

 public:
  TimeSeriesWindow(Session& session, QWidget* owner);
  ~TimeSeriesWindow() override;

  const RunSeries& Series() const { return series_; }
  // Shows what the series holds now.
  void Refresh();

  SeriesPlot* Plot = nullptr;
  QLabel* Period = nullptr;
  QLabel* Settled = nullptr;
  QLabel* Extent = nullptr;  // samples and steps covered
  QSpinBox* ProbeX = nullptr;
  QSpinBox* ProbeY = nullptr;
  QPushButton* ExportButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QPushButton* CloseButton = nullptr;

 public slots:
  // The probe cell, from a typed x and y or a right click on a field picture.
  void SetProbe(int x, int y);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ExportCsv();
  void ClearSeries();

  Session& session_;
  RunSeries series_;
  QTimer refresh_;
  std::uint64_t shown_ = ~std::uint64_t{0};
};

}  // namespace rdsim
