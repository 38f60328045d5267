#include "ui/error_boundary.h"

#include <QMessageBox>
#include <QPointer>
#include <exception>
#include <new>

#include "core/run_error.h"

namespace rdsim {

namespace {

ErrorSink& Sink() {
  static ErrorSink sink;
  return sink;
}

void Report(QWidget* window, const std::string& message) {
  if (Sink()) {
    Sink()(message);
    return;
  }
  QPointer<QWidget> guard(window);
  QMessageBox::critical(guard, "Reaction-Diffusion simulator", QString::fromStdString(message));
}

}  // namespace

void SetErrorSink(ErrorSink sink) { Sink() = std::move(sink); }

void RunEvent(QWidget* window, const std::function<void()>& event) {
  try {
    event();
  } catch (const RunError& error) {
    Report(window, error.what());
  } catch (const std::bad_alloc&) {
    Report(window, "Out of memory");
  } catch (const std::exception& error) {
    Report(window, std::string("Unexpected error: ") + error.what());
  }
}

}  // namespace rdsim
