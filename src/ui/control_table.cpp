#include "ui/control_table.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "ui/counter_label.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/icons.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

using enum ControlKind;
using enum Container;

constexpr FontSpec Default{&DialogFace, 8};
constexpr FontSpec FrameTitle{&CenturyFace, 9, true, true};
constexpr FontSpec SmallGothic{&GothicFace, 8.25};
constexpr FontSpec Arial9{&ArialFace, 9};
constexpr FontSpec Arial975{&ArialFace, 9.75};
constexpr FontSpec Arial12Bold{&ArialFace, 12, true};

// The rows in the order the design makes the controls: the brush tools, the
// mode switch, the equations, the plots, then the run controls.
const ControlRow Controls[] = {
    {.name = "Frame3",
     .slot = ControlAt<&frmMain::Frame3>,
     .kind = Frame,
     .in = Client,
     .place = {360, 240, 1935, 1695},
     .font = Default,
     .accessibleName = "Brush tools",
     .description = "For painting the field in 2D mode: the spiral, the two brush swatches, the preview, and the "
                    "radius and intensity sliders.",
     .hidden = true},
    {.name = "Spiral",
     .slot = ControlAt<&frmMain::Spiral>,
     .kind = PictureButton,
     .in = Frame3,
     .place = {240, 360, 495, 495},
     .font = Default,
     .tip = "Stamp the brush along a one-turn spiral into the field.",
     .accessibleName = "Spiral",
     .tab = 29,
     .icon = SpiralPicture},
    {.name = "Picture6(0)",
     .slot = ControlOf<&frmMain::Picture6, 0>,
     .kind = Picture,
     .in = Frame3,
     .place = {840, 360, 255, 250},
     .font = Default,
     .tip = "Brush on the activator (red). Click, or press Space, to choose it.",
     .accessibleName = "Activator brush",
     .description = "A red swatch: makes the brush paint the activator. Mouse: click it. Keyboard: press Space when "
                    "it has the focus.",
     .tab = 7,
     .back = 0xFF0000},
    {.name = "Picture6(1)",
     .slot = ControlOf<&frmMain::Picture6, 1>,
     .kind = Picture,
     .in = Frame3,
     .place = {840, 600, 255, 250},
     .font = Default,
     .tip = "Brush on the inhibitor (blue). Click, or press Space, to choose it.",
     .accessibleName = "Inhibitor brush",
     .description = "A dark blue swatch: makes the brush paint the inhibitor. Mouse: click it. Keyboard: press Space "
                    "when it has the focus.",
     .tab = 6,
     .back = 0x000080},
    // The preview has no colour of its own: it shows on the frame's ground.
    {.name = "Picture5",
     .slot = ControlAt<&frmMain::Picture5>,
     .kind = Picture,
     .in = Frame3,
     .place = {1320, 415, 375, 375},
     .font = Default,
     .tip = "The brush: its radius, intensity and species.",
     .accessibleName = "Brush preview",
     .description = "The brush as it paints: a disc of the chosen radius, red for the activator or blue for the "
                    "inhibitor, as bright as the intensity. It follows the sliders and the swatches; neither mouse "
                    "nor keyboard act on it.",
     .tab = 8,
     .back = ContainerGround,
     .bordered = false},
    {.name = "Label8(0)",
     .slot = ControlOf<&frmMain::Label8, 0>,
     .kind = Label,
     .in = Frame3,
     .place = {195, 1080, 450, 165},
     .font = SmallGothic,
     .caption = "Radius"},
    {.name = "Slider1",
     .slot = ControlAt<&frmMain::Slider1>,
     .kind = Slider,
     .in = Frame3,
     .place = {840, 1080, 975, 255},
     .tip = "Brush radius, 0 to 12 cells.",
     .accessibleName = "Brush radius",
     .tab = 5,
     .maximum = 12,
     .value = 7,
     .largeStep = 5},
    // Kept clear of the slider at its right (KeepCaptionsClear).
    {.name = "Label8(1)",
     .slot = ControlOf<&frmMain::Label8, 1>,
     .kind = Label,
     .in = Frame3,
     .place = {195, 1320, 615, 165},
     .font = SmallGothic,
     .caption = "Intensity",
     .growToLine = true},
    {.name = "Slider2",
     .slot = ControlAt<&frmMain::Slider2>,
     .kind = Slider,
     .in = Frame3,
     .place = {840, 1320, 975, 255},
     .tip = "Brush intensity, 0 to 255: the value a disc writes, from 0 up to 10 at 255.",
     .accessibleName = "Brush intensity",
     .tab = 4,
     .maximum = 255,
     .value = 255,
     .largeStep = 50},

    {.name = "Frame2",
     .slot = ControlAt<&frmMain::Frame2>,
     .kind = Frame,
     .in = Client,
     .place = {360, 1920, 1935, 615},
     .font = FrameTitle,
     .accessibleName = "Mode",
     .description = "1D or 2D: a line of cells or a square field."},
    // The pair is one tab stop, which Tab finds on the checked option.
    {.name = "Option1(0)",
     .slot = ControlOf<&frmMain::Option1, 0>,
     .kind = Option,
     .in = Frame2,
     .place = {240, 240, 735, 255},
     .font = {&GothicFace, 9, true},
     .caption = "1D",
     .accessibleName = "1D",
     .description = "One dimension: a line of cells, shown as the activator and inhibitor profiles.",
     .tab = 26,
     .checked = true},
    {.name = "Option1(1)",
     .slot = ControlOf<&frmMain::Option1, 1>,
     .kind = Option,
     .in = Frame2,
     .place = {1080, 240, 735, 255},
     .font = {&GothicFace, 9, true},
     .caption = "2D",
     .accessibleName = "2D",
     .description = "Two dimensions: a square field, shown as one picture, with the brush tools.",
     .tab = 25},

    // The model's description is made from the coefficient table (ModelDescription).
    {.name = "Frame1",
     .slot = ControlAt<&frmMain::Frame1>,
     .kind = Frame,
     .in = Client,
     .place = {120, 2760, 7815, 2175},
     .font = FrameTitle,
     .caption = "Oscillator",
     .accessibleName = "Oscillator"},
    {.name = "Label1", .slot = {}, .kind = EquationCaptions, .in = Frame1, .place = {}},
    {.name = "Text1", .slot = {}, .kind = CoefficientBoxes, .in = Frame1, .place = {}},
    {.name = "Combo1",
     .slot = ControlAt<&frmMain::Combo1>,
     .kind = PresetList,
     .in = Frame1,
     .place = {3720, 1680, 1695, 300},
     .font = Default,
     .caption = "Combo1",
     .tip = "Presets: pick one from the list to put its coefficients into the boxes. A name typed here is the name "
            "S saves under; it loads nothing.",
     .accessibleName = "Preset",
     .tab = 10},
    {.name = "SavePar",
     .slot = ControlAt<&frmMain::SavePar>,
     .kind = Button,
     .in = Frame1,
     .place = {5400, 1680, 300, 300},
     .font = {&CenturyFace, 9, true},
     .caption = "S",
     .tip = "Save the coefficients as a new preset.",
     .accessibleName = "Save preset",
     .tab = 9},
    {.name = "Picture4",
     .slot = ControlAt<&frmMain::Picture4>,
     .kind = Picture,
     .in = Frame1,
     .place = {5880, 240, 1815, 1815},
     .font = Default,
     .tip = "Phase plane of one cell without diffusion. Click a point (u, v) to draw the nullclines and the cell's "
            "path from there.",
     .accessibleName = "Phase plane",
     .description =
         "Phase plane of one cell without diffusion, u from 0 to 10 across, v from 0 to 10 upwards. Mouse: click a "
         "point (u, v) to draw the nullclines and the cell's path from there. Keyboard: the arrows move a "
         "cursor by 0.1 in u or v (Shift: 1.0), Home and End to u 0 and 10; Space or Enter chooses the point "
         "under it.",
     .tab = 22,
     .back = 0xE0E0E0},
    {.name = "Line1", .slot = {}, .kind = FractionBars, .in = Frame1, .place = {}},

    // The plots: the two profiles, or the field in the same square.
    {.name = "Picture1",
     .slot = ControlAt<&frmMain::Picture1>,
     .kind = Picture,
     .in = Client,
     .place = {2835, 660, 1980, 990},
     .font = Default,
     .tip = "The activator u, one red bar per cell. Press and drag with the left button to draw the activator's "
            "profile.",
     .accessibleName = "Activator profile",
     .description = "The activator u along the line, one red bar per cell, 0 at the bottom to 10 at the top. Mouse: "
                    "press the left button and drag to draw the profile. Keyboard: the arrows move a cursor along the "
                    "cells and up or down in value (Shift: 8 cells, or 1.0), Home and End to the first and last cell; "
                    "Space or Enter sets the cell under the cursor to its height, and Space held while moving draws as "
                    "a drag does.",
     .tab = 27,
     .back = 0xFFFFFF},
    {.name = "Picture2",
     .slot = ControlAt<&frmMain::Picture2>,
     .kind = Picture,
     .in = Client,
     .place = {2835, 1650, 1980, 990},
     .font = Default,
     .tip = "The inhibitor v, one blue bar per cell. Press and drag with the left button to draw the inhibitor's "
            "profile.",
     .accessibleName = "Inhibitor profile",
     .description = "The inhibitor v along the line, one blue bar per cell, 0 at the bottom to 10 at the top. Mouse: "
                    "press the left button and drag to draw the profile. Keyboard: the arrows move a cursor along the "
                    "cells and up or down in value (Shift: 8 cells, or 1.0), Home and End to the first and last cell; "
                    "Space or Enter sets the cell under the cursor to its height, and Space held while moving draws as "
                    "a drag does.",
     .tab = 28,
     .back = 0xFFFFFF},
    {.name = "Picture3",
     .slot = ControlAt<&frmMain::Picture3>,
     .kind = Picture,
     .in = Client,
     .place = {2835, 660, 1980, 1980},
     .font = Default,
     .tip = "The activator field, black 0 to white 10. Press and drag with the left button to paint discs of the "
            "brush's species into it.",
     .accessibleName = "Field",
     .description = "The activator over the square field in 2D mode, each cell from black (0) to white (10). Mouse: "
                    "press the left button and drag to paint discs of the brush's species. Keyboard: the arrows move a "
                    "cell cursor (Shift: 8 cells), Home and End to the row's ends; Space or Enter paints a disc at the "
                    "cursor, and Space held while moving paints a stroke until it is released or Escape is pressed.",
     .tab = 1,
     .hidden = true,
     .back = 0x000000},

    // Size, counter and run controls.
    {.name = "Label4",
     .slot = ControlAt<&frmMain::Label4>,
     .kind = Label,
     .in = Client,
     .place = {2880, 240, 1335, 255},
     .font = Arial9,
     .caption = "Field Size =",
     .align = Qt::AlignHCenter},
    {.name = "Text3",
     .slot = ControlAt<&frmMain::Text3>,
     .kind = TextBox,
     .in = Client,
     .place = {4200, 240, 375, 270},
     .font = Default,
     .caption = "128",
     .tip = "Field size N: the cells of the line (1D) or of each side of the square (2D), 2 to 128.",
     .accessibleName = "Field size",
     .tab = 24},
    {.name = "Label2",
     .slot = ControlAt<&frmMain::Label2>,
     .kind = Counter,
     .in = Client,
     .place = {5520, 240, 1215, 255},
     .font = {&ArialFace, 9.75, true},
     .caption = "0",
     .align = Qt::AlignRight,
     .accessibleName = "Iteration count",
     .description = "The number of steps of the current run; it starts again at every Start."},
    {.name = "Label5",
     .slot = ControlAt<&frmMain::Label5>,
     .kind = Label,
     .in = Client,
     .place = {6720, 240, 975, 255},
     .font = Arial975,
     .caption = "Iteration",
     .align = Qt::AlignHCenter},
    {.name = "Text2",
     .slot = ControlAt<&frmMain::Text2>,
     .kind = TextBox,
     .in = Client,
     .place = {5520, 720, 495, 270},
     .font = Default,
     .caption = "20",
     .tip = "Iterations per image: during a run the picture is redrawn every this many steps.",
     .accessibleName = "Iterations per image",
     .tab = 23},
    {.name = "Label3",
     .slot = ControlAt<&frmMain::Label3>,
     .kind = Label,
     .in = Client,
     .place = {6120, 720, 1575, 255},
     .font = Arial975,
     .caption = "Iteration / Image",
     .align = Qt::AlignHCenter},
    {.name = "Run",
     .slot = ControlAt<&frmMain::Run>,
     .kind = Button,
     .in = Client,
     .place = {5280, 1200, 2415, 855},
     .font = {&ArialBlackFace, 24},
     .caption = "Start",
     .tip = "Start the run; press again to stop it.",
     .tab = 2},
    {.name = "Random",
     .slot = ControlAt<&frmMain::Random>,
     .kind = Button,
     .in = Client,
     .place = {5280, 2040, 1215, 495},
     .font = Arial12Bold,
     .caption = "Random",
     .tip = "Fill the field with random values.",
     .tab = 0},
    {.name = "Clear",
     .slot = ControlAt<&frmMain::Clear>,
     .kind = Button,
     .in = Client,
     .place = {6480, 2040, 1215, 495},
     .font = Arial12Bold,
     .caption = "Clear",
     .tip = "Read the boxes and set the whole field to zero.",
     .tab = 3},
    // The rule under the menu bar; a line's place is x1, y, x2 - x1.
    {.name = "Line2",
     .slot = ControlAt<&frmMain::Line2>,
     .kind = Line,
     .in = Client,
     .place = {0, 0, 8040, 15},
     .back = 0x808080},
};

