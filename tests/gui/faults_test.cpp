// Faults found in use: Stop with a mistyped box, the newest 2D field lost to
// an intake, the start-up profile scale; and the error that leads the user
// back to the box at fault.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/constants.h"
#include "core/integrators.h"
#include "run/profile_image_pixels.h"
#include "ui/counter_label.h"
#include "ui/error_boundary.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

class FaultsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;

  Simulation& sim() { return form->sim; }
  // Presses Run; once `steps` steps have run, calls atStop inside the loop's
  // yield, then presses Run (Stop) unless atStop has.
  void RunFor(int steps, const std::function<void()>& atStop) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, steps, poll, atStop] {
      if (form->Label2->Caption().toInt() - 1 < steps) {
        QTimer::singleShot(0, *poll);
        return;
      }
      atStop();
      if (form->sim.Running) form->Run->click();
    };
    QTimer::singleShot(0, *poll);
    form->Run->click();
  }
  void SetUp2D(const char* size) {
    form->Option1[1]->click();
    form->Text3->setText(size);
    form->Text2->setText("1");
    form->Clear->click();
    form->Random->click();
  }

 private slots:
  void init() {
    errors.clear();
    SetErrorSink([this](const std::string& message) { errors.push_back(message); });
    form = std::make_unique<frmMain>();
    form->Form_Load();
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }
  void cleanup() { form.reset(); }

  // A box mistyped during a run: Stop shows the error, ends the run, and
  // hands the box the focus with its text selected, in either mode.
  void stopStopsWhateverTheIntakeFinds() {
    for (int mode : {0, 1}) {
      errors.clear();
      form->Option1[mode]->click();
      form->Text3->setText("16");
      form->Text1[4]->setText("0.06");
      form->Clear->click();
      form->Run->setFocus();
      bool loopStillRunningAfterStop = false;
      RunFor(3, [&] {
        form->Text1[4]->setText("abc");
        form->Run->click();  // Stop
        loopStillRunningAfterStop = form->sim.Running;
      });
      // Run->click() of the start has returned: the loop has ended.
      QVERIFY(!loopStillRunningAfterStop);
      QVERIFY(!form->sim.Running);
      QCOMPARE(form->Run->text(), QStringLiteral("Start"));
      QCOMPARE(errors.size(), size_t(1));
      QCOMPARE(QString::fromStdString(errors[0]),
               QStringLiteral("Type mismatch: the factor of u in the inhibitor equation (k4) holds \"abc\", "
                              "which is not a number"));
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form->Text1[4]));
      QCOMPARE(form->Text1[4]->selectedText(), QStringLiteral("abc"));
    }
  }

  // With the bad box still there, Start reports it again and starts nothing.
  void aStartWithABadBoxStartsNothingAndFocusesTheBox() {
    const struct {
      QLineEdit* box;
      const char* text;
      const char* named;
    } cases[] = {
        {form->Text1[9], "x", "synU_max"},
        {form->Text2, "", "Iteration / Image"},
        {form->Text3, "1e12", "Field Size"},
        {form->Text1[7], "1e39", "diffusion constant of u"},
    };
    for (const auto& c : cases) {
      errors.clear();
      const QString good = c.box->text();
      c.box->setText(QString::fromLatin1(c.text));
      form->Run->setFocus();
      form->Run->click();
      QVERIFY(!form->sim.Running);
      QCOMPARE(errors.size(), size_t(1));
      QVERIFY2(QString::fromStdString(errors[0]).contains(QLatin1String(c.named)), errors[0].c_str());
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c.box));
      QCOMPARE(c.box->selectedText(), QString::fromLatin1(c.text));
      c.box->setText(good);
    }
  }

  // A zero redraw period fails inside the run: the message says why and the
  // focus goes to the box.
  void aZeroRedrawPeriodLeadsToItsBox() {
    form->Text2->setText("0");
    form->Run->click();
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(QString::fromStdString(errors[0]).startsWith("Division by zero: in step 1 of the run, the number of "
                                                          "iterations per image (Iteration / Image) is 0"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form->Text2));
  }

  // After an odd number of 2D steps U2/V2 hold the newest field. A Stop (an
  // intake) keeps it: the picture does not step back, and the next run
  // continues from it.
  void theNewestTwoDimensionalFieldSurvivesAStop() {
    SetUp2D("8");
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

    // One more step starts from that field.
    Simulation expected = sim();
    Step2D(expected, Direction::Forward);
    RunFor(1, [] {});
    QCOMPARE(sim().buffers.U, expected.buffers.U2);
    QCOMPARE(sim().buffers.V, expected.buffers.V2);
    QVERIFY(errors.empty());
  }

  // A switch to 1D during a 2D run keeps the newest field too: the line the
  // profile pen then edits in U is what a later 2D intake keeps.
  void theNewestFieldSurvivesAModeSwitchDuringARun() {
    SetUp2D("8");
    Buffer newestU;
    RunFor(1, [&] {
      newestU = sim().buffers.U2;
      form->Option1[0]->click();  // ends the 2D run; row 0 becomes the line
    });
    QVERIFY(!sim().Running);
    QVERIFY(sim().CurrentInU);
    QCOMPARE(sim().buffers.U.size(), size_t(9));
    for (size_t i = 0; i < 9; ++i) QCOMPARE(sim().buffers.U[i], newestU[i]);
    sim().buffers.U[2] = 9.5f;  // drawn with the profile pen
    form->Option1[1]->click();
    ReadParameters(*form);  // a 2D intake: no copy over the edit
    QCOMPARE(sim().buffers.U[2], 9.5f);
    QVERIFY(errors.empty());
  }

  // Before any intake but the start-up one, the profile pictures have the
  // intake's scale 0..N, so a Random draws every cell where every later
  // redraw does, the last cell in the last pixel column.
  void startUpGivesTheProfilesTheIntakeScale() {
    QCOMPARE(form->Picture1->ScaleWidth(), 128.0);
    QCOMPARE(form->Picture2->ScaleWidth(), 128.0);
    form->Random->click();
    const auto composed = ComposeProfileImage(sim().buffers.U, 128, ProfileImageHeight, Umax, 0xFF0000);
    for (int y = 0; y < ProfileImageHeight; ++y)
      for (int x = 0; x < 128; ++x)
        QCOMPARE(form->Picture1->GetPixel(x, y), qint64(composed[static_cast<size_t>(y * 128 + x)]));
    QVERIFY(errors.empty());
  }
};

QTEST_MAIN(FaultsTest)
#include "faults_test.moc"
