#pragma once

#include <QWidget>
#include <vector>

#include "analysis/time_series.h"

class QPainter;

namespace rdsim {

// The series against the step in two panels, the activator above the
// inhibitor: the field's minimum and maximum thin, its mean bold, the probe
// green. Each pixel column shows the whole range of the samples it covers,
// so an oscillation faster than the columns stays visible as a band.
class SeriesPlot : public QWidget {
 public:
  explicit SeriesPlot(QWidget* parent = nullptr);

  void SetSamples(const std::vector<SeriesSample>* samples);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintPanel(QPainter& painter, const QRectF& area, int species) const;

  const std::vector<SeriesSample>* samples_ = nullptr;
};

}  // namespace rdsim
