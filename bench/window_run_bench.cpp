// Steps per second of the window's 2D run loop (offscreen platform) beside
// the bare engine's, measured in the same process on the same field.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "core/integrators.h"
#include "run/intake.h"
#include "run/recording.h"
#include "ui/counter_label.h"
#include "ui/error_boundary.h"
#include "ui/field_window.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"
#include "ui/time_series_window.h"

using namespace rdsim;

namespace {

double BareEngineStepsPerSecond(Simulation sim, double seconds) {
  QElapsedTimer clock;
  clock.start();
  long steps = 0;
  while (clock.nsecsElapsed() < static_cast<qint64>(seconds * 1e9)) {
    for (int i = 0; i < 100; ++i) Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
    steps += 100;
  }
  return static_cast<double>(steps) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
}

double WindowStepsPerSecond(frmMain& form, int milliseconds) {
  QElapsedTimer clock;
  QTimer::singleShot(milliseconds, form.Run, &QPushButton::click);
  clock.start();
  form.Run->click();  // returns when the timer's Stop press ends the run
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  return (form.Label2->Caption().toDouble() - 1.0) / seconds;
}

// Pointer positions of a drag: a circle of radius 40 around the field's centre.
QPointF DragPosition(long i) {
  const double t = static_cast<double>(i) * 0.05;
  return {63.5 + 40.0 * std::cos(t), 63.5 + 40.0 * std::sin(t)};
}

// Mean cost of one brush move event in microseconds; with `repaint` each event
// is followed by the repaint it queued.
double BrushEventMicroseconds(frmMain& form, int events, bool repaint) {
  form.Picture3_MouseDown(1, 0, 63.5f, 63.5f);
  QCoreApplication::processEvents();
  QElapsedTimer clock;
  clock.start();
  for (long i = 0; i < events; ++i) {
    const QPointF p = DragPosition(i);
    form.Picture3_MouseMove(1, 0, static_cast<float>(p.x()), static_cast<float>(p.y()));
    if (repaint) QCoreApplication::processEvents();
  }
  const double micros = static_cast<double>(clock.nsecsElapsed()) / 1e3 / events;
  form.Picture3_MouseUp(1, 0, 0, 0);
  return micros;
}

// The same number of event-loop passes with nothing to do.
double IdleEventLoopMicroseconds(int passes) {
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < passes; ++i) QCoreApplication::processEvents();
  return static_cast<double>(clock.nsecsElapsed()) / 1e3 / passes;
}

double SpiralClickMilliseconds(frmMain& form, int clicks) {
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < clicks; ++i) form.Spiral_Click();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6 / clicks;
}

// Steps per second of a 2D run while a drag sends a brush event every
// `intervalMs` milliseconds (0: whenever the loop yields); also the events sent.
double WindowStepsPerSecondWhileBrushing(frmMain& form, int milliseconds, int intervalMs, long& events) {
  events = 0;
  QTimer drag;
  drag.setInterval(intervalMs);
  QObject::connect(&drag, &QTimer::timeout, [&] {
    const QPointF p = DragPosition(events++);
    form.Picture3_MouseMove(1, 0, static_cast<float>(p.x()), static_cast<float>(p.y()));
  });
  QTimer::singleShot(0, [&] {
    form.Picture3_MouseDown(1, 0, 63.5f, 63.5f);
    drag.start();
  });
  const double rate = WindowStepsPerSecond(form, milliseconds);
  drag.stop();
  form.Picture3_MouseUp(1, 0, 0, 0);
  return rate;
}

