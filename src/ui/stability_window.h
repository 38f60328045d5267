#pragma once

#include <QWidget>
#include <optional>

#include "analysis/linear_stability.h"
#include "core/parameter_intake.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace rdsim {

class DispersionPlot;

// Analysis > Linear Stability: a window of its own beside the main one. It
// reads the boxes (never the running simulation) whenever the main window's
// intake has read them, and at Refresh, and shows the steady states, the
// verdict in words and the dispersion plot of the chosen state. A fault is a
// sentence in the window, never a message box.
class StabilityWindow : public QWidget {
 public:
  StabilityWindow(const ParameterBoxes& boxes, QWidget* owner);

  // Analyses what the boxes hold now. Raises nothing.
  void Refresh();
  // Next to `owner` on its screen: right of it where there is room, else left.
  void PlaceBeside(const QWidget& owner);

  QLabel* Grid = nullptr;       // the grid the analysis is made for
  QComboBox* States = nullptr;  // the steady state the verdict and the plot are about
  QLabel* Verdict = nullptr;
  DispersionPlot* Plot = nullptr;
  QPlainTextEdit* Details = nullptr;  // every state, in full
  QPushButton* RefreshButton = nullptr;
  QPushButton* CloseButton = nullptr;

 private:
  void CreateControls();
  void ArrangeControls();
  void ShowState(int index);
  void ShowFault(const QString& sentence);

  QLabel* stateCaption_ = nullptr;
  const ParameterBoxes& boxes_;
  std::optional<StabilityReport> report_;
};

}  // namespace rdsim
