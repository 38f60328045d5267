// Analysis > Linear Stability: opened from the menu by real clicks, beside a
// main window that keeps its designed geometry; following the boxes at every
// intake; faults as a sentence in the window.
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>

#include "form_fixture.h"
#include "ui/dispersion_plot.h"
#include "ui/fonts.h"
#include "ui/stability_window.h"

using rdsim::FormFixture;

class StabilityWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { rdsim::InstallFontSubstitutions(); }
  void init() { f_.OpenForm(); }
  void cleanup() { f_.form.reset(); }

  void opensFromTheMenuBesideTheUnchangedWindow();
  void followsTheBoxesAtEveryIntake();
  void showsFaultsInTheWindowNotInMessages();
  void everyControlIsNamedForScreenReaders();

 private:
  rdsim::StabilityWindow* OpenByClicks();
  QString Verdict() const { return f_.form->frmStability->Verdict->text(); }

  FormFixture f_;
};

rdsim::StabilityWindow* StabilityWindowTest::OpenByClicks() {
  QMenuBar* bar = f_.form->menuBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(f_.form->mnuAnalysis->menuAction()).center());
  if (!QTest::qWaitForWindowExposed(f_.form->mnuAnalysis)) return nullptr;
  QTest::mouseClick(f_.form->mnuAnalysis, Qt::LeftButton, {},
                    f_.form->mnuAnalysis->actionGeometry(f_.form->mnuStability).center());
  return f_.form->frmStability;
}

void StabilityWindowTest::opensFromTheMenuBesideTheUnchangedWindow() {
  QVERIFY(f_.ShowActive());
  const QRect before = f_.form->geometry();
  const QRect client = f_.form->centralWidget()->geometry();
  QCOMPARE(f_.form->mnuAnalysis->title(), QStringLiteral("&Analysis"));
  QCOMPARE(f_.form->menuBar()->actions().front(), f_.form->mnuFile->menuAction());
  QVERIFY(!f_.form->frmStability);  // nothing is built or analysed before it is asked for

  rdsim::StabilityWindow* window = OpenByClicks();
  QVERIFY(window);
  QVERIFY(QTest::qWaitForWindowExposed(window));
  QVERIFY(window->isWindow());
  QVERIFY(!window->isModal());
  QCOMPARE(f_.form->geometry(), before);
  QCOMPARE(f_.form->centralWidget()->geometry(), client);
  // Beside the main window, not over it, when the screen has the room.
  const QRect screen = f_.form->screen()->availableGeometry();
  if (screen.width() >= f_.form->frameGeometry().width() + window->frameGeometry().width() + 16) {
    QVERIFY2(!window->frameGeometry().intersects(f_.form->frameGeometry()), "the analysis covers the main window");
  }

  // The design coefficients on the start-up line of 128 cells.
  QVERIFY2(Verdict().startsWith(QStringLiteral("Stationary pattern: a wavelength of 9.41 cells")),
           qPrintable(Verdict()));
  QVERIFY(window->Plot->Curve());
  QCOMPARE(window->Plot->Curve()->dots.size(), std::size_t{128});
  QVERIFY(window->Details->toPlainText().contains(QStringLiteral("Steady state 1 of 1: u = 4, v = 3")));

  // A second pick brings the same window back.
  window->close();
  f_.form->mnuStability->trigger();
  QCOMPARE(f_.form->frmStability, window);
  QVERIFY(window->isVisible());
  QCOMPARE(f_.form->geometry(), before);
  QVERIFY(f_.errors.empty());

  // Closing the main window ends the program, analysis open or not.
  QTimer::singleShot(0, f_.form.get(), [this] { f_.form->close(); });
  QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
  QCOMPARE(QApplication::exec(), 0);
}

