// The window's files as they may be found: a preset file that is empty,
// marked, a FIFO, a folder or too large; bitmaps that cannot be written whole.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

#include "core/number_text.h"
#include "files/preset_file.h"
#include "params/builtin_presets.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"

using namespace rdsim;

namespace {

const QByteArray DesignRecord = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";
const QByteArray Other = "\"b\",1,2,3,4,5,6,7,8,9,10,11\r\n";

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteAll(const QString& name, const QByteArray& bytes) {
  QFile file(name);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// Names in the folder that start with a dot: a writer's temporaries.
QStringList Hidden() {
  return QDir().entryList(QDir::Hidden | QDir::Files | QDir::NoDotAndDotDot).filter(QRegularExpression("^\\."));
}

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;
  const QString home = QDir::currentPath();

  QStringList Entries() const {
    QStringList names;
    for (int i = 0; i < form->Combo1->count(); ++i) names << form->Combo1->itemText(i);
    return names;
  }
  QString Errors() const {
    QString all;
    for (const std::string& e : errors) all += QString::fromStdString(e) + "\n";
    return all;
  }

 private slots:
  void init() {
    errors.clear();
    SetErrorSink([this](const std::string& message) { errors.push_back(message); });
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(folder->path()));
    ::alarm(60);  // a FIFO opened the wrong way would hang here
  }
  void cleanup() {
    ::alarm(0);
    form.reset();
    QDir::setCurrent(home);
  }

  // The start-up finds each kind of "Parameter.txt": what it lists, what it
  // says, and that it starts all the same (the intake ran, the first entry is
  // in the boxes).
  void startUpListsWhatItCanReadAndSaysWhatItPassedOver() {
    const QStringList builtins = [] {
      QStringList names;
      for (const BuiltinPreset& preset : BuiltinPresets()) names << QString::fromStdString(preset.record.name);
      return names;
    }();
    QByteArray big = DesignRecord;
    big.append(QByteArray(int(PresetFileMaxBytes), ' '));
    const struct {
      const char* kind;
      std::function<bool()> make;
      QStringList entries;
      const char* says;  // nullptr: nothing
    } cases[] = {
        {"missing", [] { return true; }, builtins, nullptr},
        {"empty", [] { return WriteAll(PresetFileName, ""); }, builtins, nullptr},
        {"no whole record", [] { return WriteAll(PresetFileName, "\"x\",1,2\r\n"); }, builtins, nullptr},
        {"marked",
         [] { return WriteAll(PresetFileName, "\xEF\xBB\xBF" + DesignRecord + Other); },
         {"Design", "b"},
         nullptr},
        {"a FIFO", [] { return ::mkfifo(PresetFileName, 0644) == 0; }, builtins, "FIFO"},
        {"a folder", [] { return QDir().mkdir(PresetFileName); }, builtins, "folder"},
        {"too large", [&] { return WriteAll(PresetFileName, big); }, builtins, "more than the 1048576"},
    };
    for (const auto& c : cases) {
      errors.clear();
      QFile::remove(PresetFileName);
      QDir().rmdir(PresetFileName);
      QVERIFY2(c.make(), c.kind);
      form = std::make_unique<frmMain>();
      form->Form_Load();
      QVERIFY2(Entries() == c.entries, c.kind);
      QCOMPARE(form->Combo1->currentText(), c.entries[0]);
      QCOMPARE(form->Text1[0]->text(), QString("0.08"));  // both lists start with the design values
      QCOMPARE(form->session.sim.N, 128);                 // the intake ran
      if (!c.says) {
        QVERIFY2(errors.empty(), qPrintable(Errors()));
      } else {
        QCOMPARE(errors.size(), std::size_t(1));
        QVERIFY2(Errors().contains("\"Parameter.txt\"") && Errors().contains(c.says) &&
                     Errors().contains("built-in presets are listed"),
                 qPrintable(Errors()));
      }
    }
  }

  // A save under a byte-order mark goes through, after the file's records.
  void aSaveUnderAByteOrderMarkAppends() {
    QVERIFY(WriteAll(PresetFileName, "\xEF\xBB\xBF" + DesignRecord));
    form = std::make_unique<frmMain>();
    form->Form_Load();
    form->Combo1->setEditText("mine");
    form->SavePar->click();
    QVERIFY2(errors.empty(), qPrintable(Errors()));
    QCOMPARE(ReadAll(PresetFileName),
             "\xEF\xBB\xBF" + DesignRecord + "\"mine\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n");
    QCOMPARE(Entries(), QStringList({"Design", "mine"}));
  }

  // Save As past a file size limit (a full disk), or onto a FIFO: the old
  // pictures stay as they were, both of a pair, and no temporary is left.
  void saveAsChangesNoPictureUnlessAllAreWritten() {
    form = std::make_unique<frmMain>();
    form->Form_Load();
    for (const int mode : {0, 1}) {
      form->Option1[mode]->click();
      form->Random->click();
      const QStringList names = mode == 0 ? QStringList{"Activator_1D.bmp", "Inhibitor_1D.bmp"} : QStringList{"2D.bmp"};
      for (const QString& name : names) QVERIFY(WriteAll(name, "old " + name.toLatin1()));

      errors.clear();
      rlimit old{};
      getrlimit(RLIMIT_FSIZE, &old);
      rlimit small = old;
      small.rlim_cur = 20000;  // below a 128-cell picture
      const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
      setrlimit(RLIMIT_FSIZE, &small);
      form->mnuSaveAs->trigger();
      setrlimit(RLIMIT_FSIZE, &old);
      std::signal(SIGXFSZ, oldHandler);
      QCOMPARE(errors.size(), std::size_t(1));
      QVERIFY2(Errors().contains("\"" + names[0] + "\": File too large; no picture file was changed"),
               qPrintable(Errors()));
      for (const QString& name : names) QCOMPARE(ReadAll(name), "old " + name.toLatin1());
      QVERIFY2(Hidden().isEmpty(), qPrintable(Hidden().join(" ")));

      // The last of a pair a FIFO: refused before any file is written.
      errors.clear();
      QVERIFY(QFile::remove(names.last()) && ::mkfifo(names.last().toLatin1().constData(), 0644) == 0);
      form->mnuSaveAs->trigger();
      QVERIFY2(Errors().contains("\"" + names.last() + "\"") && Errors().contains("FIFO"), qPrintable(Errors()));
      if (mode == 0) QCOMPARE(ReadAll(names[0]), "old " + names[0].toLatin1());
      QVERIFY(QFile::remove(names.last()));

      form->mnuSaveAs->trigger();  // and without either, it writes
      for (const QString& name : names) QCOMPARE(ReadAll(name).left(2), QByteArray("BM"));
      QVERIFY(Hidden().isEmpty());
    }
  }
};

QTEST_MAIN(FilesTest)
#include "files_test.moc"
