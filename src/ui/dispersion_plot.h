#pragma once

#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>

#include "analysis/dispersion_curve.h"

class QPainter;

namespace rdsim {

// Growth per step against wavelength for one steady state: the growing bands
// shaded, every mode of the grid a dot, the modes along one side joined by a
// line, the fastest mode ringed. Every size comes from the font's metrics, so
// that it reads the same at any scale.
class DispersionPlot : public QWidget {
 public:
  explicit DispersionPlot(QWidget* parent = nullptr);

  void SetCurve(const DispersionCurve& curve);
  // No curve: the sentence says why.
  void SetMessage(const QString& message);

  const std::optional<DispersionCurve>& Curve() const { return curve_; }
  const QString& Message() const { return message_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Frame {
    QRectF plot;     // the finite wavelengths
    QRectF uniform;  // the column of the uniform mode
    double legendTop = 0;
  };
  // What every part is drawn with.
  struct Look {
    const QFontMetricsF& metrics;
    double line, pad, dot;
    QColor ink;
  };
  Frame Layout() const;
  void PaintBands(QPainter& painter, const Frame& frame) const;
  void PaintAxes(QPainter& painter, const Frame& frame, const Look& look) const;
  void PaintModes(QPainter& painter, const Frame& frame, const Look& look) const;
  void PaintFastest(QPainter& painter, const Frame& frame, const Look& look) const;
  void PaintLegend(QPainter& painter, const Frame& frame, const Look& look) const;
  double X(const Frame& frame, double wavelength) const;
  double Y(const Frame& frame, double growth) const;

  std::optional<DispersionCurve> curve_;
  QString message_;
};

}  // namespace rdsim
