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
#include <QStringList>
#include <QTextDocumentFragment>

#include "core/constants.h"
#include "core/parameter_intake.h"
#include "ui/control_table.h"
#include "ui/counter_label.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

// A menu's or an item's text as a reader says it: "&&" is a literal "&", any
// other "&" marks the mnemonic.
QString WithoutMnemonics(QString title) {
  title.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  title.remove(QLatin1Char('&'));
  return title.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

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
    if (t == QAccessible::Name) return WithoutMnemonics(action_->text());
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

void NameMenus(QMenu* menu) {
  if (menu->accessibleName().isEmpty()) menu->setAccessibleName(WithoutMnemonics(menu->title()));
  for (QAction* action : menu->actions())
    if (action->menu()) NameMenus(action->menu());
}

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

namespace {

// The model as the window writes it, from the coefficient table.
QString ModelDescription() {
  QStringList caps;
  for (const CoefficientInfo& row : Coefficients)
    if (!row.term) caps << QString::fromUtf8(row.role);
  return QStringLiteral(
             "The model as the window writes it: %1, and %2; %3 cap the synthesis of u and v. Then the "
             "presets and the phase plane.")
      .arg(QString::fromStdString(EquationText(Equation::Activator)),
           QString::fromStdString(EquationText(Equation::Inhibitor)), caps.join(QStringLiteral(" and ")));
}

}  // namespace

void NameForScreenReaders(frmMain& f) {
  for (const ControlRow& row : ControlRows()) {
    if (!row.accessibleName) continue;
    QWidget* widget = row.slot.get(f);
    widget->setAccessibleName(QString::fromUtf8(row.accessibleName));
    if (row.description) widget->setAccessibleDescription(QString::fromUtf8(row.description));
  }
  for (int k = 0; k < CoefficientCount; ++k) f.Text1[k]->setAccessibleName(CoefficientAccessibleName(k));
  f.Frame1->setAccessibleDescription(ModelDescription());
  // The preset list's parts, which have no row of their own.
  f.Combo1->lineEdit()->setAccessibleName(QStringLiteral("Preset name"));
  f.Combo1->lineEdit()->setAccessibleDescription(
      QStringLiteral("The name of the chosen preset. Type a new name here, then press Save preset to keep the "
                     "coefficients under it."));
  f.Combo1->view()->setAccessibleName(QStringLiteral("Preset list"));
  f.Combo1->view()->setAccessibleDescription(
      QStringLiteral("The presets; choosing one puts its coefficients into the boxes."));
  f.menuBar()->setAccessibleName(QStringLiteral("Menu bar"));

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
