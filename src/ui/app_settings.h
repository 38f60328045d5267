#pragma once

#include <QSettings>

namespace rdsim {

// The one file of the windows' remembered choices (an INI file in the user's
// configuration folder); tests and benchmarks point QSettings' IniFormat
// user path at a folder of their own first.
QSettings AppSettings();

}  // namespace rdsim
