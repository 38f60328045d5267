#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/constants.h"
#include "form_fixture.h"
#include "pixels/profile_image_pixels.h"
#include "run/field_image.h"
#include "run/profile_plots.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {
int Grey(const PictureBox& picture, int x, int y) { return static_cast<int>(picture.GetPixel(x, y) & 0xFF); }
}  // namespace

class RunBehaviourTest : public QObject, FormFixture {
  Q_OBJECT

  Buffer& U() { return form->session.sim.buffers.U; }
  Buffer& V() { return form->session.sim.buffers.V; }
  void SetMode(int index) { form->Option1[index]->click(); }
  void SetSize(const char* size) {
    form->Text3->setText(size);
    form->Clear->click();
  }

 private slots:
  void init() { OpenForm(); }
  void cleanup() { form.reset(); }

  void startsInOneDimensionalModeWithBlankProfiles() {
    QVERIFY(form->Picture1->isVisibleTo(form.get()));
    QVERIFY(form->Picture2->isVisibleTo(form.get()));
    QVERIFY(!form->Picture3->isVisibleTo(form.get()));
    QVERIFY(!form->Frame3->isVisibleTo(form.get()));
    QCOMPARE(form->session.sim.N, 128);
    QCOMPARE(form->Picture1->AreaWidth(), 128);
    QCOMPARE(form->Picture1->ScaleWidth(), 128.0);  // start-up gives the intake's scale, 0 to N
    QCOMPARE(form->Picture1->geometry().bottom() + 1, form->Picture2->geometry().top());
    for (int x = 0; x < 128; ++x) QCOMPARE(form->Picture1->GetPixel(x, 61), qint64(0xFFFFFF));
    QVERIFY(errors.empty());
  }

  void stopAfterTheFirstStepShowsTwo() {
    RunFor(1);
    QCOMPARE(form->Label2->Caption(), QString("2"));
    QVERIFY(!form->session.Running);
    QCOMPARE(form->Run->text(), QString("Start"));
    QCOMPARE(form->Picture1->ScaleWidth(), 128.0);  // the intake's scale, 0 to N
    QVERIFY(errors.empty());
  }

  void runsBothModesFromTheNoise() {
    for (int mode : {0, 1}) {
      SetMode(mode);
      SetSize("16");
      form->Random->click();
      const Buffer before = U();
      RunFor(40);
      QVERIFY(form->Label2->Caption().toInt() >= 41);
      QVERIFY(U() != before);
      QVERIFY(form->session.sim.CurrentInU);  // the Stop press re-read the parameters
    }
    QVERIFY(errors.empty());
  }

  // A run that ends by an error reads "Start" at once; the next press starts anew.
  void aFailedRunEndsAndTheNextPressStartsAnew() {
    form->Text2->setText("0");
    form->Run->click();  // fails after the first step and the counter
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(QString::fromStdString(errors[0]).startsWith("Division by zero"));
    QVERIFY(QString::fromStdString(errors[0]).contains("Iteration / Image"));
    QCOMPARE(form->Label2->Caption(), QString("2"));
    QVERIFY(!form->session.Running);
    QCOMPARE(form->Run->text(), QString("Start"));

    form->Text2->setText("20");
    RunFor(3);
    QCOMPARE(form->Label2->Caption(), QString("4"));
    QCOMPARE(form->Run->text(), QString("Start"));
  }

  void aRunEndsByItselfAfterAMillionStepsReadingStart() {
    SetSize("2");
    form->Text2->setText("1000000");
    form->Run->click();
    QCOMPARE(form->Label2->Caption(), QString("1000001"));
    QVERIFY(!form->session.Running);
    QCOMPARE(form->Run->text(), QString("Start"));
    RunFor(1);  // the next press starts a new run
    QCOMPARE(form->Label2->Caption(), QString("2"));
  }

