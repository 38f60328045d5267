#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace rdsim {

struct Palette;

// What the File menu asks before it reads or writes a file: a name from Qt's
// file dialog, and for pictures a scale and a colour map. Tests answer in
// place of the dialogs.
struct FileQuestion {
  enum Kind { Open, Save } kind = Open;
  QString title;
  QString filter;  // "Field files (*.h5)"
  QString suffix;  // added to a typed name without an extension, no dot
};

struct PictureOptions {
  int scale = 1;
  const Palette* palette = nullptr;
};

// An empty name: cancelled.
QString AskFileName(QWidget* parent, const FileQuestion& question);
// Nothing: cancelled. The dialog offers the answer last given to the same
// title, kept between sessions.
std::optional<PictureOptions> AskPictureOptions(QWidget* parent, const QString& title);
// That last answer; scale 1 in grey before any, or when what is kept is not
// one the dialog could give.
PictureOptions LastPictureOptions(const QString& title);

using FileAnswerer = std::function<QString(const FileQuestion&)>;
using PictureOptionsAnswerer = std::function<std::optional<PictureOptions>(const QString& title)>;
void SetFileAnswerer(FileAnswerer answerer);
void SetPictureOptionsAnswerer(PictureOptionsAnswerer answerer);

}  // namespace rdsim
