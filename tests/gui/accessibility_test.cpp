// What a screen reader finds in the window: names, plain descriptions, the
// pictures as images, and a counter that does not flood it during a run.
#include <QAccessible>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include "form_fixture.h"
#include "ui/accessibility.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

struct Found {
  QAccessible::Role role;
  QString name;
  QString description;
  QObject* object;
};

void Collect(QAccessibleInterface* iface, QList<Found>& out) {
  if (!iface || !iface->isValid()) return;
  out.append({iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Description), iface->object()});
  for (int i = 0; i < iface->childCount(); ++i) Collect(iface->child(i), out);
}

const QRegularExpression Markup(QStringLiteral("<\\s*/?\\s*[A-Za-z!][^>]*>|&(?:[A-Za-z]+|#\\d+);"));

}  // namespace

class AccessibilityTest : public QObject, FormFixture {
  Q_OBJECT

 private slots:
  void init() { OpenForm(); }

  // Every control a reader stops at has a name of its own; no description
  // carries markup; the names are there with the roles a reader
  // announces.
  void everyControlIsNamedOnceAndPlainly() {
    QList<Found> tree;
    Collect(QAccessible::queryAccessibleInterface(form.get()), tree);
    const QSet<QAccessible::Role> controls{QAccessible::PushButton,  QAccessible::EditableText, QAccessible::Slider,
                                           QAccessible::ComboBox,    QAccessible::List,         QAccessible::Graphic,
                                           QAccessible::RadioButton, QAccessible::MenuItem};
    QMap<QString, int> uses;
    int checked = 0;
    for (const Found& f : tree) {
      QVERIFY2(!Markup.match(f.description).hasMatch(), qPrintable(f.name + ": " + f.description));
      if (!controls.contains(f.role)) continue;
      ++checked;
      QVERIFY2(!f.name.trimmed().isEmpty(), qPrintable(QStringLiteral("unnamed, described ") + f.description));
      ++uses[f.name];
    }
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) QVERIFY2(it.value() == 1, qPrintable(it.key()));
    QVERIFY(checked >= 30);

    const struct {
      const char* name;
      QAccessible::Role role;
    } expected[] = {
        {"Field size", QAccessible::EditableText},
        {"Iterations per image", QAccessible::EditableText},
        {"Spiral", QAccessible::PushButton},
        {"Brush radius", QAccessible::Slider},
        {"Brush intensity", QAccessible::Slider},
        {"Activator brush", QAccessible::Graphic},
        {"Inhibitor brush", QAccessible::Graphic},
        {"Field", QAccessible::Graphic},
        {"Activator profile", QAccessible::Graphic},
        {"Inhibitor profile", QAccessible::Graphic},
        {"Phase plane", QAccessible::Graphic},
        {"Brush preview", QAccessible::Graphic},
        {"Iteration count", QAccessible::StaticText},
        {"Preset name", QAccessible::EditableText},
        {"k4, factor of u in the inhibitor equation", QAccessible::EditableText},
    };
    for (const auto& e : expected) {
      const auto match = std::find_if(tree.cbegin(), tree.cend(), [&](const Found& f) {
        return f.name == QLatin1String(e.name) && f.role == e.role;
      });
      QVERIFY2(match != tree.cend(), e.name);
      if (e.role != QAccessible::Graphic) continue;
      // A picture's description tells how to use it with either hand.
      QVERIFY2(match->description.contains(QLatin1String("mouse"), Qt::CaseInsensitive), e.name);
      QVERIFY2(match->description.contains(QLatin1String("keyboard"), Qt::CaseInsensitive), e.name);
    }
  }

  // Each coefficient box is named by its key and its place, the places all
  // different; a key outside the equations keeps its bare key.
  void coefficientNamesSayKeyAndPlace() {
    QSet<QString> places;
    for (int k = 0; k < 11; ++k) {
      const QString name = CoefficientAccessibleName(k);
      const QString key = QStringLiteral("k%1, ").arg(k);
      QVERIFY2(name.startsWith(key), qPrintable(name));
      QVERIFY2(!name.mid(key.size()).startsWith(QLatin1String("the ")), qPrintable(name));
      places << name.mid(key.size());
      QCOMPARE(form->Text1[k]->accessibleName(), name);
    }
    QCOMPARE(places.size(), 11);
    QCOMPARE(CoefficientAccessibleName(11), QStringLiteral("k11"));
  }

  void plainDescriptionDropsTheMarkup_data() {
    QTest::addColumn<QString>("rich");
    QTest::addColumn<QString>("plain");
    QTest::newRow("break ends a sentence") << "<p>First part<br>Second part.</p>"
                                           << "First part. Second part.";
    QTest::newRow("after a stop, no second") << "<p>Done.<br>Next</p>"
                                             << "Done. Next";
    QTest::newRow("after a bracket") << "<p>k5 (negative)<br>Read</p>"
                                     << "k5 (negative). Read";
    QTest::newRow("paragraphs") << "<p>One</p><p>Two</p>"
                                << "One. Two";
    QTest::newRow("entities") << "<p>u &lt; v &amp; v &gt; 0</p>"
                              << "u < v & v > 0";
    QTest::newRow("plain stays") << "Brush  radius, 0 to 12 cells."
                                 << "Brush radius, 0 to 12 cells.";
    QTest::newRow("empty") << ""
                           << "";
  }
  void plainDescriptionDropsTheMarkup() {
    QFETCH(QString, rich);
    QFETCH(QString, plain);
    QCOMPARE(PlainDescription(rich), plain);
  }

  // During a run the counter's screen still follows every frame, but a
  // reader hears it at most four times a second, and the last value always.
  void theCounterIsAnnouncedSparingly() {
    CounterLabel* counter = form->Label2;
    QSignalSpy announced(counter, &CounterLabel::Announced);
    QElapsedTimer clock;
    clock.start();
    int value = 0;
    counter->SetCaption(QString::number(++value));
    QCOMPARE(announced.size(), 1);  // the first change at once
    while (clock.elapsed() < 1200) {
      counter->SetCaption(QString::number(++value));
      QCoreApplication::processEvents();
    }
    const qint64 elapsed = clock.elapsed();
    QTRY_COMPARE(counter->text(), counter->Caption());  // the screen within a frame
    QTRY_COMPARE(announced.last().at(0).toString(), QString::number(value));
    QVERIFY2(announced.size() <= elapsed / CounterLabel::AnnounceMilliseconds + 2,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(announced.size()).arg(elapsed)));
    QVERIFY(announced.size() >= 3);
    QVERIFY(value > 1000);

    const qsizetype before = announced.size();
    QTest::qWait(CounterLabel::AnnounceMilliseconds + 50);
    counter->SetCaption(QString::number(value));  // unchanged: nothing to tell
    QCOMPARE(announced.size(), before);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(counter);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Iteration count"));
    QVERIFY(iface->valueInterface());
    QCOMPARE(iface->valueInterface()->currentValue().toDouble(), double(value));
  }

  // A reader can press a swatch as a click would; pictures without a click
  // offer no press.
  void aSwatchCanBePressedFromAReader() {
    QAccessibleInterface* swatch = QAccessible::queryAccessibleInterface(form->Picture6[1]);
    QVERIFY(swatch->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QVERIFY(session().BrushOnActivator);
    swatch->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(errors.empty());
    QVERIFY(!session().BrushOnActivator);
    for (PictureBox* picture : {form->Picture1, form->Picture3, form->Picture4, form->Picture5}) {
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(picture);
      QVERIFY(!iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