void ReportEditingTools(frmMain& form, int milliseconds) {
  form.Slider1->setValue(7);
  form.Slider2->setValue(255);
  const int events = 20000;
  const double idle = IdleEventLoopMicroseconds(events);
  const double handler = BrushEventMicroseconds(form, events, false);
  const double withRepaint = BrushEventMicroseconds(form, events, true);
  std::printf("brush event, N=128 R=7: handler=%.1f us  handler+repaint=%.1f us  (idle event-loop pass=%.1f us)\n",
              handler, withRepaint, idle);
  for (int radius : {7, 0}) {
    form.Slider1->setValue(radius);
    ReadParameters(form.session, form.ports);  // a fresh field image without green or marks
    std::printf("Spiral_Click, N=128 R=%d: %.3f ms\n", radius, SpiralClickMilliseconds(form, 50));
  }
  form.Slider1->setValue(7);
  // The machine may be shared: engine and window take turns in short slices,
  // and the best slice of each counts as its least disturbed rate.
  const int slices = 5;
  const int slice = std::max(200, milliseconds / slices);
  for (int intervalMs : {8, 1, 0}) {
    double engine = 0, window = 0;
    long sent = 0;
    for (int i = 0; i < slices; ++i) {
      engine = std::max(engine, BareEngineStepsPerSecond(form.session.sim, slice / 1000.0));
      long events = 0;
      window = std::max(window, WindowStepsPerSecondWhileBrushing(form, slice, intervalMs, events));
      sent += events;
    }
    std::printf(
        "brush drag every %d ms (%ld events) during a 2D run: best of %d slices of %d ms: engine=%.0f "
        "steps/s window=%.0f steps/s ratio=%.1f%%\n",
        intervalMs, sent, slices, slice, engine, window, 100.0 * window / engine);
  }
}

// Edit > Undo of a brush stroke on the largest field, and its Redo: mean and
// worst of `times` each, the handler with the repaint it queues.
void ReportUndo(frmMain& form, int times) {
  form.Picture3_MouseDown(1, 0, 20, 20);
  for (int i = 0; i < 200; ++i) {
    const QPointF p = DragPosition(i);
    form.Picture3_MouseMove(1, 0, static_cast<float>(p.x()), static_cast<float>(p.y()));
  }
  form.Picture3_MouseUp(1, 0, 0, 0);
  QCoreApplication::processEvents();
  double total[2] = {0, 0}, worst[2] = {0, 0};
  for (int i = 0; i < times; ++i) {
    for (int redo = 0; redo < 2; ++redo) {
      QElapsedTimer clock;
      clock.start();
      redo ? form.mnuRedo_Click() : form.mnuUndo_Click();
      QCoreApplication::processEvents();
      const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
      total[redo] += ms;
      worst[redo] = std::max(worst[redo], ms);
    }
  }
  std::printf(
      "undo of a brush stroke, N=128 2D, %d times: undo mean=%.3f ms worst=%.3f ms  redo mean=%.3f ms worst=%.3f ms "
      "(history %zu bytes)\n",
      times, total[0] / times, worst[0], total[1] / times, worst[1], form.session.history.Bytes());
}

// A 2D run at Iteration / Image 100 with and without a recording of every
// redraw, in alternating slices, best slice of each.
void ReportRecording(frmMain& form, int milliseconds) {
  form.Text2->setText("100");
  ReadParameters(form.session, form.ports);
  QTemporaryDir folder;
  const int slices = 5;
  const int slice = std::max(300, milliseconds / slices);
  for (const char* name : {"run.gif", "run.mp4"}) {
    double plain = 0, recording = 0;
    for (int i = 0; i < slices; ++i) {
      plain = std::max(plain, WindowStepsPerSecond(form, slice));
      StartRecording(form.session, form.ports, folder.filePath(name).toStdString());
      recording = std::max(recording, WindowStepsPerSecond(form, slice));
      StopRecording(form.session, form.ports);
    }
    std::printf(
        "recording %s, N=128 StepsPerImage=100: best of %d slices of %d ms: window=%.0f steps/s "
        "recording=%.0f steps/s ratio=%.1f%%\n",
        name, slices, slice, plain, recording, 100.0 * recording / plain);
  }
  form.Text2->setText("20");
  ReadParameters(form.session, form.ports);
}

