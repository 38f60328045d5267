#pragma once

#include <QKeySequence>
#include <QPixmap>
#include <QRect>
#include <QRgb>
#include <QString>
#include <span>
#include <type_traits>

class QAction;
class QMenu;
class QWidget;

namespace rdsim {

class frmMain;

// The layout is kept in the design's twips; 15 twips make one pixel.
// Twips are whole numbers, so the rounding never meets a tie.
constexpr int Px(int twips) { return (twips + 7) / 15; }

struct Twips {
  int left, top, width, height;
  QRect Pixels() const { return {Px(left), Px(top), Px(width), Px(height)}; }
};

// Where a control sits: the client area or one of the frames.
enum class Container { Client, Frame1, Frame2, Frame3 };

enum class ControlKind {
  Frame,
  Label,
  Counter,
  TextBox,
  Button,
  PictureButton,
  Picture,
  Slider,
  Option,
  PresetList,
  Line,
  // Groups another table describes, built at this row's turn.
  EquationCaptions,  // Label1, from the equations' captions
  CoefficientBoxes,  // Text1, from the coefficient table and their places
  FractionBars,      // Line1
};

// No face: the control takes its container's font.
struct FontSpec {
  const QString* face = nullptr;
  double points = 0;
  bool bold = false, italic = false;
};

// Reads and sets the frmMain member a row builds; made by ControlAt.
struct ControlSlot {
  void (*store)(frmMain&, QWidget*) = nullptr;
  QWidget* (*get)(const frmMain&) = nullptr;
};

// A colour a picture takes from its container instead of one of its own.
inline constexpr QRgb ContainerGround = 0xFF000000;

struct ControlRow {
  const char* name;  // the design's name, "Picture6(0)"
  ControlSlot slot;
  ControlKind kind;
  Container in;
  Twips place;
  FontSpec font{};
  const char* caption = "";
  Qt::Alignment align = Qt::AlignLeft;  // labels
  const char* tip = nullptr;            // a text box's tip gets the note on when it is read
  const char* accessibleName = nullptr;
  const char* description = nullptr;          // for screen readers; none: the tooltip's text
  int tab = -1;                               // place in the tab order; -1: none
  bool hidden = false;                        // shown by the mode switch
  bool checked = false;                       // options
  bool growToLine = false;                    // labels whose substitute face is taller than the design's line
  QRgb back = 0;                              // pictures; ContainerGround
  bool bordered = true;                       // pictures
  int maximum = 0, value = 0, largeStep = 0;  // sliders
  QPixmap (*icon)() = nullptr;                // picture buttons
};

template <auto Member>
void StoreControl(frmMain& f, QWidget* w) {
  f.*Member = static_cast<std::remove_reference_t<decltype(f.*Member)>>(w);
}
template <auto Member, int Index>
void StoreControlAt(frmMain& f, QWidget* w) {
  (f.*Member)[Index] = static_cast<std::remove_reference_t<decltype((f.*Member)[Index])>>(w);
}
template <auto Member>
QWidget* GetControl(const frmMain& f) {
  return f.*Member;
}
template <auto Member, int Index>
QWidget* GetControlAt(const frmMain& f) {
  return (f.*Member)[Index];
}

// ControlAt<&frmMain::Run>; ControlOf<&frmMain::Picture6, 0> for an array's element.
template <auto Member>
inline constexpr ControlSlot ControlAt{&StoreControl<Member>, &GetControl<Member>};
template <auto Member, int Index>
inline constexpr ControlSlot ControlOf{&StoreControlAt<Member, Index>, &GetControlAt<Member, Index>};

// Every control of the window, in the order they are made (later ones lie
// above earlier ones where they touch).
std::span<const ControlRow> ControlRows();

// Text1(k): its place and its stop in the tab order; its caption, tooltip and
// screen-reader name come from the coefficient table.
struct CoefficientBox {
  Twips place;
  int tab;
};
std::span<const CoefficientBox> CoefficientBoxes();

// The menus, in the menu bar's order, and their items.
struct MenuRow {
  QMenu* frmMain::*menu;
  const char* name;  // the object name
  const char* title;
};
std::span<const MenuRow> MenuRows();

struct MenuItemRow {
  QMenu* frmMain::*menu;
  QAction* frmMain::*action;
  const char* name;  // the object name
  const char* text;
  QKeySequence key;
  const char* description;  // status tip, tooltip, and what a screen reader says
  void (frmMain::*handler)();
  bool separatorBefore = false;
  bool atLoad = false;  // added by Form_Load, after the designed items
};
std::span<const MenuItemRow> MenuItemRows();

// The container's widget in the built window.
QWidget* ContainerWidget(const frmMain& f, Container in);

}  // namespace rdsim
