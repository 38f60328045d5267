#pragma once

#include <QMainWindow>

#include "core/coefficients.h"
#include "run/session.h"
#include "ui/form_ports.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;

namespace rdsim {

class CounterLabel;
enum class ControlKind;
class PictureBox;
class PictureCursor;
class StabilityWindow;
class FieldWindow;
class TimeSeriesWindow;

// The one window. It owns the session and the controls; its event handlers
// hand the events to the behaviours, which see the window through `ports`.
class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  Session session;
  FormPorts ports{*this};
  // Set when the window closes, so that every running loop ends.
  bool Closing = false;

  // Controls, named as the design names them. The client area is centralWidget().
  QMenu* mnuFile = nullptr;
  QAction* mnuSaveAs = nullptr;
  // The File menu beyond the design, added at start-up (AddFileMenuItems).
  QAction* mnuOpenField = nullptr;
  QAction* mnuSaveField = nullptr;
  QAction* mnuExportPicture = nullptr;
  QAction* mnuSaveSpaceTime = nullptr;
  QAction* mnuRecord = nullptr;
  QAction* mnuStopRecording = nullptr;
  QAction* mnuQuit = nullptr;
  QMenu* mnuRun = nullptr;
  QAction* mnuSpeed[4] = {};  // full speed, then the limits of RunSpeeds

  QGroupBox* Frame1 = nullptr;  // "Oscillator": equations, presets, phase plane
  QGroupBox* Frame2 = nullptr;  // mode switch
  QGroupBox* Frame3 = nullptr;  // brush tools, 2D only

  PictureBox* Picture1 = nullptr;  // activator profile
  PictureBox* Picture2 = nullptr;  // inhibitor profile
  PictureBox* Picture3 = nullptr;  // field image
  PictureBox* Picture4 = nullptr;  // phase plane
  PictureBox* Picture5 = nullptr;  // brush preview
  PictureBox* Picture6[2] = {};    // species swatches

  // The keyboard's cell cursors in the pictures it can act on.
  PictureCursor* ActivatorCursor = nullptr;   // Picture1
  PictureCursor* InhibitorCursor = nullptr;   // Picture2
  PictureCursor* FieldCursor = nullptr;       // Picture3
  PictureCursor* PhasePlaneCursor = nullptr;  // Picture4

  QLabel* Label1[30] = {};         // equation captions
  CounterLabel* Label2 = nullptr;  // iteration counter
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label8[2] = {};

  QLineEdit* Text1[CoefficientCount] = {};  // coefficients k0..k10
  QLineEdit* Text2 = nullptr;               // iterations per image
  QLineEdit* Text3 = nullptr;               // field size

  QPushButton* Run = nullptr;
  QPushButton* Random = nullptr;
  QPushButton* Clear = nullptr;
  QPushButton* Spiral = nullptr;
  QPushButton* SavePar = nullptr;

  QRadioButton* Option1[2] = {};  // "1D", "2D"
  QSlider* Slider1 = nullptr;     // brush radius
  QSlider* Slider2 = nullptr;     // brush intensity
  QComboBox* Combo1 = nullptr;    // presets

  QFrame* Line1[4] = {};    // fraction bars of the equations
  QFrame* Line2 = nullptr;  // rule under the menu bar

  // Analysis > Linear Stability, and its window once opened.
  QMenu* mnuAnalysis = nullptr;
  QAction* mnuStability = nullptr;
  StabilityWindow* frmStability = nullptr;
  // View > Field Window, and its window once opened.
  QMenu* mnuView = nullptr;
  QAction* mnuFieldWindow = nullptr;
  FieldWindow* frmField = nullptr;

  // Edit: undo and redo of the hand changes to the field.
  QMenu* mnuEdit = nullptr;
  QAction* mnuUndo = nullptr;
  QAction* mnuRedo = nullptr;

  // Help: the quick start page and the version.
  QMenu* mnuHelp = nullptr;
  QAction* mnuQuickStart = nullptr;
  QAction* mnuAbout = nullptr;
  // Analysis > Time Series, and its window once opened.
  QAction* mnuTimeSeries = nullptr;
  TimeSeriesWindow* frmTimeSeries = nullptr;

  // Start-up: runs once before the window is shown.
  void Form_Load();

  // Event handlers; each runs its behaviour inside the error boundary.
  void Run_Click();
  void Option1_Click(int Index);
  void Random_Click();
  void Clear_Click();
  void Spiral_Click();
  void Combo1_Click();
  void SavePar_Click();
  void mnuSaveAs_Click();
  void mnuOpenField_Click();
  void mnuSaveField_Click();
  void mnuExportPicture_Click();
  void mnuSaveSpaceTime_Click();
  void mnuRecord_Click();
  void mnuStopRecording_Click();
  void mnuSpeed_Click(int Index);
  void Picture1_MouseDown(int Button, int Shift, float X, float Y);
  void Picture1_MouseMove(int Button, int Shift, float X, float Y);
  void Picture1_MouseUp(int Button, int Shift, float X, float Y);
  void Picture2_MouseDown(int Button, int Shift, float X, float Y);
  void Picture2_MouseMove(int Button, int Shift, float X, float Y);
  void Picture2_MouseUp(int Button, int Shift, float X, float Y);
  void Picture3_MouseDown(int Button, int Shift, float X, float Y);
  void Picture3_MouseMove(int Button, int Shift, float X, float Y);
  void Picture3_MouseUp(int Button, int Shift, float X, float Y);
  void Picture4_MouseDown(int Button, int Shift, float X, float Y);
  void Picture6_Click(int Index);
  void Slider1_Change();
  void Slider1_Scroll();
  void Slider2_Change();
  void Slider2_Scroll();
  void mnuStability_Click();
  void mnuFieldWindow_Click();
  void mnuQuit_Click();
  void mnuUndo_Click();
  void mnuRedo_Click();
  void mnuEdit_Show();
  void mnuQuickStart_Click();
  void mnuAbout_Click();
  void mnuTimeSeries_Click();
  // A right click on a field picture: its cell becomes the time series' probe.
  void PickProbe(Mode mode, float X, float Y);
  // The time series' probe becomes cell (x, y); its window is made if need be.
  void ChooseProbe(int x, int y);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Builds every control of the control table at its designed place, the
  // menus of the menu table, and connects the events.
  void BuildLayout();
  void BuildGroup(ControlKind kind, QWidget* parent);
  void BuildMenus();
  // The menu table's items added at start-up (atLoad) or with the window.
  void AddMenuItems(bool atLoad);
  void AddSpeedItems();
  void NameBoxes();
  void SetToolTips();
  void SetTabOrder();
  void ConnectEvents();
  // Field files, pictures, space-time images and recordings in the File menu.
  void AddFileMenuItems();
  // The keyboard's cursors in the profiles, the field and the phase plane.
  void AttachCellCursors();
};

}  // namespace rdsim
