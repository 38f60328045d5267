// The window driven as a user drives it: real key clicks, focus changes and
// pointer events. The preset box saves what was typed, a stroke ends when
// its picture loses the mouse, boxes show numbers from their start, and the
// Run menu's speed limit keeps the window live.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

#include "files/preset_file.h"
#include "form_fixture.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

const QByteArray Presets =
    "\"First\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n"
    "\"Holes\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.22,0.01,0.25,0.2,0.5\r\n"
    "\"Good1\",0.5,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n"
    "\"abc\",0.6,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n"
    "\"Long\",-0.1234568,1.234568E-05,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";

QByteArray LastLine(const char* name) {
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  const QList<QByteArray> lines = file.readAll().split('\n');
  return lines.size() < 2 ? QByteArray() : lines[lines.size() - 2].chopped(1);
}

}  // namespace

class WindowUseTest : public QObject, FormFixture {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder;
  const QString home = QDir::currentPath();

  // Clicks into a box, selects what it holds and types over it.
  static void TypeInto(QWidget* box, const char* text) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
  }
  QWindow* Handle() { return form->windowHandle(); }
  QPoint At(PictureBox* picture, QPoint p) { return picture->mapTo(form.get(), p); }

 private slots:
  void init() {
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(folder->path()));
    QFile file(PresetFileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(Presets) == Presets.size());
    file.close();
    OpenForm();
    QVERIFY(ShowActive());
  }
  void cleanup() {
    form.reset();
    QDir::setCurrent(home);
  }

  // Only a pick from the list, or Up and Down in the closed box, fills the
  // boxes; however the typed name is left, it stays as typed, and S saves it
  // with the boxes as they stand.
  void presetBoxSavesWhatWasTyped() {
    enum Leave { Tab, Return, ClickOtherBox, ClickS, DownKey, ListPick };
    const struct {
      const char* name;  // typed into the preset box; null: not typed into
      Leave leave;
      const char *shownName, *shownK0, *shownK6, *saved;
    } cases[] = {
        {"abc", Tab, "abc", "0.7", "-0.15", "\"abc\",0.7,-0.08,0.04,0.03,0.06,-0.03,-0.15,"},
        // "abc" is listed with k0 0.6: S must save the typed 0.7, not load 0.6 first.
        {"abc", ClickS, "abc", "0.7", "-0.15", "\"abc\",0.7,-0.08,0.04,0.03,0.06,-0.03,-0.15,"},
        {"Holes", Tab, "Holes", "0.7", "-0.15", "\"Holes\",0.7,-0.08,0.04,0.03,0.06,-0.03,-0.15,"},
        {"holes", Return, "holes", "0.7", "-0.15", "\"holes\",0.7,-0.08,0.04,0.03,0.06,-0.03,-0.15,"},
        {"Good", ClickOtherBox, "Good", "0.7", "-0.15", "\"Good\",0.7,-0.08,0.04,0.03,0.06,-0.03,-0.15,"},
        {"abc", DownKey, "Holes", "0.08", "-0.22", "\"Holes\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.22,"},
        {nullptr, ListPick, "Good1", "0.5", "-0.15", "\"Good1\",0.5,-0.08,0.04,0.03,0.06,-0.03,-0.15,"},
    };
    for (const auto& c : cases) {
      const QByteArray row = QByteArray(c.name ? c.name : "-") + " leave " + QByteArray::number(c.leave);
      form->Combo1->setCurrentIndex(0);  // as start-up leaves it
      TypeInto(form->Text1[0], "0.7");
      if (c.name) TypeInto(form->Combo1->lineEdit(), c.name);
      QWidget* typing = QApplication::focusWidget();
      switch (c.leave) {
        case Tab: QTest::keyClick(typing, Qt::Key_Tab); break;
        case Return: QTest::keyClick(typing, Qt::Key_Return); break;
        case ClickOtherBox: TypeInto(form->Text1[3], "0.03"); break;
        case ClickS: break;
        case DownKey: QTest::keyClick(typing, Qt::Key_Down); break;
        case ListPick: {
          form->Combo1->showPopup();
          QAbstractItemView* list = form->Combo1->view();
          QVERIFY(QTest::qWaitForWindowExposed(list->window()));
          list->setCurrentIndex(list->model()->index(2, 0));
          QTest::keyClick(list, Qt::Key_Return);
          break;
        }
      }
      const QString shown = form->Combo1->currentText() + " " + form->Text1[0]->text() + " " + form->Text1[6]->text();
      QCOMPARE(shown, QStringLiteral("%1 %2 %3").arg(c.shownName, c.shownK0, c.shownK6));
      QTest::mouseClick(form->SavePar, Qt::LeftButton);  // takes the focus first, as a real click does
      QVERIFY2(LastLine(PresetFileName).startsWith(c.saved), row + ": " + LastLine(PresetFileName));
    }
    QVERIFY2(errors.empty(), qPrintable(Error()));
  }

  // Whatever sets a box's text shows it from its start, sign and leading
  // digits first.
  void boxesShowTheirTextFromItsStart() {
    QFile file(PresetFileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(Presets.mid(Presets.indexOf("\"Long\""))) > 0);
    file.close();
    OpenForm();  // start-up
    QVERIFY(ShowActive());
    QCOMPARE(form->Text1[0]->text() + " " + form->Text1[1]->text(), QString("-0.1234568 1.234568E-05"));
    for (QLineEdit* box : form->Text1) QCOMPARE(box->cursorPosition(), 0);
    form->Text1[0]->setCursorPosition(5);
    emit form->Combo1->activated(0);  // a pick
    QCOMPARE(form->Text1[0]->cursorPosition(), 0);
    QCOMPARE(form->Combo1->lineEdit()->cursorPosition(), 0);
    TypeInto(form->Text3, "4096");  // normalised by the intake
    form->Clear->click();
    QCOMPARE(form->Text3->text(), QString("128"));
    QCOMPARE(form->Text3->cursorPosition(), 0);
  }

  // A stroke ends when its picture loses the mouse, in each of the three
  // pictures: a later move without a button paints nothing, and the next
  // press starts a new stroke.
  void aStrokeEndsWhenItsPictureLosesTheMouse() {
    enum Loss { MoveWithoutButton, DialogTakesRelease, MenuOpens, PictureHidden };
    for (int picture : {1, 2, 3}) {
      form->Option1[picture == 3 ? 1 : 0]->click();
      form->Text3->setText("32");
      form->Clear->click();
      PictureBox* box = picture == 1 ? form->Picture1 : picture == 2 ? form->Picture2 : form->Picture3;
      for (Loss loss : {MoveWithoutButton, DialogTakesRelease, MenuOpens, PictureHidden}) {
        const QByteArray row = "Picture" + QByteArray::number(picture) + " loss " + QByteArray::number(loss);
        QTest::mouseMove(Handle(), At(box, {6, 6}));
        QTest::mousePress(Handle(), Qt::LeftButton, {}, At(box, {6, 6}));
        QVERIFY2(session().MouseDrawing, row);
        const QImage shownBefore = box->Image();
        switch (loss) {
          case MoveWithoutButton: {
            QMouseEvent move(QEvent::MouseMove, QPointF(9, 9), box->mapToGlobal(QPointF(9, 9)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &move);
            QVERIFY2(!session().MouseDrawing, row);
            QVERIFY(box->Image() == shownBefore);
            QTest::mouseRelease(Handle(), Qt::LeftButton, {}, At(box, {9, 9}));
            break;
          }
          case DialogTakesRelease: {
            QDialog message(form.get());
            message.open();  // modal: the release goes nowhere
            QVERIFY(QTest::qWaitForWindowActive(&message));
            QVERIFY2(!session().MouseDrawing, row);
            QTest::mouseRelease(Handle(), Qt::LeftButton, {}, At(box, {6, 6}));
            message.close();
            QVERIFY(ShowActive());
            break;
          }
          case MenuOpens:
            form->mnuFile->popup(form->mapToGlobal(QPoint(0, 0)));
            QVERIFY(QTest::qWaitForWindowExposed(form->mnuFile));
            QVERIFY2(!session().MouseDrawing, row);
            QTest::mouseRelease(Handle(), Qt::LeftButton, {}, At(box, {6, 6}));
            form->mnuFile->close();
            break;
          case PictureHidden:
            form->Option1[picture == 3 ? 0 : 1]->click();
            form->Option1[picture == 3 ? 1 : 0]->click();
            QVERIFY2(!session().MouseDrawing, row);
            QTest::mouseRelease(Handle(), Qt::LeftButton, {}, At(box, {6, 6}));
            break;
        }
        QVERIFY2(!session().MouseDrawing, row);
        const FieldBuffers before = sim().buffers;
        const QImage shown = box->Image();
        for (QPoint p : {QPoint(10, 10), QPoint(12, 30)}) QTest::mouseMove(Handle(), At(box, p));
        QVERIFY2(sim().buffers.U == before.U && sim().buffers.V == before.V && box->Image() == shown, row);
        QTest::mousePress(Handle(), Qt::LeftButton, {}, At(box, {12, 30}));
        QVERIFY2(session().MouseDrawing, row);
        QTest::mouseRelease(Handle(), Qt::LeftButton, {}, At(box, {12, 30}));
        QVERIFY2(!session().MouseDrawing, row);
      }
    }
    QVERIFY2(errors.empty(), qPrintable(Error()));
  }

  // The Run menu's limits pace the steps; Full speed is the default, one
  // entry is checked at a time, and a change takes effect during the run.
  void theSpeedLimitPacesTheRun() {
    QVERIFY(form->mnuSpeed[0]->isChecked());
    form->mnuSpeed[2]->trigger();  // 100 steps per second
    int checked = 0;
    for (QAction* speed : form->mnuSpeed) checked += speed->isChecked();
    QCOMPARE(checked, 1);
    form->Text3->setText("8");
    QElapsedTimer clock;
    clock.start();
    RunWhile([&](int) { return clock.elapsed() < 300; });
    // The upper bound is the limit; a busy machine may make fewer steps.
    QVERIFY2(StepsDone() >= 5 && StepsDone() <= 35, qPrintable(QString::number(StepsDone())));

    form->mnuSpeed[3]->trigger();  // 10 steps per second; then Full speed from inside the run
    clock.start();
    RunWhile([&](int done) {
      if (done == 1) form->mnuSpeed[0]->trigger();
      return clock.elapsed() < 300;
    });
    QVERIFY2(StepsDone() > 200, qPrintable(QString::number(StepsDone())));
  }

  // Slowed down, the window stays live: a Stop pressed while the loop waits
  // for the next step ends the run at once.
  void aSlowRunStopsAtOnce() {
    form->mnuSpeed[3]->trigger();  // a step every 100 ms
    QElapsedTimer clock;
    QTimer::singleShot(30, form->Run, &QPushButton::click);
    clock.start();
    form->Run->click();
    QVERIFY2(clock.elapsed() < 90, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(StepsDone(), 1);
    QCOMPARE(form->Run->text(), QString("Start"));
  }
};

QTEST_MAIN(WindowUseTest)
#include "window_use_test.moc"