  void aSecondStartInsideAYieldRunsNestedAndBothEnd() {
    SetSize("8");
    bool restarted = false;
    int innerSteps = 0;
    RunFor(2, [&] {
      form->Run->click();  // Stop
      QVERIFY(!form->session.Running);
      RunFor(5, [&] { innerSteps = form->Label2->Caption().toInt() - 1; });  // Start, inside the yield
      restarted = true;
    });
    QVERIFY(restarted);
    QCOMPARE(innerSteps, 5);
    QVERIFY(!form->session.Running);
    QCOMPARE(form->Run->text(), QString("Start"));
    QVERIFY(errors.empty());
  }

  void aBadBoxStopsTheStartBeforeAnything() {
    form->Text1[4]->setText("abc");
    form->Run->click();
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(QString::fromStdString(errors[0]).startsWith(
        "Type mismatch: the factor of u in the inhibitor equation (k4) holds \"abc\", which is not "
        "a number. "));
    QVERIFY(!form->session.Running);
    QCOMPARE(form->Run->text(), QString("Start"));
    QCOMPARE(form->Label2->Caption(), QString("0"));
  }

  void greyLevelsRoundTiesToEvenAndCapAtWhite() {
    SetMode(1);
    SetSize("4");
    const float values[] = {1.0f, 3.0f, 5.0f, 0.1f, 10.0f, 12.0f, 1285.0f, 3e38f, 0.0f};
    const int expected[] = {26, 76, 128, 3, 255, 255, 255, 255, 0};
    for (int i = 0; i < 9; ++i) U()[static_cast<size_t>(i)] = values[i];
    DrawField(*form->Picture3, U(), form->session.sim.N);
    for (int i = 0; i < 9; ++i) QCOMPARE(Grey(*form->Picture3, i % 4, i / 4), expected[i]);
    QVERIFY(errors.empty());
  }

  void fieldRowZeroIsTheTopLine() {
    SetMode(1);
    SetSize("8");
    U()[7] = 10.0f;  // row 0, last column
    DrawField(*form->Picture3, U(), form->session.sim.N);
    QCOMPARE(Grey(*form->Picture3, 7, 0), 255);
    QCOMPARE(Grey(*form->Picture3, 0, 7), 0);
    QCOMPARE(form->Picture3->AreaWidth(), 8);
    QCOMPARE(form->Picture3->geometry(), QRect(249, 104, 12, 12));  // centred on (255, 110)
  }

  void theImageShowsThePairTheStepWrote() {
    SetMode(1);
    form->Text1[3]->setText("5");  // half the activator decays in one step
    SetSize("8");
    form->Text2->setText("1");
    std::fill(U().begin(), U().end() - 1, 10.0f);
    int shown = -1;
    RunFor(1, [&] {
      QVERIFY(!form->session.sim.CurrentInU);
      shown = Grey(*form->Picture3, 2, 2);
    });
    QCOMPARE(shown, 128);  // U2 holds about 5; U still 10 would be white
  }

  void profileBarsRiseFromTheBottom() {
    SetSize("4");
    const float u[] = {10.0f, 5.0f, 0.0f, 12.0f};
    for (int i = 0; i < 4; ++i) U()[static_cast<size_t>(i)] = u[i];
    V()[1] = 10.0f;
    DrawProfiles(*form->Picture1, *form->Picture2, form->session.sim);
    PictureBox& p1 = *form->Picture1;
    QCOMPARE(p1.AreaHeight(), 62);
    const qint64 red = 0xFF0000, white = 0xFFFFFF;
    for (int y = 0; y < 62; ++y) {
      QCOMPARE(p1.GetPixel(0, y), red);
      QCOMPARE(p1.GetPixel(1, y), y >= 31 ? red : white);
      QCOMPARE(p1.GetPixel(2, y), white);
      QCOMPARE(p1.GetPixel(3, y), red);
      QCOMPARE(form->Picture2->GetPixel(1, y), qint64(0x0000FF));
      QCOMPARE(form->Picture2->GetPixel(0, y), white);
    }
    // The off-window plot of the batch tools is the same picture, down to the
    // pixel row of every height, the clipped ones and NaN included.
    SetSize("128");
    for (int i = 0; i < 128; ++i) U()[static_cast<size_t>(i)] = static_cast<float>(i) * 0.0813f - 0.2f;
    U()[5] = std::nanf("");
    U()[6] = 1e30f;
    DrawProfiles(*form->Picture1, *form->Picture2, form->session.sim);
    const auto composed = ComposeProfileImage(U(), 128, ProfileImageHeight, Umax, 0xFF0000);
    for (int y = 0; y < ProfileImageHeight; ++y)
      for (int x = 0; x < 128; ++x)
        QCOMPARE(p1.GetPixel(x, y), qint64(composed.pixels[static_cast<size_t>(y * 128 + x)]));
  }

