#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/number_text.h"
#include "params/builtin_presets.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

const QByteArray DesignRecord = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";
const int Builtins = int(BuiltinPresets().size());

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
void WriteAll(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

}  // namespace

// Each case runs in a fresh, empty working folder: the file names are relative.
class ParamsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;
  const QString home = QDir::currentPath();

  void Start() {
    form = std::make_unique<frmMain>();
    form->Form_Load();
  }
  QStringList Entries() const {
    QStringList names;
    for (int i = 0; i < form->Combo1->count(); ++i) names << form->Combo1->itemText(i);
    return names;
  }
  QString Box(int k) const { return form->Text1[k]->text(); }
  void Pick(int index) {
    form->Combo1->setCurrentIndex(index);
    emit form->Combo1->activated(index);
  }
  void SaveAs(const QString& name) {
    form->Combo1->setEditText(name);
    form->SavePar->click();
  }
  QString LastError() const { return errors.empty() ? QString() : QString::fromStdString(errors.back()); }

 private slots:
  void init() {
    errors.clear();
    SetErrorSink([this](const std::string& message) { errors.push_back(message); });
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(folder->path()));
  }
  void cleanup() {
    form.reset();
    QDir::setCurrent(home);
  }

  void withoutAFileTheBuiltinsShowAndTheFirstSaveWritesThem() {
    Start();
    QCOMPARE(form->Combo1->count(), Builtins);
    QCOMPARE(Box(0) + " " + Box(10), QString("0.08 0.5"));  // the design texts
    QVERIFY(!QFile::exists("Parameter.txt"));
    Pick(1);
    QCOMPARE(Box(9), QString::fromStdString(FormatSingle(BuiltinPresets()[1].record.values[9])));
    SaveAs("mine");
    Start();  // a restart finds them in the file
    QCOMPARE(Entries().size(), Builtins + 1);
    QCOMPARE(Entries().last(), QString("mine"));
    QVERIFY(errors.empty());
  }

  void recordsListInFileOrderAndSavesAppendAndReload() {
    WriteAll("Parameter.txt", DesignRecord + "\"b\",1,2,3,4,5,6,7,8,9,10,11\r\n\"c\",0.123456789,0,0,0,0,0,0,0,0,0,0");
    Start();
    QCOMPARE(Entries(), QStringList({"Design", "b", "c"}));
    Pick(2);
    QCOMPARE(Box(0), QString("0.1234568"));
    form->Text1[0]->setText("0.080");
    SaveAs("abc");
    form->Text1[0]->setText("-0.15");
    SaveAs("abc");
    QVERIFY(errors.empty());
    // The last line got its line end before the first new record.
    QVERIFY(ReadAll("Parameter.txt").endsWith(",0\r\n\"abc\",0.08,0,0,0,0,0,0,0,0,0,0\r\n"
                                              "\"abc\",-0.15,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n"));
    QCOMPARE(Entries(), QStringList({"Design", "b", "c", "abc", "abc"}));
    QCOMPARE(form->Combo1->currentText() + " " + Box(0), QString("Design 0.08"));  // the first preset again
    Pick(4);
    QCOMPARE(Box(0), QString("-0.15"));
  }

  void anEmptyFileGivesAnEmptyListAndZeros() {
    WriteAll("Parameter.txt", "");
    Start();
    QCOMPARE(form->Combo1->count(), 0);
    QCOMPARE(form->Combo1->currentText(), QString());
    for (int k = 0; k < 11; ++k) QCOMPARE(Box(k), QString("0"));
  }

  void aSaveThatCannotGoThroughWritesNothingAndSaysWhy() {
    QByteArray full;
    for (int i = 0; i < 51; ++i) full += DesignRecord;
    const struct {
      QByteArray file;  // empty: no file
      const char *name, *box3, *message;
    } cases[] = {{DesignRecord, "ok", "abc", "k3"}, {DesignRecord, "ok", "", "k3"}, {"", "ok", "x", "k3"},
                 {DesignRecord, "", "1", "name"},   {DesignRecord, "a\"b", "1", "double quote"},
                 {full, "ok", "1", "51"}};
    for (const auto& c : cases) {
      QFile::remove("Parameter.txt");
      if (!c.file.isEmpty()) WriteAll("Parameter.txt", c.file);
      Start();
      form->Text1[3]->setText(c.box3);
      SaveAs(c.name);
      QVERIFY2(LastError().contains(c.message), qPrintable(LastError()));
      QCOMPARE(ReadAll("Parameter.txt"), c.file.isEmpty() ? QByteArray("<missing>") : c.file);
    }
    QCOMPARE(errors.size(), std::size(cases));
    QVERIFY(QDir().mkdir("folder"));  // a file that cannot be opened: a folder in its place
    QVERIFY(QDir::setCurrent("folder") && QDir().mkdir("Parameter.txt"));
    Start();
    QCOMPARE(form->Combo1->count(), Builtins);
    SaveAs("ok");
    QVERIFY(LastError().contains("\"Parameter.txt\""));
  }

  void phasePlaneClickClearsTakesUpTheBoxesAndDraws() {
    Start();
    PictureBox& panel = *form->Picture4;
    const qint64 back = panel.GetPixel(0, 0);
    auto at = [&](double x, double y) { return panel.GetPixel(int(panel.PixelX(x)), int(panel.PixelY(y))); };
    form->Text3->setText("64");
    form->Picture4_MouseDown(1, 0, 1000, 1000);
    QCOMPARE(form->sim.N, 64);  // the intake ran
    QCOMPARE(at(10, 106.25), qint64(0xFF0000));
    QCOMPARE(at(1250, 1500), qint64(0x0000FF));
    QCOMPARE(at(997.8, 1000.0), qint64(0x000000));
    form->Text1[1]->setText("0");    // no activator nullcline
    form->Text1[3]->setText("-30");  // a path that leaves single precision
    form->Picture4_MouseDown(2, 0, 1000, 1000);
    QCOMPARE(form->sim.coef.decayU, -3.0f);
    QCOMPARE(at(10, 106.25), back);  // cleared first
    QVERIFY(errors.empty());
  }

  void exportWritesThePicturesOfTheModeAndNamesAFailure() {
    Start();
    form->Random->click();
    auto same = [](const QString& name, const PictureBox& picture) {
      const QByteArray bytes = ReadAll(name);  // 24 bits per pixel, the drawing area pixel for pixel
      return bytes.size() > 54 && bytes[28] == 24 && QImage(name).convertToFormat(QImage::Format_RGB32) == picture.Image();
    };
    form->mnuSaveAs->trigger();
    QVERIFY(same("Activator_1D.bmp", *form->Picture1) && same("Inhibitor_1D.bmp", *form->Picture2));
    QCOMPARE(QImage("Activator_1D.bmp").size(), QSize(128, 62));
    QVERIFY(!QFile::exists("2D.bmp"));

    form->Option1[1]->click();
    form->Random->click();
    QFile::remove("Activator_1D.bmp");
    form->mnuSaveAs->trigger();
    form->mnuSaveAs->trigger();  // replaces without asking
    QVERIFY(same("2D.bmp", *form->Picture3));
    QCOMPARE(QImage("2D.bmp").size(), QSize(128, 128));
    QVERIFY(!QFile::exists("Activator_1D.bmp") && errors.empty());

    form->Option1[0]->click();
    QVERIFY(QDir().mkdir("Activator_1D.bmp"));
    QFile::remove("Inhibitor_1D.bmp");
    form->mnuSaveAs->trigger();
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY(LastError().contains("\"Activator_1D.bmp\"") && !LastError().contains("Inhibitor"));
    QVERIFY(same("Inhibitor_1D.bmp", *form->Picture2));  // the other file is still written
  }
};

QTEST_MAIN(ParamsTest)
#include "params_test.moc"