// Text1 by index: k7 and k8 sit at the end of their equations, after the
// reaction terms. Tab runs through them from k10 down to k0.
const CoefficientBox Boxes[] = {
    {{960, 480, 615, 270}, 21},   {{1800, 480, 615, 270}, 20},  {{2640, 480, 615, 270}, 19},
    {{3480, 480, 615, 270}, 18},  {{960, 1080, 615, 270}, 17},  {{1800, 1080, 615, 270}, 16},
    {{2640, 1080, 615, 270}, 15}, {{4440, 480, 615, 270}, 14},  {{4440, 1080, 615, 270}, 13},
    {{1320, 1680, 495, 270}, 12}, {{3000, 1680, 495, 270}, 11},
};
static_assert(std::size(Boxes) == CoefficientCount);

// The menus stay in the window on every desktop; Analysis, Edit and Help
// follow the designed ones, which keep their places in the bar.
const MenuRow Menus[] = {
    {&frmMain::mnuFile, "mnuFile", "File"},
    {&frmMain::mnuRun, "mnuRun", "Run"},
    {&frmMain::mnuAnalysis, "mnuAnalysis", "&Analysis"},
    {&frmMain::mnuEdit, "mnuEdit", "&Edit"},
    {&frmMain::mnuView, "mnuView", "&View"},
    {&frmMain::mnuHelp, "mnuHelp", "&Help"},
};