  void modeSwitchCarriesValuesByIndex() {
    SetSize("4");
    for (int i = 0; i <= 4; ++i) U()[static_cast<size_t>(i)] = static_cast<float>(i + 1);
    SetMode(1);
    QCOMPARE(U().size(), size_t(17));
    QCOMPARE(U()[4], 5.0f);  // the spare is now row 1, column 0
    QCOMPARE(U()[5], 0.0f);
    QVERIFY(form->Picture3->isVisibleTo(form.get()));
    QVERIFY(form->Frame3->isVisibleTo(form.get()));
    QVERIFY(!form->Picture1->isVisibleTo(form.get()));
    SetMode(0);
    QCOMPARE(U(), (Buffer{1, 2, 3, 4, 5}));
    QVERIFY(!form->Picture3->isVisibleTo(form.get()));
  }

  void clearAndRandomInBothModes() {
    for (int mode : {0, 1}) {
      SetMode(mode);
      SetSize("6");
      form->Random->click();
      const size_t cells = mode == 0 ? 6 : 36;
      bool varied = false;
      for (size_t k = 0; k < cells; ++k) {
        QVERIFY(U()[k] >= 0.0f && U()[k] <= 10.0f);
        QVERIFY(V()[k] >= 0.0f && V()[k] <= 10.0f);
        varied |= U()[k] != U()[0];
      }
      QVERIFY(varied);
      if (mode == 0) QCOMPARE(U()[6], 0.0f);  // the spare is left alone
      form->Clear->click();
      for (size_t k = 0; k < cells; ++k) QCOMPARE(U()[k] + V()[k], 0.0f);
      if (mode == 1) QCOMPARE(Grey(*form->Picture3, 5, 5), 0);
      if (mode == 0) QCOMPARE(form->Picture1->GetPixel(3, 61), qint64(0xFFFFFF));
    }
    QVERIFY(errors.empty());
  }

  void aModeSwitchEndsTheRunningLoop() {
    for (int mode : {1, 0}) {
      SetMode(mode);
      SetSize("8");
      RunFor(3, [&] { SetMode(1 - mode); });
      QVERIFY(!form->session.Running);
      QCOMPARE(form->Run->text(), QString("Start"));
      QCOMPARE(U().size(), size_t(mode == 1 ? 9 : 65));
    }
    QVERIFY(errors.empty());
  }

  void randomDuringARunIsWhatTheNextStepReads() {
    SetMode(1);
    SetSize("8");
    RunFor(1, [&] {
      QVERIFY(!form->session.sim.CurrentInU);
      form->Random->click();
      QVERIFY(form->session.sim.CurrentInU);
    });
  }

  void closingTheWindowEndsTheRun() {
    SetMode(1);
    form->show();
    QElapsedTimer clock;
    QTimer::singleShot(0, form->Run, &QPushButton::click);
    QTimer::singleShot(200, form.get(), [this] { form->close(); });
    clock.start();
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(clock.elapsed() < 1200);
    QVERIFY(!form->session.Running);
    QVERIFY(form->Label2->Caption().toInt() > 2);
  }
};

QTEST_MAIN(RunBehaviourTest)
#include "run_behaviour_test.moc"
