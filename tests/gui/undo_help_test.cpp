// Undo and redo of the hand changes to the field; the Help menu, Quit, and
// the picture options kept between sessions.
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <utility>

#include "form_fixture.h"
#include "ui/file_questions.h"
#include "ui/picture_box.h"

using namespace rdsim;

class UndoHelpTest : public QObject, FormFixture {
  Q_OBJECT

  QTemporaryDir folder;

  Mode CurrentMode() const { return form->ports.SelectedMode(); }
  // The newest field of the mode, byte for byte, and the steps run on it.
  QByteArray FieldBytes() {
    const std::size_t n = static_cast<std::size_t>(sim().N), cells = CurrentMode() == Mode::TwoD ? n * n : n;
    QByteArray bytes = QByteArray::number(qint64(session().FieldSteps));
    for (const Buffer* b : {&NewestActivator(sim(), CurrentMode()), &NewestInhibitor(sim(), CurrentMode())})
      bytes.append(reinterpret_cast<const char*>(b->data()), qsizetype(cells * sizeof(float)));
    return bytes;
  }
  void Drag(PictureBox* picture, QPointF from, QPointF to) {
    emit picture->MouseDown(1, 0, float(from.x()), float(from.y()));
    emit picture->MouseMove(1, 0, float(to.x()), float(to.y()));
    emit picture->MouseUp(1, 0, float(to.x()), float(to.y()));
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
  }
  void init() {
    OpenForm();
    const QString file = folder.filePath("field.h5");
    // Pictures are cancelled at their name: their options are kept once answered.
    SetFileAnswerer([file](const FileQuestion& q) { return q.filter.contains("h5") ? file : QString(); });
  }
  void cleanup() {
    QVERIFY2(errors.empty(), qPrintable(Error()));
    form.reset();
    SetFileAnswerer({});
    SetPictureOptionsAnswerer({});
  }

  // Letters: hand changes b (brush stroke), p (profile stroke), s Spiral, r Random, c Clear, o Open Field (the
  // field saved at the start); z a run at a new size; n three steps of a run; u/y Undo/Redo from the menu,
  // U/Y by Ctrl+Z and Ctrl+Shift+Z, R Undo inside a run's yield; k Ctrl+Z in a coefficient box, which undoes
  // its typing only. After each, the field is what a model of the two stacks says, to the byte.
  void undoAndRedoRestoreTheExactField_data() {
    QTest::addColumn<bool>("twoD");
    QTest::addColumn<QString>("letters");
    QTest::newRow("stroke, Clear, Random, back and forth") << true << "bcruuuyyyuy";
    QTest::newRow("a new change drops what Redo had") << true << "rbusyuuy";
    QTest::newRow("runs between changes; the odd step count") << true << "rnbnunuyy";
    QTest::newRow("spiral and an opened field") << true << "soouuuyyy";
    QTest::newRow("profile strokes in 1D") << false << "rppnpuuuyy";
    QTest::newRow("nothing to undo or redo") << true << "uyUY";
    QTest::newRow("keys, a box's own undo, undo during a run") << true << "bUYkbRny";
    QTest::newRow("a new size forgets the older changes") << true << "bzbuuyU";
    QTest::newRow("60 strokes, all undone") << true << QString("b").repeated(60) + QString("u").repeated(61);
  }
  void undoAndRedoRestoreTheExactField() {
    QFETCH(bool, twoD);
    QFETCH(QString, letters);
    QVERIFY(ShowActive());
    form->Option1[twoD ? 1 : 0]->click();
    form->Text3->setText("48");
    form->Clear->click();
    form->Random->click();
    form->mnuSaveField->trigger();
    RunFor(1);
    session().history.Forget();
    QList<QByteArray> undo, redo;
    int strokes = 0;
    for (const QChar letter : letters) {
      QByteArray expected = FieldBytes();
      if (QString("bpsrcoz").contains(letter)) redo.clear();
      if (letter == 'z') undo.clear();
      if (QString("bpsrco").contains(letter)) undo.append(expected);
      QList<QByteArray>& from = QString("uUR").contains(letter) ? undo : redo;
      const bool restores = QString("uURyY").contains(letter) && !from.isEmpty();
      if (restores) (&from == &undo ? redo : undo).append(std::exchange(expected, from.takeLast()));
      const float x = float(2 + strokes % 40);
      form->Slider2->setValue(1 + strokes++);  // each stroke writes a value of its own
      const auto key = [this](Qt::KeyboardModifiers with) { QTest::keyClick(QApplication::focusWidget(), 'Z', with); };
      const QString typed = form->Text1[0]->text();
      const QHash<QChar, std::function<void()>> act = {
          {'b',
           [&] {
             Drag(form->Picture3, {x, 20}, {40, x});
           }},
          {'p',
           [&] {
             Drag(form->Picture1, {x, 4}, {30, 8});
           }},
          {'s', [&] { form->Spiral->click(); }},
          {'r', [&] { form->Random->click(); }},
          {'c', [&] { form->Clear->click(); }},
          {'o', [&] { form->mnuOpenField->trigger(); }},
          {'z', [&] { form->Text3->setText("40"), RunFor(1); }},
          {'n', [&] { RunFor(3); }},
          {'u', [&] { form->mnuUndo->trigger(); }},
          {'y', [&] { form->mnuRedo->trigger(); }},
          {'U', [&] { key(Qt::ControlModifier); }},
          {'Y', [&] { key(Qt::ControlModifier | Qt::ShiftModifier); }},
          // The field the undo replaces is the run's.
          {'R', [&] { RunFor(3, [&] { redo.last() = FieldBytes(), form->mnuUndo->trigger(); }); }},
          {'k', [&] { form->Text1[0]->setFocus(), QTest::keyClicks(form->Text1[0], "7"), key(Qt::ControlModifier); }},
      };
      act[letter]();
      form->Picture3->setFocus();
      QCOMPARE(form->Text1[0]->text(), typed);
      if (restores || QString("uyUYk").contains(letter)) QVERIFY2(FieldBytes() == expected, qPrintable(letter));
      if (QString("bpsrc").contains(letter)) QVERIFY(FieldBytes() != undo.last());
    }
  }