// The Run menu's speed items are made from RunSpeeds (AddSpeedItems).
const MenuItemRow MenuItems[] = {
    {&frmMain::mnuFile, &frmMain::mnuSaveAs, "mnuSaveAs", "Save As", QKeySequence::UnknownKey,
     "Save the pictures of the current mode as bitmaps in the working folder: Activator_1D.bmp and "
     "Inhibitor_1D.bmp, or 2D.bmp.",
     &frmMain::mnuSaveAs_Click},
    {&frmMain::mnuFile, &frmMain::mnuOpenField, "mnuOpenField", "&Open Field\u2026", QKeySequence::Open,
     "Open a field file (.h5): its mode, field size, coefficients and field take the place of the window's. Works "
     "during a run.",
     &frmMain::mnuOpenField_Click, true, true},
    {&frmMain::mnuFile, &frmMain::mnuSaveField, "mnuSaveField", "Save &Field\u2026", QKeySequence::Save,
     "Save the field, the coefficient boxes and the steps run on the field as a field file (.h5), which Open Field "
     "and rdsim-batch --init read back.",
     &frmMain::mnuSaveField_Click, false, true},
    {&frmMain::mnuFile, &frmMain::mnuExportPicture, "mnuExportPicture", "&Export Picture\u2026",
     QKeySequence::UnknownKey,
     "Write the picture of the field as a PNG, enlarged 1 to 8 times, in grey or a colour map.",
     &frmMain::mnuExportPicture_Click, true, true},
    {&frmMain::mnuFile, &frmMain::mnuSaveSpaceTime, "mnuSaveSpaceTime", "Save Space-&Time Image\u2026",
     QKeySequence::UnknownKey,
     "Write the space-time image of the current or last 1D run as a PNG: the line across, one row for every redraw "
     "downwards, the newest 4096 rows.",
     &frmMain::mnuSaveSpaceTime_Click, false, true},
    {&frmMain::mnuFile, &frmMain::mnuRecord, "mnuRecord", "&Record\u2026", QKeySequence::UnknownKey,
     "Record every redraw of the run into a movie: .gif (every pixel kept), .mp4 or .webm. The title shows the "
     "frames so far.",
     &frmMain::mnuRecord_Click, true, true},
    {&frmMain::mnuFile, &frmMain::mnuStopRecording, "mnuStopRecording", "Stop Re&cording", QKeySequence::UnknownKey,
     "End the recording and close its movie file.", &frmMain::mnuStopRecording_Click, false, true},
    {&frmMain::mnuFile, &frmMain::mnuQuit, "mnuQuit", "&Quit", QKeySequence::Quit,
     "Close the window and end the program; a recording keeps its frames up to here.", &frmMain::mnuQuit_Click, true,
     true, "Ctrl+Q"},
    {&frmMain::mnuAnalysis, &frmMain::mnuStability, "mnuStability", "&Linear Stability\u2026", QKeySequence::UnknownKey,
     "Open a window that shows which wavelengths grow from the uniform state of the coefficients in the boxes, and "
     "how fast.",
     &frmMain::mnuStability_Click},
    {&frmMain::mnuAnalysis, &frmMain::mnuTimeSeries, "mnuTimeSeries", "&Time Series\u2026", QKeySequence::UnknownKey,
     "Open a window that plots the field's mean, least and largest values and a probe cell against the step, with "
     "the period of an oscillation and the step the field settled at. A right click on the field picks the probe.",
     &frmMain::mnuTimeSeries_Click, false, false, "Ctrl+T"},
    {&frmMain::mnuView, &frmMain::mnuFieldWindow, "mnuFieldWindow", "&Field Window", QKeySequence::UnknownKey,
     "Open a window of its own that shows the field large, with a colour bar, axes in cells and the values under "
     "the pointer; it follows the run, and the brush paints there too. F11: full screen.",
     &frmMain::mnuFieldWindow_Click, false, false, "Ctrl+Shift+F"},
    {&frmMain::mnuEdit, &frmMain::mnuUndo, "mnuUndo", "&Undo", QKeySequence::Undo,
     "Take back the last change made to the field by hand: a brush or profile stroke, Random, Clear, Spiral or Open "
     "Field. Works during a run.",
     &frmMain::mnuUndo_Click, false, false, "Ctrl+Z"},
    {&frmMain::mnuEdit, &frmMain::mnuRedo, "mnuRedo", "&Redo", QKeySequence::Redo,
     "Make again the change to the field that Undo took back.", &frmMain::mnuRedo_Click, false, false, "Ctrl+Shift+Z"},
    {&frmMain::mnuHelp, &frmMain::mnuQuickStart, "mnuQuickStart", "&Quick Start", QKeySequence::HelpContents,
     "A short page on a first run: a preset, Random, Start, painting, and what the two species do.",
     &frmMain::mnuQuickStart_Click, false, false, "F1"},
    {&frmMain::mnuHelp, &frmMain::mnuAbout, "mnuAbout", "&About rdsim", QKeySequence::UnknownKey,
     "The program's version and licence.", &frmMain::mnuAbout_Click},
};

}  // namespace

// The Run menu's speed items are made from RunSpeeds (AddSpeedItems). A key
// sequence is made only once the application runs (the platform maps it).
std::span<const MenuItemRow> MenuItemRows() { return MenuItems; }

std::span<const ControlRow> ControlRows() { return Controls; }
std::span<const CoefficientBox> CoefficientBoxes() { return Boxes; }
std::span<const MenuRow> MenuRows() { return Menus; }

QWidget* ContainerWidget(const frmMain& f, Container in) {
  switch (in) {
    case Client: return f.centralWidget();
    case Frame1: return f.Frame1;
    case Frame2: return f.Frame2;
    case Frame3: return f.Frame3;
  }
  return nullptr;
}

}  // namespace rdsim