void StabilityWindowTest::followsTheBoxesAtEveryIntake() {
  rdsim::frmMain& form = *f_.form;
  form.mnuStability->trigger();
  QVERIFY(Verdict().startsWith(QStringLiteral("Stationary pattern")));

  // A typed box counts at the next intake, here Clear.
  form.Text1[0]->setText(QStringLiteral("0.02"));
  QVERIFY(Verdict().startsWith(QStringLiteral("Stationary pattern")));
  form.Clear->click();
  QVERIFY2(Verdict().startsWith(QStringLiteral("Stable")), qPrintable(Verdict()));

  // The mode and the size: the plot holds a dot per mode of the square.
  f_.Enter2D("24");
  QCOMPARE(form.frmStability->Plot->Curve()->dots.size(), std::size_t{24 * 24});

  // Start, and a box changed during the run counts at Stop.
  f_.RunFor(3, [&] { form.Text1[0]->setText(QStringLiteral("0.08")); });
  QVERIFY2(Verdict().startsWith(QStringLiteral("Stationary pattern")), qPrintable(Verdict()));

  // A phase-plane click reads the boxes too.
  form.Text1[8]->setText(QStringLiteral("0.01"));
  form.Picture4_MouseDown(1, 0, 1000, 1000);
  QVERIFY2(Verdict().startsWith(QStringLiteral("Oscillating uniform state")), qPrintable(Verdict()));

  // Refresh reads them at once, without an intake: the run keeps its own.
  form.Text1[8]->setText(QStringLiteral("0.25"));
  const float dv = f_.sim().coef.Dv;
  form.frmStability->RefreshButton->click();
  QVERIFY(Verdict().startsWith(QStringLiteral("Stationary pattern")));
  QCOMPARE(f_.sim().coef.Dv, dv);

  // A closed window is left alone by the intake.
  form.frmStability->close();
  form.Text1[0]->setText(QStringLiteral("0.02"));
  form.Clear->click();
  QVERIFY(Verdict().startsWith(QStringLiteral("Stationary pattern")));
  QVERIFY(f_.errors.empty());
}

void StabilityWindowTest::showsFaultsInTheWindowNotInMessages() {
  rdsim::frmMain& form = *f_.form;
  form.mnuStability->trigger();
  rdsim::StabilityWindow& window = *form.frmStability;

  // A bad box: the intake's one message, and the window says what is wrong.
  form.Text1[3]->setText(QStringLiteral("<b>abc"));
  form.Clear->click();
  QCOMPARE(f_.errors.size(), std::size_t{1});
  QVERIFY2(Verdict().startsWith(QStringLiteral("The boxes hold an error: ")), qPrintable(Verdict()));
  QVERIFY(Verdict().contains(QStringLiteral("\"<b>abc\"")));
  QCOMPARE(window.Verdict->textFormat(), Qt::PlainText);
  QVERIFY(!window.Plot->Curve());
  QCOMPARE(window.Plot->Message(), Verdict());
  QVERIFY(!window.States->isEnabled());
  window.grab();  // paints the sentence

  // Coefficients without a steady state: a sentence, and no message at all.
  const char* none[] = {"0", "0", "0.1", "-0.03", "0", "-0.03", "0", "0.01", "0.25", "0.2", "0.5"};
  for (int k = 0; k < 11; ++k) form.Text1[k]->setText(QString::fromLatin1(none[k]));
  form.Clear->click();
  QCOMPARE(f_.errors.size(), std::size_t{1});
  QVERIFY2(Verdict().startsWith(QStringLiteral("No analysis for these coefficients: ")), qPrintable(Verdict()));

  // Several states: the list offers each, the linear one first shown.
  const char* waves[] = {"0.14", "-0.1", "-0.05", "0.03", "0.1", "-0.03", "-0.35", "0.05", "0.05", "0.3", "0.5"};
  for (int k = 0; k < 11; ++k) form.Text1[k]->setText(QString::fromLatin1(waves[k]));
  window.RefreshButton->click();
  QCOMPARE(window.States->count(), 3);
  QVERIFY(window.States->isEnabled());
  QCOMPARE(window.States->currentIndex(), 2);
  QVERIFY(Verdict().startsWith(QStringLiteral("Oscillating uniform state")));
  window.States->setCurrentIndex(0);
  emit window.States->activated(0);
  QVERIFY2(Verdict().startsWith(QStringLiteral("Stable")), qPrintable(Verdict()));
  window.RefreshButton->click();  // the choice outlives a refresh
  QCOMPARE(window.States->currentIndex(), 0);
  window.grab();
}

void StabilityWindowTest::everyControlIsNamedForScreenReaders() {
  f_.form->mnuStability->trigger();
  rdsim::StabilityWindow& window = *f_.form->frmStability;
  const QWidget* controls[] = {&window,     window.Grid,    window.States,        window.Verdict,
                               window.Plot, window.Details, window.RefreshButton, window.CloseButton};
  for (const QWidget* control : controls) {
    QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
    QVERIFY2(!control->accessibleDescription().isEmpty(), qPrintable(control->accessibleName()));
    QVERIFY2(!control->accessibleDescription().contains(QLatin1Char('<')), qPrintable(control->accessibleName()));
  }
  QVERIFY(window.Plot->accessibleDescription().contains(QStringLiteral("128 modes")));
  QVERIFY(window.Plot->accessibleDescription().contains(QStringLiteral("fastest: 9.41 cells")));
}

QTEST_MAIN(StabilityWindowTest)
#include "stability_window_test.moc"
