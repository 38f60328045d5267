#include "ui/time_series_window.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "files/file_access.h"
#include "run/session.h"
#include "ui/error_boundary.h"
#include "ui/file_questions.h"
#include "ui/icons.h"
#include "ui/series_plot.h"

namespace rdsim {

namespace {

constexpr int RefreshMilliseconds = 200;

QString Steps(double steps) { return QLocale::system().toString(steps, 'f', steps < 100 ? 1 : 0); }

QString PeriodWords(const std::vector<SeriesSample>& samples) {
  const std::optional<SeriesPeriod> found = FindSeriesPeriod(samples);
  if (!found) return QStringLiteral("No period: neither the probe nor the mean repeats steadily.");
  const Period& p = found->period;
  return QStringLiteral("Period %1 steps (%2 of the last %3 cycles, spread %4 steps)")
      .arg(Steps(p.steps), found->column == ProbeU ? QStringLiteral("probe u") : QStringLiteral("mean u"))
      .arg(p.cycles)
      .arg(Steps(p.spread));
}

QSpinBox* CellBox(QWidget* parent, const QString& name) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, 99999);
  box->setKeyboardTracking(false);
  box->setAccessibleName(name);
  box->setToolTip(QStringLiteral(
      "The probe cell, counted from 0 at the left (x) and the top (y); y is ignored on a line. A right click on the "
      "field or a profile chooses it too."));
  return box;
}

}  // namespace

TimeSeriesWindow::TimeSeriesWindow(Session& session, QWidget* owner) : QWidget(owner, Qt::Window), session_(session) {
  setWindowTitle(QStringLiteral("Time Series"));
  setWindowIcon(WindowIcon());
  setAccessibleName(QStringLiteral("Time series"));
  setAccessibleDescription(QStringLiteral(
      "The field's mean, least and largest values and the values at the probe cell against the step, sampled at "
      "every redraw of the run while this window is open."));

  Plot = new SeriesPlot(this);
  Plot->setAccessibleName(QStringLiteral("Time series plot"));
  Plot->SetSamples(&series_.Samples());
  Period = new QLabel(this);
  Settled = new QLabel(this);
  Extent = new QLabel(this);
  for (QLabel* label : {Period, Settled, Extent}) {
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
  }
  QFont bold = Period->font();
  bold.setBold(true);
  Period->setFont(bold);
  Settled->setFont(bold);
  Period->setAccessibleName(QStringLiteral("Period"));
  Settled->setAccessibleName(QStringLiteral("Settling"));

  auto* probeCaption = new QLabel(QStringLiteral("&Probe x:"), this);
  ProbeX = CellBox(this, QStringLiteral("Probe x"));
  probeCaption->setBuddy(ProbeX);
  auto* yCaption = new QLabel(QStringLiteral("y:"), this);
  ProbeY = CellBox(this, QStringLiteral("Probe y"));
  yCaption->setBuddy(ProbeY);
  const ProbeCell centre = CentreCell(session.sim.N);
  series_.SetProbe(centre);
  ProbeX->setValue(centre.x);
  ProbeY->setValue(centre.y);

  ExportButton = new QPushButton(QStringLiteral("&Export CSV\u2026"), this);
  ExportButton->setToolTip(QStringLiteral("Write the step and every column of the series as a CSV file."));
  ClearButton = new QPushButton(QStringLiteral("C&lear"), this);
  ClearButton->setToolTip(QStringLiteral("Forget the samples and the settling; the run goes on."));
  CloseButton = new QPushButton(QStringLiteral("Close"), this);

  auto* probeRow = new QHBoxLayout;
  probeRow->addWidget(probeCaption);
  probeRow->addWidget(ProbeX);
  probeRow->addWidget(yCaption);
  probeRow->addWidget(ProbeY);
  probeRow->addStretch(1);
  probeRow->addWidget(Extent);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ExportButton);
  buttons->addWidget(ClearButton);
  buttons->addStretch(1);
  buttons->addWidget(CloseButton);
  auto* column = new QVBoxLayout(this);
  column->addWidget(Period);
  column->addWidget(Settled);
  column->addWidget(Plot, 1);
  column->addLayout(probeRow);
  column->addLayout(buttons);

  const auto typed = [this] { SetProbe(ProbeX->value(), ProbeY->value()); };
  connect(ProbeX, &QSpinBox::valueChanged, this, typed);
  connect(ProbeY, &QSpinBox::valueChanged, this, typed);
  connect(ExportButton, &QPushButton::clicked, this, &TimeSeriesWindow::ExportCsv);
  connect(ClearButton, &QPushButton::clicked, this, &TimeSeriesWindow::ClearSeries);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  refresh_.setInterval(RefreshMilliseconds);
  connect(&refresh_, &QTimer::timeout, this, &TimeSeriesWindow::Refresh);
  Refresh();
}

TimeSeriesWindow::~TimeSeriesWindow() {
  if (session_.series == &series_) session_.series = nullptr;
}

void TimeSeriesWindow::SetProbe(int x, int y) {
  x = std::max(x, 0);
  y = std::max(y, 0);
  {
    const QSignalBlocker blockX(ProbeX), blockY(ProbeY);
    ProbeX->setValue(x);
    ProbeY->setValue(y);
  }
  series_.SetProbe({x, y});
  Refresh();
}

void TimeSeriesWindow::Refresh() {
  if (series_.Revision() == shown_) return;
  shown_ = series_.Revision();
  const std::vector<SeriesSample>& samples = series_.Samples();
  Period->setText(PeriodWords(samples));
  const std::optional<std::int64_t> settled = series_.SettledAt();
  Settled->setText(settled ? QStringLiteral("Settled at step %1: that step left the field unchanged, bit for bit.")
                                 .arg(QLocale::system().toString(static_cast<qlonglong>(*settled)))
                           : QStringLiteral("Not settled: every step watched still changes the field."));
  Extent->setText(samples.empty() ? QStringLiteral("No samples")
                                  : QStringLiteral("%1 samples, steps %2 to %3")
                                        .arg(QLocale::system().toString(static_cast<qulonglong>(samples.size())))
                                        .arg(samples.front().step)
                                        .arg(samples.back().step));
  Plot->update();
}

void TimeSeriesWindow::showEvent(QShowEvent* event) {
  session_.series = &series_;
  refresh_.start();
  QWidget::showEvent(event);
}

void TimeSeriesWindow::hideEvent(QHideEvent* event) {
  // A minimised window goes on sampling; a closed one costs the run nothing.
  if (event->spontaneous()) return QWidget::hideEvent(event);
  session_.series = nullptr;
  refresh_.stop();
  QWidget::hideEvent(event);
}

void TimeSeriesWindow::ExportCsv() {
  RunEvent(this, [this] {
    const QString path = AskFileName(
        this, {FileQuestion::Save, QStringLiteral("Export CSV"), QStringLiteral("CSV files (*.csv)"), "csv"});
    if (!path.isEmpty()) WriteFileWhole(path.toStdString(), series_.Csv());
  });
}

void TimeSeriesWindow::ClearSeries() {
  series_.Clear();
  Refresh();
}

}  // namespace rdsim
