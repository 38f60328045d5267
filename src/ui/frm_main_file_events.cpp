// The File menu beyond Save As: field files, picture export, the space-time
// image and recordings.
#include <QAction>

#include "params/field_files.h"
#include "run/recording.h"
#include "ui/error_boundary.h"
#include "ui/file_questions.h"
#include "ui/frm_main.h"

namespace rdsim {

// The items come from the menu table (ui/control_table.cpp), after the
// designed Save As, once.
void frmMain::AddFileMenuItems() {
  if (mnuOpenField) return;
  AddMenuItems(true);
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
