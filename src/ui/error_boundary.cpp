#include "ui/error_boundary.h"

#include <QLineEdit>
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
  QMessageBox box(QMessageBox::Critical, "Reaction-Diffusion simulator", QString::fromStdString(message),
                  QMessageBox::Ok, guard);
  box.setTextFormat(Qt::PlainText);  // a typed text or file name is shown as it is, never as markup
  box.exec();
}

// After the message the box at fault takes the focus with its text selected,
// so that typing replaces it at once.
void FocusBox(QWidget* window, const std::string& box) {
  if (!window || box.empty()) return;
  auto* edit = window->findChild<QLineEdit*>(QString::fromStdString(box));
  if (!edit) return;
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

}  // namespace

void Notify(QWidget* window, const std::string& message) {
  if (Sink()) {
    Sink()(message);
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Information, "Reaction-Diffusion simulator", QString::fromStdString(message),
                              QMessageBox::Ok, window);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

void SetErrorSink(ErrorSink sink) { Sink() = std::move(sink); }

void RunEvent(QWidget* window, const std::function<void()>& event) {
  QPointer<QWidget> guard(window);
  try {
    event();
  } catch (const RunError& error) {
    Report(window, error.what());
    FocusBox(guard, error.box());
  } catch (const std::bad_alloc&) {
    Report(window, "Out of memory");
  } catch (const std::exception& error) {
    Report(window, std::string("Unexpected error: ") + error.what());
  }
}

}  // namespace rdsim
