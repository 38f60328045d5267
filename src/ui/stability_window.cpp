#include "ui/stability_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <exception>

#include "analysis/boxes_stability.h"
#include "analysis/dispersion_curve.h"
#include "ui/dispersion_plot.h"
#include "ui/icons.h"
#include "ui/window_placement.h"

namespace rdsim {

namespace {

QString GridWords(const StabilityReport& report) {
  const QString cells = report.mode == Mode::TwoD ? QStringLiteral("%1 × %1").arg(report.N) : QString::number(report.N);
  return QStringLiteral(
             "%1 grid of %2 cells, as the boxes read at the last Start, Stop, Clear, phase-plane click or "
             "Refresh.")
      .arg(report.mode == Mode::TwoD ? QStringLiteral("2D") : QStringLiteral("1D"), cells);
}

}  // namespace

StabilityWindow::StabilityWindow(const ParameterBoxes& boxes, QWidget* owner)
    : QWidget(owner, Qt::Window), boxes_(boxes) {
  setWindowTitle(QStringLiteral("Linear Stability"));
  setWindowIcon(WindowIcon());
  setAccessibleName(QStringLiteral("Linear stability"));
  setAccessibleDescription(QStringLiteral(
      "Which wavelengths grow from the uniform steady state of the coefficients in the boxes, and how fast."));

  CreateControls();
  ArrangeControls();

  setTabOrder(States, Plot);
  setTabOrder(Plot, Details);
  setTabOrder(Details, RefreshButton);
  setTabOrder(RefreshButton, CloseButton);
  Plot->setFocusPolicy(Qt::NoFocus);

  connect(RefreshButton, &QPushButton::clicked, this, &StabilityWindow::Refresh);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  connect(States, &QComboBox::activated, this, &StabilityWindow::ShowState);
}

void StabilityWindow::CreateControls() {
  Grid = new QLabel(this);
  Grid->setTextFormat(Qt::PlainText);
  Grid->setWordWrap(true);
  Grid->setAccessibleName(QStringLiteral("Grid"));
  Grid->setAccessibleDescription(QStringLiteral("The grid and time step the analysis is made for."));

  stateCaption_ = new QLabel(QStringLiteral("&Steady state:"), this);
  States = new QComboBox(this);
  // A long state label must not widen the window: the list shows it whole.
  States->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  States->setMinimumContentsLength(24);
  States->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  stateCaption_->setBuddy(States);
  States->setAccessibleName(QStringLiteral("Steady state"));
  States->setAccessibleDescription(
      QStringLiteral("The uniform steady state whose verdict and plot are shown; the model may have several."));
  States->setToolTip(QStringLiteral("The uniform steady state whose verdict and plot are shown."));

  Verdict = new QLabel(this);
  Verdict->setTextFormat(Qt::PlainText);  // a box's text is shown as typed, never as markup
  Verdict->setWordWrap(true);
  Verdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont bold = Verdict->font();
  bold.setBold(true);
  Verdict->setFont(bold);
  Verdict->setAccessibleName(QStringLiteral("Verdict"));
  Verdict->setAccessibleDescription(QStringLiteral("What grows from the chosen steady state, in words."));

  Plot = new DispersionPlot(this);
  Plot->setAccessibleName(QStringLiteral("Dispersion plot"));
  Plot->setToolTip(QStringLiteral(
      "<p>Growth per step of every mode of the grid against its wavelength. Above the dashed line a mode grows; "
      "the shaded band holds the growing wavelengths, the ring marks the fastest.</p>"));

  Details = new QPlainTextEdit(this);
  Details->setReadOnly(true);
  Details->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Details->setAccessibleName(QStringLiteral("Details"));
  Details->setAccessibleDescription(QStringLiteral("Every steady state and its verdict in full, one fact a line."));

  RefreshButton = new QPushButton(QStringLiteral("&Refresh"), this);
  RefreshButton->setAccessibleName(QStringLiteral("Refresh"));
  RefreshButton->setAccessibleDescription(QStringLiteral("Analyse what the boxes hold now."));
  RefreshButton->setToolTip(QStringLiteral("Analyse what the boxes hold now."));
  CloseButton = new QPushButton(QStringLiteral("Close"), this);
  CloseButton->setAccessibleName(QStringLiteral("Close"));
  CloseButton->setAccessibleDescription(QStringLiteral("Close the linear stability window."));
}

void StabilityWindow::ArrangeControls() {
  // The plot gets the room; the details start a few lines tall, and the
  // splitter between them gives either more.
  const int line = QFontMetrics(font()).height();
  Plot->setMinimumHeight(line * 14);
  Details->setMinimumHeight(line * 3);

  auto* stateRow = new QHBoxLayout;
  stateRow->addWidget(stateCaption_);
  stateRow->addWidget(States, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(RefreshButton);
  buttons->addStretch(1);
  buttons->addWidget(CloseButton);
  auto* column = new QVBoxLayout(this);
  column->addWidget(Grid);
  column->addLayout(stateRow);
  column->addWidget(Verdict);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->setChildrenCollapsible(false);
  split->addWidget(Plot);
  split->addWidget(Details);
  split->setStretchFactor(0, 1);
  split->setSizes({line * 24, line * 5});
  column->addWidget(split, 1);
  column->addLayout(buttons);
}

void StabilityWindow::Refresh() {
  try {
    BoxesStability result = AnalyseBoxes(boxes_);
    if (!result.report) return ShowFault(QString::fromStdString(result.fault));
    // The chosen state stays chosen while the model keeps as many states.
    const bool sameStates = report_ && report_->states.size() == result.report->states.size();
    const int keep = sameStates ? States->currentIndex() : -1;
    report_ = std::move(result.report);
    Grid->setText(GridWords(*report_));
    Details->setPlainText(QString::fromStdString(DescribeStability(*report_)));
    States->clear();
    for (std::size_t i = 0; i < report_->states.size(); ++i) {
      States->addItem(QStringLiteral("%1 of %2: %3")
                          .arg(i + 1)
                          .arg(report_->states.size())
                          .arg(QString::fromStdString(SteadyStateLabel(report_->states[i].state))));
    }
    States->setEnabled(report_->states.size() > 1);
    const int index = keep >= 0 ? keep : static_cast<int>(PreferredState(*report_));
    States->setCurrentIndex(index);
    ShowState(index);
  } catch (const std::exception& error) {
    ShowFault(QStringLiteral("No analysis: %1.").arg(QString::fromLocal8Bit(error.what())));
  }
}

void StabilityWindow::ShowState(int index) {
  if (!report_ || index < 0 || static_cast<std::size_t>(index) >= report_->states.size()) return;
  const StateStability& state = report_->states[static_cast<std::size_t>(index)];
  Verdict->setText(QString::fromStdString(StabilityHeadline(state)));
  const DispersionCurve curve = MakeDispersionCurve(state, report_->N);
  Plot->SetCurve(curve);
  QString summary = QStringLiteral("Growth per step of %1 modes against wavelength. ").arg(curve.dots.size());
  summary += curve.hasFastest ? QString::fromStdString(curve.fastestLabel) + QStringLiteral(".")
                              : QStringLiteral("No mode grows.");
  Plot->setAccessibleDescription(summary);
}

void StabilityWindow::ShowFault(const QString& sentence) {
  report_.reset();
  Grid->setText(QStringLiteral("No analysis of the boxes as they read now."));
  States->clear();
  States->setEnabled(false);
  Verdict->setText(sentence);
  Plot->SetMessage(sentence);
  Plot->setAccessibleDescription(sentence);
  Details->clear();
}

void StabilityWindow::PlaceBeside(const QWidget& owner) { PlaceWindowBeside(*this, owner); }

}  // namespace rdsim