// A 2D run at Iteration / Image 100 with the analysis windows `show` opens
// closed and open, in alternating slices, best slice of each.
void ReportWindowsOpen(frmMain& form, int milliseconds, const char* what, const std::function<void(bool)>& show) {
  form.Text2->setText("100");
  ReadParameters(form.session, form.ports);
  const int slices = 5;
  const int slice = std::max(300, milliseconds / slices);
  double closed = 0, open = 0;
  for (int i = 0; i < slices; ++i) {
    show(false);
    closed = std::max(closed, WindowStepsPerSecond(form, slice));
    show(true);
    open = std::max(open, WindowStepsPerSecond(form, slice));
  }
  show(false);
  std::printf(
      "%s, N=128 StepsPerImage=100: best of %d slices of %d ms: closed=%.0f steps/s open=%.0f steps/s ratio=%.1f%%\n",
      what, slices, slice, closed, open, 100.0 * open / closed);
  form.Text2->setText("20");
  ReadParameters(form.session, form.ports);
}

void ReportAnalysisWindows(frmMain& form, int milliseconds) {
  const auto field = [&form](bool open) {
    if (open) return form.mnuFieldWindow->trigger();
    if (form.frmField) form.frmField->hide();
  };
  const auto series = [&form](bool open) {
    if (open) return form.mnuTimeSeries->trigger();
    if (form.frmTimeSeries) form.frmTimeSeries->close();
  };
  ReportWindowsOpen(form, milliseconds, "field window", field);
  ReportWindowsOpen(form, milliseconds, "time series window", series);
  ReportWindowsOpen(form, milliseconds, "field and time series windows", [&](bool open) {
    field(open);
    series(open);
  });
}

// View > Field Window: one redraw of 125 cells as large as the window allows.
void ReportFieldWindow(frmMain& form, int milliseconds) {
  form.mnuFieldWindow_Click();
  FieldWindow& window = *form.frmField;
  form.Text3->setText("125");
  ReadParameters(form.session, form.ports);
  window.resize(1200, 1100);
  QCoreApplication::processEvents();
  const int redraws = 200;
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < redraws; ++i) {
    window.Follow();
    window.Picture->repaint();
  }
  std::printf("field window redraw, %d x %d pixels (N=125, zoom %d): %.3f ms\n", window.Picture->width(),
              window.Picture->height(), window.Zoom(), static_cast<double>(clock.nsecsElapsed()) / 1e6 / redraws);
  window.hide();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The windows remember choices; a benchmark's must not reach the user's.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  SetErrorSink([](const std::string& message) { std::fprintf(stderr, "error: %s\n", message.c_str()); });
  const int milliseconds = argc > 1 ? std::atoi(argv[1]) : 3000;

  frmMain form;
  form.Form_Load();
  form.show();
  form.Option1[1]->click();
  form.Text3->setText("128");
  form.Text2->setText("20");
  form.Clear->click();
  form.Random->click();
  ReadParameters(form.session, form.ports);

  for (int round = 0; round < 2; ++round) {
    const double engine = BareEngineStepsPerSecond(form.session.sim, milliseconds / 1000.0);
    const double window = WindowStepsPerSecond(form, milliseconds);
    std::printf("round %d: N=128 StepsPerImage=20 engine=%.0f steps/s window=%.0f steps/s ratio=%.1f%%\n", round + 1,
                engine, window, 100.0 * window / engine);
  }
  if (argc > 2 && std::string(argv[2]) == "field") {
    ReportAnalysisWindows(form, milliseconds);
    ReportFieldWindow(form, milliseconds);
    return 0;
  }
  ReportUndo(form, 500);
  ReportAnalysisWindows(form, milliseconds);
  ReportRecording(form, milliseconds);
  ReportEditingTools(form, milliseconds);
  return 0;
}
