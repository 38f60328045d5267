#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "files/preset_file.h"
#include "params/builtin_presets.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

const QByteArray DesignRecord = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";
const QByteArray Missing = "<missing>";

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : Missing;
}

}  // namespace

// Each case runs in a fresh, empty working folder: the file names are relative.
class ParamsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;
  const QString home = QDir::currentPath();

  // Opens the window over this preset file, or over none.
  void Start(const QByteArray& file = Missing) {
    QFile preset(PresetFileName);
    preset.remove();
    if (file != Missing) {
      QVERIFY(preset.open(QIODevice::WriteOnly) && preset.write(file) == file.size() && preset.flush());
    }
    form = std::make_unique<frmMain>();
    form->Form_Load();
  }
  QStringList Entries() const {
    QStringList names;
    for (int i = 0; i < form->Combo1->count(); ++i) names << form->Combo1->itemText(i);
    return names;
  }
  QString Pick(int index) {  // and what k0 then shows
    form->Combo1->setCurrentIndex(index);
    emit form->Combo1->activated(index);
    return form->Text1[0]->text();
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

  // Without a file, or with an empty one, the built-ins show, and the first
  // save writes them before its own record.
  void startUpListsTheBuiltinsOrTheFileAndTheFirstSaveWrites() {
    std::string written;  // every built-in, then the picked second one under the new name
    for (const BuiltinPreset& preset : BuiltinPresets()) written += FormatPresetRecord(preset.record);
    written += FormatPresetRecord({"z", BuiltinPresets()[1].record.values});
    Start();
    QCOMPARE(Entries().size(), int(BuiltinPresets().size()));
    QVERIFY(!QFile::exists(PresetFileName));
    Pick(1);
    SaveAs("z");
    QCOMPARE(ReadAll(PresetFileName), QByteArray::fromStdString(written));
    Start("");
    QCOMPARE(Entries().size(), int(BuiltinPresets().size()));
    Pick(1);
    SaveAs("z");
    QCOMPARE(ReadAll(PresetFileName), QByteArray::fromStdString(written));
  }

  void recordsListInFileOrderAndSavesAppendAndReload() {
    Start(DesignRecord + "\"b\",1,2,3,4,5,6,7,8,9,10,11\r\n\"c\",0.123456789,0,0,0,0,0,0,0,0,0,0");
    QCOMPARE(Entries(), QStringList({"Design", "b", "c"}));
    QCOMPARE(Pick(2), QString("0.1234568"));
    form->Text1[0]->setText("0.080");
    SaveAs("abc");
    form->Text1[0]->setText("-0.15");  // the boxes show Design again
    SaveAs("abc");
    // The last line got its line end before the first new record.
    QVERIFY(ReadAll(PresetFileName)
                .endsWith(",0\r\n\"abc\",0.08,0,0,0,0,0,0,0,0,0,0\r\n"
                          "\"abc\",-0.15,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n"));
    QCOMPARE(Entries(), QStringList({"Design", "b", "c", "abc", "abc"}));
    QCOMPARE(form->Combo1->currentText() + " " + form->Text1[0]->text(), QString("Design 0.08"));
    QCOMPARE(Pick(4), QString("-0.15"));
  }

  void aSaveThatCannotGoThroughWritesNothingAndSaysWhy() {
    const struct {
      QByteArray file;
      const char *name, *box3, *message;
    } cases[] = {{DesignRecord, "ok", "abc", "k3"},
                 {DesignRecord, "ok", "", "k3"},
                 {Missing, "ok", "x", "k3"},
                 {DesignRecord, "", "1", "name"},
                 {DesignRecord, "a\"b", "1", "double quote"},
                 {DesignRecord.repeated(51), "ok", "1", "51"}};
    for (const auto& c : cases) {
      Start(c.file);
      form->Text1[3]->setText(c.box3);
      SaveAs(c.name);
      QVERIFY2(LastError().contains(c.message), qPrintable(LastError()));
      QCOMPARE(ReadAll(PresetFileName), c.file);
    }
    QCOMPARE(errors.size(), std::size(cases));
    // A file that cannot be read, a folder in its place: the built-ins show, and a save names it.
    QVERIFY(QDir().mkdir("folder") && QDir::setCurrent("folder") && QDir().mkdir(PresetFileName));
    Start();
    QCOMPARE(Entries().size(), int(BuiltinPresets().size()));
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
    QCOMPARE(form->session.sim.N, 64);  // the intake ran
    QCOMPARE(QList<qint64>({at(10, 106.25), at(1250, 1500), at(997.8, 1000)}), QList<qint64>({0xFF0000, 0xFF, 0}));
    form->Text1[1]->setText("0");    // no activator nullcline
    form->Text1[3]->setText("-30");  // a path that leaves single precision
    form->Picture4_MouseDown(2, 0, 1000, 1000);
    QCOMPARE(at(10, 106.25), back);  // cleared first, and the new boxes taken up
    QVERIFY(errors.empty());
  }

  void exportWritesThePicturesOfTheModeAndNamesAFailure() {
    auto same = [](const QString& name, const PictureBox& picture) {
      const QByteArray bytes = ReadAll(name);  // 24 bits per pixel, the drawing area pixel for pixel
      return bytes.size() > 54 && bytes[28] == 24 &&
             QImage(name).convertToFormat(QImage::Format_RGB32) == picture.Image();
    };
    Start();
    form->Random->click();
    form->mnuSaveAs->trigger();
    QVERIFY(same("Activator_1D.bmp", *form->Picture1) && same("Inhibitor_1D.bmp", *form->Picture2));
    QVERIFY(!QFile::exists("2D.bmp"));

    form->Option1[1]->click();
    form->Random->click();
    QFile::remove("Activator_1D.bmp");
    form->mnuSaveAs->trigger();
    form->mnuSaveAs->trigger();  // replaces without asking
    QVERIFY(same("2D.bmp", *form->Picture3) && !QFile::exists("Activator_1D.bmp") && errors.empty());

    form->Option1[0]->click();
    QVERIFY(QFile::remove("Inhibitor_1D.bmp") && QDir().mkdir("Activator_1D.bmp"));
    form->mnuSaveAs->trigger();
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY(LastError().contains("\"Activator_1D.bmp\"") && !LastError().contains("Inhibitor"));
    QVERIFY(!QFile::exists("Inhibitor_1D.bmp"));  // the pair is written whole or not at all
  }
};

QTEST_MAIN(ParamsTest)
#include "params_test.moc"
