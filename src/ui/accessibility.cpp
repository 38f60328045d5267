#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTextDocumentFragment>

#include "core/constants.h"
#include "core/parameter_intake.h"
#include "ui/counter_label.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

// Qt shows a plain widget as a filler, which readers pass over; a picture is
// announced as an image, with a press where a click acts (the swatches).
class PictureAccessible : public QAccessibleWidget {
 public:
  explicit PictureAccessible(PictureBox* picture) : QAccessibleWidget(picture, QAccessible::Graphic) {}

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (picture()->HandlesClick()) names.prepend(pressAction());
    return names;
  }
  void doAction(const QString& name) override {
    if (name == pressAction() && picture()->HandlesClick()) {
      emit picture()->Click();
      return;
    }
    QAccessibleWidget::doAction(name);
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (name == pressAction()) return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(name);
  }

 private:
  PictureBox* picture() const { return static_cast<PictureBox*>(widget()); }
};

// The counter keeps a fixed name and gives its number as the value, so that
// a reader hears "Iteration count" and not a bare number; the value events
// come from CounterLabel::Announced, not from every step.
class CounterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit CounterAccessible(CounterLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Value ? label()->Caption() : QAccessibleWidget::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QVariant currentValue() const override { return label()->Caption().toDouble(); }
  void setCurrentValue(const QVariant&) override {}  // the run sets it, never the user
  QVariant maximumValue() const override { return double(MaxRunSteps) + 1; }
  QVariant minimumValue() const override { return 0.0; }
  QVariant minimumStepSize() const override { return 1.0; }

 private:
  CounterLabel* label() const { return static_cast<CounterLabel*>(widget()); }
};

// Qt's own menu item tells no description; an item whose status tip holds
// one (the File menu's additions) is announced with it.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit MenuItemAccessible(QAction* action) : action_(action) {}

  bool isValid() const override { return action_ && Menu(); }
  QObject* object() const override { return action_; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Menu()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    if (!action_) return {};
    if (t == QAccessible::Name) return WithoutAmpersands(action_->text());
    if (t == QAccessible::Description) return action_->statusTip();
    if (t == QAccessible::Accelerator) return action_->shortcut().toString();
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QMenu* menu = Menu();
    if (!menu) return {};
    const QRect area = menu->actionGeometry(action_);
    return QRect(menu->mapToGlobal(area.topLeft()), area.size());
  }
  QAccessible::Role role() const override { return QAccessible::MenuItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    QMenu* menu = Menu();
    s.invisible = !menu || !menu->isVisible() || !action_->isVisible();
    s.disabled = !action_->isEnabled();
    s.focused = menu && menu->activeAction() == action_;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && action_ && action_->isEnabled()) action_->trigger();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  static QString WithoutAmpersands(QString text) { return text.remove(QLatin1Char('&')); }
  QMenu* Menu() const {
    if (!action_) return nullptr;
    for (QObject* owner : action_->associatedObjects()) {
      if (auto* menu = qobject_cast<QMenu*>(owner)) return menu;
    }
    return nullptr;
  }

  QPointer<QAction> action_;
};

QAccessibleInterface* MakeAccessible(const QString& key, QObject* object) {
  if (key == QLatin1String("QAction")) {
    auto* action = static_cast<QAction*>(object);
    return action->statusTip().isEmpty() ? nullptr : new MenuItemAccessible(action);
  }
  if (key == QLatin1String(PictureBox::staticMetaObject.className()))
    return new PictureAccessible(static_cast<PictureBox*>(object));
  if (key == QLatin1String(CounterLabel::staticMetaObject.className()))
    return new CounterAccessible(static_cast<CounterLabel*>(object));
  return nullptr;
}

// Qt keeps the first interface it makes for a widget, so the factory must be
// in place before any widget exists.
void InstallAccessibleFactory() { QAccessible::installFactory(MakeAccessible); }
Q_COREAPP_STARTUP_FUNCTION(InstallAccessibleFactory)

QString WithoutMnemonics(QString title) {
  title.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  title.remove(QLatin1Char('&'));
  return title.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

void NameMenus(QMenu* menu) {
  if (menu->accessibleName().isEmpty()) menu->setAccessibleName(WithoutMnemonics(menu->title()));
  for (QAction* action : menu->actions())
    if (action->menu()) NameMenus(action->menu());
}

struct Naming {
  QWidget* widget;
  const char* name;
  const char* description;  // nullptr: the tooltip's text
};

}  // namespace

QString CoefficientAccessibleName(int k) {
  if (k < 0 || k >= CoefficientCount) return QStringLiteral("k%1").arg(k);
  QString place = QString::fromUtf8(Coefficients[static_cast<std::size_t>(k)].place);
  // A name reads better without the article the error messages need.
  if (place.startsWith(QLatin1String("the "))) place.remove(0, 4);
  return QStringLiteral("k%1, %2").arg(k).arg(place);
}

QString PlainDescription(const QString& text) {
  const QString plain = Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
  static const QRegularExpression breaks(QStringLiteral("[\\n\\x{2028}\\x{2029}]"));
  QStringList sentences;
  for (const QString& line : plain.split(breaks)) {
    const QString part = line.simplified();
    if (part.isEmpty()) continue;
    if (!sentences.isEmpty() && !QStringLiteral(".:;!?").contains(sentences.back().back())) sentences.back() += '.';
    sentences << part;
  }
  return sentences.join(QLatin1Char(' '));
}

QString FieldCursorText(int x, int y, std::optional<float> u, std::optional<float> v) {
  const QString place = QStringLiteral("x %1, y %2").arg(x).arg(y);
  if (!u || !v) return place;
  return place + QStringLiteral(": u %1, v %2").arg(double(*u), 0, 'f', 2).arg(double(*v), 0, 'f', 2);
}

