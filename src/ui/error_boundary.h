#pragma once

#include <functional>
#include <string>

class QWidget;

namespace rdsim {

// Where the message of an abandoned event goes. The window shows a message
// box; tests install their own sink.
using ErrorSink = std::function<void(const std::string& message)>;
void SetErrorSink(ErrorSink sink);

// Runs one window event. A RunError (or any other exception) abandons the
// event, is reported to the sink, and the program goes on: nothing passes
// through Qt's event loop. When the error names a box (RunError::box, a
// control name), that child of the window then takes the focus, text selected.
void RunEvent(QWidget* window, const std::function<void()>& event);

// A message that stops nothing: to the sink, or in a box that does not wait
// for an answer, so that a run goes on while it shows.
void Notify(QWidget* window, const std::string& message);

}  // namespace rdsim
