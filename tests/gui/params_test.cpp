#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "params/builtin_presets.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

const QByteArray DesignRecord = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

}  // namespace

// Every case runs in a fresh, empty working folder: the file names are relative.
class ParamsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;
  QString home = QDir::currentPath();

  void Start() {
    form = std::make_unique<frmMain>();
    form->Form_Load();
  }
  QStringList Entries() const {
    QStringList names;
    for (int i = 0; i < form->Combo1->count(); ++i) names << form->Combo1->itemText(i);
    return names;
  }
  QStringList Boxes() const {
    QStringList texts;
    for (QLineEdit* box : form->Text1) texts << box->text();
    return texts;
  }
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
    folder.reset();
  }

  void withoutAFileListsTheBuiltinsAndWritesNothing() {
    Start();
    QCOMPARE(form->Combo1->count(), int(BuiltinPresets().size()));
    QCOMPARE(form->Combo1->currentText(), QString::fromStdString(BuiltinPresets()[0].record.name));
    QCOMPARE(Boxes(), QStringList({"0.08", "-0.08", "0.04", "0.03", "0.06", "-0.03", "-0.15", "0.01", "0.25", "0.2", "0.5"}));
    QVERIFY(!QFile::exists("Parameter.txt"));
    Pick(1);
    QCOMPARE(Boxes()[9], QString("0.4"));  // Spots
    QVERIFY(errors.empty());
  }

  void threeRecordsListInFileOrderAndPickFillsTheBoxes() {
    WriteAll("Parameter.txt", DesignRecord + "\"b\",1,2,3,4,5,6,7,8,9,10,11\r\n\"c\",0.123456789,0,0,0,0,0,0,0,0,0,-1E-05\r\n");
    Start();
    QCOMPARE(Entries(), QStringList({"Design", "b", "c"}));
    QCOMPARE(form->Combo1->currentText(), QString("Design"));
    QCOMPARE(Boxes()[0], QString("0.08"));
    Pick(2);
    QCOMPARE(Boxes()[0], QString("0.1234568"));
    QCOMPARE(Boxes()[10], QString("-1E-05"));
    Pick(1);
    QCOMPARE(Boxes()[10], QString("11"));
  }

  void anEmptyFileGivesAnEmptyListAndZeros() {
    WriteAll("Parameter.txt", "");
    Start();
    QCOMPARE(form->Combo1->count(), 0);
    QCOMPARE(form->Combo1->currentText(), QString());
    for (const QString& text : Boxes()) QCOMPARE(text, QString("0"));
  }

  void savesAppendOneRecordAndReloadShowingTheFirst() {
    WriteAll("Parameter.txt", DesignRecord);
    Start();
    form->Text1[0]->setText("0.080");
    form->Text1[6]->setText("-0.15");
    SaveAs("abc");
    form->Text1[0]->setText("0.5");
    SaveAs("abc");
    SaveAs("a, b");
    QVERIFY(errors.empty());
    const QList<QByteArray> lines = ReadAll("Parameter.txt").split('\n');
    QCOMPARE(lines.size(), 5);  // four records and the empty rest after the last line end
    QCOMPARE(lines[1], QByteArray("\"abc\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r"));
    QCOMPARE(Entries(), QStringList({"Design", "abc", "abc", "a, b"}));
    QCOMPARE(form->Combo1->currentText(), QString("Design"));
    QCOMPARE(Boxes()[0], QString("0.08"));
    Pick(1);
    QCOMPARE(Boxes()[0], QString("0.08"));
    Pick(2);
    QCOMPARE(Boxes()[0], QString("0.5"));
  }

  void theFirstSaveWithoutAFileWritesTheBuiltinsToo() {
    Start();
    SaveAs("mine");
    QVERIFY(errors.empty());
    QCOMPARE(form->Combo1->count(), int(BuiltinPresets().size()) + 1);
    QCOMPARE(Entries().last(), QString("mine"));
    // A restart finds the same list in the file.
    Start();
    QCOMPARE(form->Combo1->count(), int(BuiltinPresets().size()) + 1);
    QCOMPARE(Entries().last(), QString("mine"));
  }

  void aSaveThatCannotGoThroughWritesNothingAndSaysWhy() {
    const QByteArray unterminated = DesignRecord + "\"x\",1,2,3,4,5,6,7,8,9,10,11";
    const struct {
      const char* name;
      const char* box0;
      const char* message;
    } cases[] = {
        {"ok", "abc", "k0"},      {"", "1", "name"},        {"say \"hi\"", "1", "double quote"},
        {"ok", "", "k0"},        {"ok", "1e99", "k0"},
    };
    for (const auto& c : cases) {
      WriteAll("Parameter.txt", unterminated);
      Start();
      form->Text1[0]->setText(c.box0);
      errors.clear();
      SaveAs(c.name);
      QCOMPARE(errors.size(), size_t(1));
      QVERIFY2(LastError().contains(c.message), qPrintable(LastError()));
      QCOMPARE(ReadAll("Parameter.txt"), unterminated);
    }
    // Without a file, a failed save creates none.
    QFile::remove("Parameter.txt");
    Start();
    form->Text1[3]->setText("x");
    SaveAs("ok");
    QVERIFY(LastError().contains("k3"));
    QVERIFY(!QFile::exists("Parameter.txt"));
  }

  void aLastLineWithoutItsEndGetsOneBeforeTheNewRecord() {
    WriteAll("Parameter.txt", DesignRecord + "\"x\",1,2,3,4,5,6,7,8,9,10,11");
    Start();
    SaveAs("y");
    QVERIFY(errors.empty());
    QVERIFY(ReadAll("Parameter.txt").contains(",11\r\n\"y\","));
    QCOMPARE(Entries(), QStringList({"Design", "x", "y"}));
  }

  void aFullTableRefusesTheSave() {
    QByteArray many;
    for (int i = 0; i < 51; ++i) many += DesignRecord;
    WriteAll("Parameter.txt", many + "not a record\r\n");
    Start();
    QCOMPARE(form->Combo1->count(), 51);
    SaveAs("one more");
    QVERIFY(LastError().contains("51"));
    QCOMPARE(ReadAll("Parameter.txt"), many + "not a record\r\n");
  }

  void aFileThatCannotBeOpenedIsNamedAndLeftAlone() {
    QVERIFY(QDir().mkdir("Parameter.txt"));  // a folder in the file's place
    Start();
    QCOMPARE(form->Combo1->count(), int(BuiltinPresets().size()));
    SaveAs("mine");
    QVERIFY(LastError().contains("\"Parameter.txt\""));
    QVERIFY(QFileInfo("Parameter.txt").isDir());
  }

  void latin1NamesStillLoad() {
    WriteAll("Parameter.txt", "\"Fl\xE4" "che\",1,2,3,4,5,6,7,8,9,10,11\r\n\"\xC3\xA4\",1,2,3,4,5,6,7,8,9,10,11\r\n");
    Start();
    QCOMPARE(Entries(), QStringList({QString::fromUtf8("Fl\xC3\xA4" "che"), QString::fromUtf8("\xC3\xA4")}));
  }

  void phasePlaneClickClearsTakesUpTheBoxesAndDraws() {
    Start();
    PictureBox& panel = *form->Picture4;
    const qint64 back = panel.GetPixel(0, 0);
    auto at = [&](double x, double y) {
      return panel.GetPixel(int(std::floor(panel.PixelX(x))), int(std::floor(panel.PixelY(y))));
    };
    form->Text3->setText("64");  // the click runs the intake
    form->Picture4_MouseDown(1, 0, 1000, 1000);
    QVERIFY(errors.empty());
    QCOMPARE(form->sim.N, 64);
    QCOMPARE(at(10, 106.25), qint64(0xFF0000));
    QCOMPARE(at(1250, 1500), qint64(0x0000FF));
    QCOMPARE(at(997.8, 1000.0), qint64(0x000000));

    // A second click with other coefficients starts from a clear panel.
    form->Text1[1]->setText("0");   // no activator nullcline
    form->Text1[3]->setText("-30"); // a path that leaves single precision
    form->Picture4_MouseDown(2, 0, 1000, 1000);
    QVERIFY(errors.empty());
    QCOMPARE(form->sim.coef.decayU, -3.0f);
    QCOMPARE(at(10, 106.25), back);
  }

  void exportWritesThePicturesOfTheMode() {
    Start();
    form->Random->click();
    const QString names[] = {"Activator_1D.bmp", "Inhibitor_1D.bmp", "2D.bmp"};
    auto same = [](const QString& name, const PictureBox& picture) {
      const QByteArray bytes = ReadAll(name);
      const bool bits24 = bytes.size() > 54 && bytes[28] == 24 && bytes[29] == 0;
      return bits24 && QImage(name).convertToFormat(QImage::Format_RGB32) == picture.Image();
    };
    form->mnuSaveAs->trigger();
    QVERIFY(errors.empty());
    QVERIFY(same(names[0], *form->Picture1));
    QVERIFY(same(names[1], *form->Picture2));
    QCOMPARE(QImage(names[0]).size(), QSize(128, 62));
    QVERIFY(!QFile::exists(names[2]));

    form->Option1[1]->click();
    form->Random->click();
    QFile::remove(names[0]);
    form->mnuSaveAs->trigger();
    form->mnuSaveAs->trigger();  // replaces without asking
    QVERIFY(errors.empty());
    QVERIFY(same(names[2], *form->Picture3));
    QCOMPARE(QImage(names[2]).size(), QSize(128, 128));
    QVERIFY(!QFile::exists(names[0]));
  }

  void anUnwritableFileIsNamedAndTheOtherStillWritten() {
    Start();
    QVERIFY(QDir().mkdir("Activator_1D.bmp"));
    form->mnuSaveAs->trigger();
    QCOMPARE(errors.size(), size_t(1));
    QVERIFY(LastError().contains("\"Activator_1D.bmp\""));
    QVERIFY(!LastError().contains("Inhibitor"));
    QVERIFY(QImage("Inhibitor_1D.bmp").size() == QSize(128, 62));
  }
};

QTEST_MAIN(ParamsTest)
#include "params_test.moc"
