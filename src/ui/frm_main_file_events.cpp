// The File menu beyond Save As: field files, picture export, the space-time
// image and recordings.
#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "params/field_files.h"
#include "run/recording.h"
#include "ui/error_boundary.h"
#include "ui/file_questions.h"
#include "ui/frm_main.h"

namespace rdsim {

namespace {

struct MenuItem {
  QAction* frmMain::*action;
  const char* name;  // the object name
  const char* text;
  QKeySequence::StandardKey key;
  const char* description;
  void (frmMain::*handler)();
};

const MenuItem FileMenuItems[] = {
    {&frmMain::mnuOpenField, "mnuOpenField", "&Open Field\u2026", QKeySequence::Open,
     "Open a field file (.h5): its mode, field size, coefficients and field take the place of the window's. Works "
     "during a run.",
     &frmMain::mnuOpenField_Click},
    {&frmMain::mnuSaveField, "mnuSaveField", "Save &Field\u2026", QKeySequence::Save,
     "Save the field, the coefficient boxes and the steps run on the field as a field file (.h5), which Open Field "
     "and rdsim-batch --init read back.",
     &frmMain::mnuSaveField_Click},
    {&frmMain::mnuExportPicture, "mnuExportPicture", "&Export Picture\u2026", QKeySequence::UnknownKey,
     "Write the picture of the field as a PNG, enlarged 1 to 8 times, in grey or a colour map.",
     &frmMain::mnuExportPicture_Click},
    {&frmMain::mnuSaveSpaceTime, "mnuSaveSpaceTime", "Save Space-&Time Image\u2026", QKeySequence::UnknownKey,
     "Write the space-time image of the current or last 1D run as a PNG: the line across, one row for every redraw "
     "downwards, the newest 4096 rows.",
     &frmMain::mnuSaveSpaceTime_Click},
    {&frmMain::mnuRecord, "mnuRecord", "&Record\u2026", QKeySequence::UnknownKey,
     "Record every redraw of the run into a movie: .gif (every pixel kept), .mp4 or .webm. The title shows the "
     "frames so far.",
     &frmMain::mnuRecord_Click},
    {&frmMain::mnuStopRecording, "mnuStopRecording", "Stop Re&cording", QKeySequence::UnknownKey,
     "End the recording and close its movie file.", &frmMain::mnuStopRecording_Click},
};

}  // namespace

void frmMain::AddFileMenuItems() {
  if (mnuOpenField) return;
  mnuFile->addSeparator();
  for (const MenuItem& item : FileMenuItems) {
    QAction* action = mnuFile->addAction(QString::fromUtf8(item.text));
    action->setObjectName(QString::fromLatin1(item.name));
    if (item.key != QKeySequence::UnknownKey) action->setShortcut(item.key);
    // A reader takes the description from these; a status bar would too.
    const QString description = QString::fromUtf8(item.description);
    action->setToolTip(description);
    action->setStatusTip(description);
    action->setWhatsThis(description);
    connect(action, &QAction::triggered, this, item.handler);
    this->*item.action = action;
    // The separators follow the groups: files, pictures, recordings.
    if (item.action == &frmMain::mnuSaveField || item.action == &frmMain::mnuSaveSpaceTime) mnuFile->addSeparator();
  }
  mnuStopRecording->setEnabled(false);
}

void frmMain::mnuOpenField_Click() {
  RunEvent(this, [this] {
    const QString path =
        AskFileName(this, {FileQuestion::Open, QStringLiteral("Open Field"), QStringLiteral("Field files (*.h5)"), {}});
    if (!path.isEmpty()) OpenField(session, ports, ports, path.toStdString());
  });
}

void frmMain::mnuSaveField_Click() {
  RunEvent(this, [this] {
    const QString path = AskFileName(
        this, {FileQuestion::Save, QStringLiteral("Save Field"), QStringLiteral("Field files (*.h5)"), "h5"});
    if (!path.isEmpty()) SaveField(session, ports, path.toStdString());
  });
}

void frmMain::mnuExportPicture_Click() {
  RunEvent(this, [this] {
    const std::optional<PictureOptions> options = AskPictureOptions(this, QStringLiteral("Export Picture"));
    if (!options) return;
    const QString path = AskFileName(
        this, {FileQuestion::Save, QStringLiteral("Export Picture"), QStringLiteral("PNG pictures (*.png)"), "png"});
    if (!path.isEmpty()) ExportPicture(session, ports, path.toStdString(), options->scale, *options->palette);
  });
}

void frmMain::mnuSaveSpaceTime_Click() {
  RunEvent(this, [this] {
    const std::optional<PictureOptions> options = AskPictureOptions(this, QStringLiteral("Save Space-Time Image"));
    if (!options) return;
    const QString path = AskFileName(this, {FileQuestion::Save, QStringLiteral("Save Space-Time Image"),
                                            QStringLiteral("PNG pictures (*.png)"), "png"});
    if (!path.isEmpty()) SaveSpaceTimeImage(session, path.toStdString(), options->scale, *options->palette);
  });
}

void frmMain::mnuRecord_Click() {
  RunEvent(this, [this] {
    const QString path = AskFileName(
        this, {FileQuestion::Save, QStringLiteral("Record"), QStringLiteral("Movies (*.gif *.mp4 *.webm)"), "gif"});
    if (!path.isEmpty()) StartRecording(session, ports, path.toStdString());
  });
}

void frmMain::mnuStopRecording_Click() {
  RunEvent(this, [this] { StopRecording(session, ports); });
}

}  // namespace rdsim
