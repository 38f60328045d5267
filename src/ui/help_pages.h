#pragma once

class QWidget;

namespace rdsim {

// Help > Quick Start: a page of its own beside the window, which a run goes
// on behind; asked again, the open page comes to the front.
void ShowQuickStart(QWidget* window);

// Help > About: the version and the licence, in a box that does not wait.
void ShowAbout(QWidget* window);

}  // namespace rdsim
