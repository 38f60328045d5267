// Analysis > Time Series: samples at every redraw of a run, the probe
// chosen by a right click or by typing, the period of an oscillation, the
// settling step, and the exported CSV.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>

#include "form_fixture.h"
#include "ui/file_questions.h"
#include "ui/fonts.h"
#include "ui/picture_box.h"
#include "ui/time_series_window.h"

using rdsim::FormFixture;

class TimeSeriesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { rdsim::InstallFontSubstitutions(); }
  void followsARun_data();
  void followsARun();
};

void TimeSeriesWindowTest::followsARun_data() {
  QTest::addColumn<QString>("preset");
  QTest::addColumn<int>("mode");  // the mode button
  QTest::addColumn<int>("steps");
  QTest::addColumn<QPoint>("probe");
  QTest::addColumn<bool>("byClick");
  QTest::addColumn<double>("period");  // 0: none
  QTest::addColumn<int>("settledAt");  // 0: not settled
  // The uniform field pulses about every 5,000 steps; Spiral waves keep the
  // zero field as it is.
  QTest::newRow("Pulsing 1D, probe clicked") << "Pulsing" << 0 << 45000 << QPoint(3, 0) << true << 5000.0 << 0;
  QTest::newRow("Spiral waves 2D, probe typed") << "Spiral waves" << 1 << 2000 << QPoint(5, 7) << false << 0.0 << 1;
  QTest::newRow("Spiral waves 2D, probe clicked") << "Spiral waves" << 1 << 500 << QPoint(9, 2) << true << 0.0 << 1;
}

void TimeSeriesWindowTest::followsARun() {
  QFETCH(QString, preset);
  QFETCH(int, mode);
  QFETCH(int, steps);
  QFETCH(QPoint, probe);
  QFETCH(bool, byClick);
  QFETCH(double, period);
  QFETCH(int, settledAt);
  FormFixture f;
  f.OpenForm();
  QVERIFY(f.ShowActive());
  const QRect before = f.form->geometry();
  f.form->Combo1->setCurrentIndex(f.form->Combo1->findText(preset));
  f.form->Combo1_Click();
  f.form->Option1[mode]->click();
  f.form->Text3->setText("16");
  f.form->Text2->setText("100");
  f.form->Clear->click();
  f.form->mnuTimeSeries->trigger();
  rdsim::TimeSeriesWindow* window = f.form->frmTimeSeries;
  QVERIFY(window && window->isVisible());
  QCOMPARE(f.session().series, &window->Series());
  QCOMPARE(f.form->geometry(), before);

  const std::vector<float> field = f.sim().buffers.U;
  if (byClick) {
    rdsim::PictureBox* picture = mode == 0 ? f.form->Picture1 : f.form->Picture3;
    QTest::mouseClick(picture, Qt::RightButton, {}, probe + QPoint(2, 2) + QPoint(0, mode == 0 ? 10 : 0));
  } else {
    window->ProbeX->setValue(probe.x());
    window->ProbeY->setValue(probe.y());
  }
  QCOMPARE(f.sim().buffers.U, field);  // a right click does not paint
  QCOMPARE(window->Series().Probe().x, probe.x());
  QCOMPARE(window->Series().Probe().y, probe.y());

  f.RunFor(steps);
  window->Refresh();
  const std::vector<rdsim::SeriesSample>& samples = window->Series().Samples();
  QVERIFY(f.StepsDone() >= steps);
  QCOMPARE(samples.size(), static_cast<std::size_t>(f.StepsDone() / 100));
  const rdsim::SeriesSample last = rdsim::SampleField(f.sim(), mode == 0 ? rdsim::Mode::OneD : rdsim::Mode::TwoD,
                                                      {probe.x(), probe.y()}, samples.back().step);
  QCOMPARE(samples.back().step, f.session().FieldSteps / 100 * 100);
  if (samples.back().step == f.session().FieldSteps) QCOMPARE(samples.back().values, last.values);

  const QString periodText = window->Period->text();
  if (period > 0) {
    const std::optional<rdsim::SeriesPeriod> found = rdsim::FindSeriesPeriod(samples);
    QVERIFY2(found && std::abs(found->period.steps - period) < 0.05 * period, qPrintable(periodText));
    QVERIFY2(periodText.startsWith(QStringLiteral("Period ")), qPrintable(periodText));
  } else {
    QVERIFY2(periodText.startsWith(QStringLiteral("No period")), qPrintable(periodText));
  }
  const QString settledText = window->Settled->text();
  if (settledAt > 0) {
    QVERIFY2(settledText.startsWith(QStringLiteral("Settled at step %1:").arg(settledAt)), qPrintable(settledText));
    // A stroke during the run sets the settled field going again.
    bool stroked = false;
    f.RunWhile([&](int done) {
      if (!stroked && done > 10) {
        f.form->Picture3_MouseDown(1, 0, 8, 8);
        f.form->Picture3_MouseUp(1, 0, 8, 8);
        stroked = true;
      }
      return done < 30;
    });
    window->Refresh();
    QVERIFY2(window->Settled->text().startsWith(QStringLiteral("Not settled")), qPrintable(window->Settled->text()));
  } else {
    QVERIFY2(settledText.startsWith(QStringLiteral("Not settled")), qPrintable(settledText));
  }

  QTemporaryDir folder;
  const QString path = folder.filePath("series.csv");
  rdsim::SetFileAnswerer([&](const rdsim::FileQuestion&) { return path; });
  window->ExportButton->click();
  rdsim::SetFileAnswerer({});
  QFile written(path);
  QVERIFY(written.open(QIODevice::ReadOnly));
  QCOMPARE(written.readAll().toStdString(), window->Series().Csv());
  QVERIFY(f.errors.empty());

  window->ClearButton->click();
  QVERIFY(window->Series().Samples().empty());
  window->close();
  QVERIFY(!f.session().series);  // a closed window costs the run nothing
}

QTEST_MAIN(TimeSeriesWindowTest)
#include "time_series_window_test.moc"