QString ProfileCursorText(bool activator, int x, double height, std::optional<float> value) {
  const QString place = QStringLiteral("x %1, height %2").arg(x).arg(height, 0, 'f', 1);
  if (!value) return place;
  return place + QStringLiteral(": %1 %2").arg(QLatin1Char(activator ? 'u' : 'v')).arg(double(*value), 0, 'f', 2);
}

QString PhasePlaneCursorText(double u, double v) {
  return QStringLiteral("u %1, v %2").arg(u, 0, 'f', 1).arg(v, 0, 'f', 1);
}

void NameForScreenReaders(frmMain& f) {
  for (int k = 0; k < 11; ++k) f.Text1[k]->setAccessibleName(CoefficientAccessibleName(k));

  const Naming namings[] = {
      {f.Text3, "Field size", nullptr},
      {f.Text2, "Iterations per image", nullptr},
      {f.Label2, "Iteration count", "The number of steps of the current run; it starts again at every Start."},
      {f.SavePar, "Save preset", nullptr},
      {f.Combo1, "Preset", nullptr},
      {f.Combo1->lineEdit(), "Preset name",
       "The name of the chosen preset. Type a new name here, then press Save preset to keep the coefficients "
       "under it."},
      {f.Combo1->view(), "Preset list", "The presets; choosing one puts its coefficients into the boxes."},
      {f.Spiral, "Spiral", nullptr},
      {f.Slider1, "Brush radius", nullptr},
      {f.Slider2, "Brush intensity", nullptr},
      {f.Picture6[0], "Activator brush",
       "A red swatch: makes the brush paint the activator. Mouse: click it. Keyboard: press Space when it has "
       "the focus."},
      {f.Picture6[1], "Inhibitor brush",
       "A dark blue swatch: makes the brush paint the inhibitor. Mouse: click it. Keyboard: press Space when it "
       "has the focus."},
      {f.Picture5, "Brush preview",
       "The brush as it paints: a disc of the chosen radius, red for the activator or blue for the inhibitor, as "
       "bright as the intensity. It follows the sliders and the swatches; neither mouse nor keyboard act on it."},
      {f.Picture1, "Activator profile",
       "The activator u along the line, one red bar per cell, 0 at the bottom to 10 at the top. Mouse: press the "
       "left button and drag to draw the profile. Keyboard: the arrows move a cursor along the cells and up or down in "
       "value (Shift: 8 cells, or 1.0), Home and End to the first and last cell; Space or Enter sets the cell under "
       "the cursor to its height, and Space held while moving draws as a drag does."},
      {f.Picture2, "Inhibitor profile",
       "The inhibitor v along the line, one blue bar per cell, 0 at the bottom to 10 at the top. Mouse: press "
       "the left button and drag to draw the profile. Keyboard: the arrows move a cursor along the cells and up or "
       "down in value (Shift: 8 cells, or 1.0), Home and End to the first and last cell; Space or Enter sets the "
       "cell under the cursor to its height, and Space held while moving draws as a drag does."},
      {f.Picture3, "Field",
       "The activator over the square field in 2D mode, each cell from black (0) to white (10). Mouse: press the "
       "left button and drag to paint discs of the brush's species. Keyboard: the arrows move a cell cursor "
       "(Shift: 8 cells), Home and End to the row's ends; Space or Enter paints a disc at the cursor, and Space held "
       "while moving paints a stroke until it is released or Escape is pressed."},
      {f.Picture4, "Phase plane",
       "Phase plane of one cell without diffusion, u from 0 to 10 across, v from 0 to 10 upwards. Mouse: click a "
       "point (u, v) to draw the nullclines and the cell's path from there. Keyboard: the arrows move a cursor by "
       "0.1 in u or v (Shift: 1.0), Home and End to u 0 and 10; Space or Enter chooses the point under it."},
      {f.Option1[0], "1D", "One dimension: a line of cells, shown as the activator and inhibitor profiles."},
      {f.Option1[1], "2D", "Two dimensions: a square field, shown as one picture, with the brush tools."},
      {f.Frame1, "Oscillator",
       "The model as the window writes it: du/dt = k0 u + k1 v + k2 - k3 u + k7 d2u/dx2, and dv/dt = k4 u + "
       "k5 v + k6 + k8 d2v/dx2; synU_max and synV_max cap the synthesis of u and v. Then the presets and the "
       "phase plane."},
      {f.Frame2, "Mode", "1D or 2D: a line of cells or a square field."},
      {f.Frame3, "Brush tools",
       "For painting the field in 2D mode: the spiral, the two brush swatches, the preview, and the radius and "
       "intensity sliders."},
      {f.menuBar(), "Menu bar", nullptr},
  };
  for (const Naming& n : namings) {
    n.widget->setAccessibleName(QString::fromUtf8(n.name));
    if (n.description) n.widget->setAccessibleDescription(QString::fromUtf8(n.description));
  }

  // Every other description is its tooltip without the markup, which a reader
  // would otherwise read aloud.
  for (QWidget* widget : f.findChildren<QWidget*>()) {
    if (widget->accessibleDescription().isEmpty() && !widget->toolTip().isEmpty())
      widget->setAccessibleDescription(PlainDescription(widget->toolTip()));
  }
  for (QAction* action : f.menuBar()->actions())
    if (action->menu()) NameMenus(action->menu());

  CounterLabel* counter = f.Label2;
  QObject::connect(counter, &CounterLabel::Announced, counter, [counter](const QString& caption) {
    QAccessibleValueChangeEvent event(counter, caption.toDouble());
    QAccessible::updateAccessibility(&event);
  });
}

}  // namespace rdsim
