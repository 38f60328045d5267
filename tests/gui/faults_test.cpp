// Faults found in use: Stop with a mistyped box, the newest 2D field lost to
// an intake, the start-up profile scale; and the error that leads the user
// back to the box at fault.
#include <QtTest>

#include "core/constants.h"
#include "core/integrators.h"
#include "form_fixture.h"
#include "pixels/profile_image_pixels.h"
#include "run/intake.h"
#include "ui/picture_box.h"

using namespace rdsim;

class FaultsTest : public QObject, FormFixture {
  Q_OBJECT

  // The box at fault has the keyboard focus, its text selected for retyping.
  bool LeadsTo(QLineEdit* box, const char* text) const {
    return QApplication::focusWidget() == box && box->selectedText() == QLatin1String(text);
  }
  void Enter2DRandom() {
    Enter2D("8");
    form->Text2->setText("1");
    form->Random->click();
  }

 private slots:
  void init() {
    OpenForm();
    QVERIFY(ShowActive());
  }

  // A box mistyped during a run: Stop ends the run all the same and shows
  // the error, in either mode.
  void stopStopsWhateverTheIntakeFinds() {
    for (int mode : {0, 1}) {
      errors.clear();
      form->Option1[mode]->click();
      form->Text1[4]->setText("0.06");
      form->Clear->click();
      form->Run->setFocus();
      bool runningAfterStop = true;
      RunFor(3, [&] {
        form->Text1[4]->setText("abc");
        form->Run->click();  // Stop
        runningAfterStop = session().Running;
        if (runningAfterStop) form->Text1[4]->setText("0.06");  // so that the fixture can stop it
      });
      QVERIFY(!runningAfterStop && !session().Running);  // and the loop has ended: Run's click has returned
      QCOMPARE(form->Run->text(), QStringLiteral("Start"));
      QCOMPARE(errors.size(), size_t(1));
      QVERIFY2(Error().contains("(k4) holds \"abc\""), qPrintable(Error()));
      QVERIFY(LeadsTo(form->Text1[4], "abc"));
    }
  }

  // A bad box found by a Start starts nothing, or, found in the first step,
  // ends the run; either way the message names it and it takes the focus.
  void aBadBoxLeadsBackToItself() {
    const struct {
      QLineEdit* box;
      const char *text, *named;
    } cases[] = {
        {form->Text1[9], "x", "synU_max"},
        {form->Text1[10], "", "synV_max"},
        {form->Text2, "", "Iteration / Image"},
        {form->Text3, "1e12", "Field Size"},
        {form->Text1[7], "1e39", "diffusion constant of u"},
        {form->Text2, "0", "in step 1 of the run, the number of iterations per image (Iteration / Image) is 0"},
    };
    for (const auto& c : cases) {
      errors.clear();
      const QString good = c.box->text();
      c.box->setText(QString::fromLatin1(c.text));
      form->Run->setFocus();
      form->Run->click();
      QVERIFY(!session().Running);  // also when the first step found the fault
      QCOMPARE(errors.size(), size_t(1));
      QVERIFY2(Error().contains(QLatin1String(c.named)), qPrintable(Error()));
      QVERIFY(LeadsTo(c.box, c.text));
      c.box->setText(good);
      if (session().Running) form->Run->click();
    }
  }

  // After an odd number of 2D steps U2/V2 hold the newest field. A Stop (an
  // intake) keeps it: the picture does not step back, and the next run
  // continues from it.
  void theNewestTwoDimensionalFieldSurvivesAStop() {
    Enter2DRandom();
    Buffer newestU, newestV;
    QImage shown;
    RunFor(3, [&] {
      QVERIFY(!sim().CurrentInU);
      newestU = sim().buffers.U2;
      newestV = sim().buffers.V2;
      shown = form->Picture3->Image().copy();
    });
    QVERIFY(sim().CurrentInU);
    QCOMPARE(sim().buffers.U, newestU);
    QCOMPARE(sim().buffers.V, newestV);
    QCOMPARE(form->Picture3->Image(), shown);  // redrawn from U, the same field
    Simulation expected = sim();
    Step2D(expected, Direction::Forward);
    RunFor(1);
    QCOMPARE(sim().buffers.U, expected.buffers.U2);
    QCOMPARE(sim().buffers.V, expected.buffers.V2);
    QVERIFY(errors.empty());
  }

  // A switch to 1D during a 2D run keeps the newest field too: the line the
  // profile pen then edits in U is what a later 2D intake keeps.
  void theNewestFieldSurvivesAModeSwitchDuringARun() {
    Enter2DRandom();
    Buffer newestU;
    RunFor(1, [&] {
      newestU = sim().buffers.U2;
      form->Option1[0]->click();  // ends the 2D run; row 0 becomes the line
    });
    QVERIFY(!session().Running && sim().CurrentInU);
    QCOMPARE(sim().buffers.U, Buffer(newestU.begin(), newestU.begin() + 9));
    sim().buffers.U[2] = 9.5f;  // drawn with the profile pen
    form->Option1[1]->click();
    ReadParameters(form->session, form->ports);  // a 2D intake: no copy over the edit
    QCOMPARE(sim().buffers.U[2], 9.5f);
    QVERIFY(errors.empty());
  }

  // Before any intake but the start-up one, the profile pictures have the
  // intake's scale 0..N, so a Random draws every cell where every later
  // redraw does, the last cell in the last pixel column.
  void startUpGivesTheProfilesTheIntakeScale() {
    QCOMPARE(form->Picture2->ScaleWidth(), 128.0);
    form->Random->click();
    const auto composed = ComposeProfileImage(sim().buffers.U, 128, ProfileImageHeight, Umax, 0xFF0000);
    for (int y = 0; y < ProfileImageHeight; ++y)
      for (int x = 0; x < 128; ++x)
        QCOMPARE(form->Picture1->GetPixel(x, y), qint64(composed.pixels[static_cast<size_t>(y * 128 + x)]));
  }
};

QTEST_MAIN(FaultsTest)
#include "faults_test.moc"