  // The Edit menu names what it would take back; F1 shows one quick start page; About gives the version; each
  // export keeps its own last scale and map, and a kept value the dialog could not give falls back; Quit closes.
  void menusPagesAndKeptChoices() {
    QVERIFY(ShowActive());
    Enter2D("32");
    form->Picture3_MouseDown(1, 0, 5, 5);
    form->Picture3_MouseUp(1, 0, 5, 5);
    emit form->mnuEdit->aboutToShow();
    QCOMPARE(form->mnuUndo->text(), QStringLiteral("&Undo Brush Stroke"));
    QVERIFY(!form->mnuRedo->isEnabled());
    emit form->mnuEdit->aboutToHide();
    QVERIFY(form->mnuRedo->isEnabled());  // its key still reaches the handler

    for (int i = 0; i < 2; ++i) QTest::keyClick(form.get(), Qt::Key_F1);
    const auto pages = form->findChildren<QDialog*>(QStringLiteral("frmQuickStart"));
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0]->isVisible());
    form->mnuAbout->trigger();
    auto* about = form->findChild<QMessageBox*>(QStringLiteral("frmAbout"));
    QVERIFY(about && about->text().contains(QStringLiteral("1.0.0")) && about->informativeText().contains("Licence"));

    const struct {
      const char* title;
      PictureOptions answer;
      QVariant keptScale, keptMap;  // written over what the answer kept
      int scale;
      const char* map;
    } table[] = {
        {"Export Picture", {3, FindPalette("magma")}, {}, {}, 3, "magma"},
        {"Save Space-Time Image", {8, FindPalette("cividis")}, {}, {}, 8, "cividis"},
        {"Export Picture", {2, FindPalette("viridis")}, 99, "rainbow", 1, "grey"},
        {"Save Space-Time Image", {2, FindPalette("viridis")}, "x", {}, 1, "viridis"},
    };
    for (const auto& row : table) {
      SetPictureOptionsAnswerer(
          [&row](const QString& title) { return title == row.title ? std::optional(row.answer) : std::nullopt; });
      (QString(row.title) == "Export Picture" ? form->mnuExportPicture : form->mnuSaveSpaceTime)->trigger();
      QSettings kept(QSettings::IniFormat, QSettings::UserScope, "rdsim", "rdsim");
      if (row.keptScale.isValid()) kept.setValue(QString("PictureOptions/%1/scale").arg(row.title), row.keptScale);
      if (row.keptMap.isValid()) kept.setValue(QString("PictureOptions/%1/colourMap").arg(row.title), row.keptMap);
      QCOMPARE(LastPictureOptions(row.title).scale, row.scale);
      QCOMPARE(QString(LastPictureOptions(row.title).palette->name), QString(row.map));
    }

    QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(form->Closing && !form->isVisible());
  }
};

QTEST_MAIN(UndoHelpTest)
#include "undo_help_test.moc"
