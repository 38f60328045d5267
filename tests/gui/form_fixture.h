// The window as the program starts it, with an error sink that keeps every
// message, and a way to act inside a run's yield.
#pragma once

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/counter_label.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"

namespace rdsim {

struct FormFixture {
  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;

  void OpenForm() {
    errors.clear();
    SetErrorSink([this](const std::string& message) { errors.push_back(message); });
    form = std::make_unique<frmMain>();
    form->Form_Load();
  }
  Session& session() { return form->session; }
  Simulation& sim() { return form->session.sim; }
  QString Error(std::size_t i = 0) const {
    return i < errors.size() ? QString::fromStdString(errors[i]) : QStringLiteral("<no error>");
  }
  // For focus and keys the window must be shown and active.
  [[nodiscard]] bool ShowActive() {
    form->show();
    QApplication::setActiveWindow(form.get());
    return QTest::qWaitForWindowActive(form.get());
  }
  void Enter2D(const char* size = "128") {
    form->Option1[1]->click();
    form->Text3->setText(size);
    form->Clear->click();
  }
  int StepsDone() const { return form->Label2->Caption().toInt() - 1; }
  // Presses Run, then on every yield of the loop asks goOn(steps done); once
  // it says no, presses Run (Stop) unless the run has already ended.
  void RunWhile(const std::function<bool(int)>& goOn) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, poll, goOn] {
      if (goOn(StepsDone())) return QTimer::singleShot(0, *poll);
      if (form->session.Running) form->Run->click();
    };
    QTimer::singleShot(0, *poll);
    form->Run->click();
  }
  // Runs `steps` steps, then calls atStop inside the yield before the Stop.
  void RunFor(int steps, const std::function<void()>& atStop = {}) {
    RunWhile([steps, atStop](int done) {
      if (done < steps) return true;
      if (atStop) atStop();
      return false;
    });
  }
};

}  // namespace rdsim
