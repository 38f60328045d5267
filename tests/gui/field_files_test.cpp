// The File menu's field files, pictures, space-time image and recordings,
// driven through their menu items with the file dialogs answered by the test.
#include <sys/resource.h>
#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <csignal>
#include <memory>

#include "files/field_file.h"
#include "form_fixture.h"
#include "hostile_field_files.h"
#include "movie_reader.h"
#include "pixels/field_image_pixels.h"
#include "pixels/field_picture.h"
#include "pixels/profile_image_pixels.h"
#include "ui/file_questions.h"
#include "ui/picture_box.h"

using namespace rdsim;

class FieldFilesTest : public QObject, FormFixture {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> folder;
  QString answer;  // what the file dialog gives back
  std::optional<PictureOptions> pictureAnswer;

  QString At(const QString& name) const { return folder->filePath(name); }
  QStringList Boxes() const {
    QStringList texts;
    for (QLineEdit* box : form->Text1) texts << box->text();
    return texts << form->Text3->text();
  }
  void Open(const QString& path) {
    answer = path;
    form->mnuOpenField->trigger();
  }
  void Save(const QString& path) {
    answer = path;
    form->mnuSaveField->trigger();
  }
  void WriteField(const QString& path, const FieldFile& field) { WriteFieldFile(path.toStdString(), field); }
  static FieldFile Uniform(Mode mode, int n, float u) {
    FieldFile field;
    field.mode = mode;
    field.n = n;
    const std::size_t cells = mode == Mode::TwoD ? std::size_t(n * n) : std::size_t(n);
    field.u.assign(cells, u);
    field.v.assign(cells, 1.0f);
    field.coefficients = DesignCoefficientTexts();
    field.coefficients[0] = "0.09";
    field.steps = 40;
    return field;
  }

 private slots:
  void init() {
    folder = std::make_unique<QTemporaryDir>();
    answer.clear();
    pictureAnswer = PictureOptions{1, &GreyPalette()};
    SetFileAnswerer([this](const FileQuestion&) { return answer; });
    SetPictureOptionsAnswerer([this](const QString&) { return pictureAnswer; });
    OpenForm();
  }
  void cleanup() {
    form.reset();
    SetFileAnswerer({});
    SetPictureOptionsAnswerer({});
  }

  void theFileMenuOffersEachItemWithItsKeyAndDescription() {
    const struct {
      QAction* action;
      const char* text;
      QKeySequence key;
    } items[] = {
        {form->mnuSaveAs, "Save As", {}},
        {form->mnuOpenField, "Open Field…", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {form->mnuSaveField, "Save Field…", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {form->mnuExportPicture, "Export Picture…", {}},
        {form->mnuSaveSpaceTime, "Save Space-Time Image…", {}},
        {form->mnuRecord, "Record…", {}},
        {form->mnuStopRecording, "Stop Recording", {}},
        {form->mnuQuit, "Quit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    QCOMPARE(form->mnuFile->actions().front(), form->mnuSaveAs);  // the designed item stays first
    for (const auto& item : items) {
      QVERIFY(form->mnuFile->actions().contains(item.action));
      QCOMPARE(item.action->text().remove('&'), QString::fromUtf8(item.text));
      QCOMPARE(item.action->shortcut(), item.key);
      if (item.action != form->mnuSaveAs) QVERIFY(!item.action->toolTip().isEmpty());
    }
    QVERIFY(!form->mnuStopRecording->isEnabled());

    // What a screen reader finds: each item's name and a plain description.
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(form->mnuFile);
    QVERIFY(menu);
    int described = 0;
    for (int i = 0; i < menu->childCount(); ++i) {
      const QString description = menu->child(i)->text(QAccessible::Description);
      QVERIFY(!description.contains('<'));
      if (!description.isEmpty()) ++described;
    }
    QCOMPARE(described, 8);  // Save As and the seven new items
  }

  // Saved, everything changed, opened: the mode, the boxes, the field and the
  // picture are back, and the step count goes on from the file's.
  void aSavedFieldOpensAsItWas() {
    Enter2D("32");
    form->Text1[3]->setText("3E-2");
    form->Random->click();
    RunFor(7);
    const Buffer u(sim().U().begin(), sim().U().begin() + 32 * 32);
    const QStringList boxes = Boxes();
    const PixelImage picture = form->Picture3->Pixels();
    Save(At("field.h5"));
    QVERIFY2(errors.empty(), qPrintable(Error()));
    QCOMPARE(ReadFieldFile(At("field.h5").toStdString()).steps, std::int64_t(7));

    form->Option1[0]->click();
    form->Text3->setText("50");
    for (QLineEdit* box : form->Text1) box->setText("0.5");
    form->Clear->click();
    Open(At("field.h5"));
    QVERIFY2(errors.empty(), qPrintable(Error()));
    QVERIFY(form->Option1[1]->isChecked());
    QVERIFY(form->Picture3->isVisibleTo(form.get()));
    QCOMPARE(Boxes(), boxes);
    QCOMPARE(sim().N, 32);
    QVERIFY(Buffer(sim().U().begin(), sim().U().begin() + 32 * 32) == u);
    QVERIFY(form->Picture3->Pixels().pixels == picture.pixels);
    QCOMPARE(session().FieldSteps, std::int64_t(7));
  }

  // Each bad file: a message naming it and the fault; the boxes, the mode and
  // the field as they were.
  void aBadFileChangesNothing() {
    Enter2D("16");
    form->Random->click();
    const Buffer u = sim().U();
    const QStringList boxes = Boxes();
    QFile text(At("text.h5"));
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("u,v") == 3);
    text.close();
    FieldFile nan = Uniform(Mode::OneD, 20, 1.0f);
    nan.u[4] = std::nanf("");
    WriteField(At("nan.h5"), nan);
    FieldFile huge = Uniform(Mode::OneD, 20, 1.0f);
    huge.coefficients[7] = "1e39";  // a number, but not a single-precision one
    WriteField(At("huge.h5"), huge);
    const struct {
      const char* name;
      const char* says;
    } cases[] = {
        {"text.h5", "it is not an HDF5 file"},
        {"nan.h5", "the dataset \"u\" holds NaN (not a number) at cell 4"},
        {"huge.h5", "Overflow: cannot open"},
        {"missing.h5", "there is no such file"},
    };
    for (const auto& c : cases) {
      errors.clear();
      Open(At(c.name));
      QCOMPARE(errors.size(), std::size_t(1));
      QVERIFY2(Error().contains("\"" + At(c.name) + "\"") && Error().contains(c.says), qPrintable(Error()));
      QVERIFY(form->Option1[1]->isChecked());
      QCOMPARE(Boxes(), boxes);
      QCOMPARE(sim().N, 16);
      QVERIFY(sim().U() == u);
    }
  }

  // Each hostile field file leaves the window with a message (damaged ones
  // may open); a field whose count is at its largest opens, and a run on it
  // is refused instead of wrapping the count.
  void hostileFieldFilesLeaveTheWindowWithAMessage() {
    Enter2D("8");
    const QStringList boxes = Boxes();
    for (const HostileFieldFile& file : MakeHostileFieldFiles(folder->path().toStdString())) {
      errors.clear();
      Open(QString::fromStdString(file.path));
      if (file.damaged) continue;
      if (!file.refusal.empty()) {
        QVERIFY2(errors.size() == 1 && Error().contains(QString::fromStdString(file.refusal)), qPrintable(Error()));
        QCOMPARE(Boxes(), boxes);
        continue;
      }
      QVERIFY2(errors.empty(), qPrintable(Error()));
      form->Run->click();
      QVERIFY2(Error().contains(QString::fromStdString(file.runRefusal)), qPrintable(Error()));
      QCOMPARE(session().FieldSteps, std::numeric_limits<std::int64_t>::max());
      QVERIFY(!session().Running);
    }
  }

  // Between two steps of a run: a field of the same mode goes on running; one
  // of the other mode ends the run as a mode switch does.
  void aFieldOpensDuringARun() {
    Enter2D("24");
    WriteField(At("same.h5"), Uniform(Mode::TwoD, 24, 4.0f));
    WriteField(At("line.h5"), Uniform(Mode::OneD, 30, 2.0f));
    bool opened = false;
    RunWhile([&](int steps) {
      if (steps == 5 && !opened) {
        Open(At("same.h5"));
        opened = true;
        return sim().U()[0] == 4.0f && sim().CurrentInU;
      }
      return steps < 10;
    });
    QVERIFY2(errors.empty(), qPrintable(Error()));
    QVERIFY(opened);
    QCOMPARE(StepsDone(), 10);
    QCOMPARE(session().FieldSteps, std::int64_t(40 + 5));

    bool switched = false;
    RunWhile([&](int steps) {
      if (!session().Running) return false;  // the switch ended the run
      if (steps == 3 && !switched) {
        Open(At("line.h5"));
        switched = true;
      }
      return steps < 50;
    });
    QVERIFY(form->Option1[0]->isChecked());
    QCOMPARE(sim().N, 30);
    QVERIFY(StepsDone() < 50);
    QCOMPARE(form->Run->text(), QString("Start"));
  }

  // The title counts the frames; Stop Recording closes a movie of them; a
  // mode switch ends the recording with a message, even at the size where
  // the line's two plots are as tall as the square (the frames alike).
  void aRecordingTakesEveryRedrawOfTheRun() {
    Enter2D("32");
    form->Text2->setText("5");
    form->Random->click();
    answer = At("run.gif");
    form->mnuRecord->trigger();
    QVERIFY(form->windowTitle().contains("recording run.gif, 0 frames"));
    QVERIFY(form->mnuStopRecording->isEnabled());
    RunFor(20);
    QTRY_VERIFY(form->windowTitle().contains("recording run.gif, 4 frames"));
    form->mnuStopRecording->trigger();
    QCOMPARE(form->windowTitle(), QString("Reaction-Diffusion simulator"));
    QVERIFY(!form->mnuStopRecording->isEnabled());
    const testing::MovieContents movie = testing::ReadMovie(At("run.gif").toStdString());
    QCOMPARE(movie.frames.size(), std::size_t(4));
    QVERIFY(movie.frames.back().pixels == ComposeFieldPicture(sim(), Mode::TwoD).pixels);

    const QByteArray alike = QByteArray::number(2 * ProfileImageHeight);
    Enter2D(alike.constData());
    const PixelImage square = ComposeFieldPicture(sim(), Mode::TwoD);
    answer = At("run.mp4");
    form->mnuRecord->trigger();
    RunFor(10);
    form->Option1[0]->click();
    QVERIFY2(errors.size() == 1, qPrintable(Error(0) + " | " + Error(1)));
    QVERIFY2(Error().contains("run.mp4\" ended with 2 frames"), qPrintable(Error()));
    QCOMPARE(form->windowTitle(), QString("Reaction-Diffusion simulator"));
    const PixelImage line = ComposeFieldPicture(sim(), Mode::OneD);
    QVERIFY(line.width == square.width && line.height == square.height);
    QCOMPARE(testing::ReadMovie(At("run.mp4").toStdString()).frames.size(), std::size_t(2));
  }

  // Past a file size limit (a full disk) the recording ends with a message
  // naming its file, and the run goes on.
  void aDiskErrorEndsTheRecordingNotTheRun() {
    Enter2D("128");
    form->Text2->setText("1");
    form->Random->click();
    answer = At("full.gif");
    form->mnuRecord->trigger();
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    int atError = -1;
    RunWhile([&](int steps) {
      if (errors.empty()) return steps < 3000;
      if (atError < 0) atError = steps;
      return steps < atError + 20;
    });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(errors.size(), std::size_t(1));
    QVERIFY2(Error().contains("\"" + At("full.gif") + "\"") && Error().contains("the run goes on"),
             qPrintable(Error()));
    QVERIFY(!QFile::exists(At("full.gif")));
    QCOMPARE(form->windowTitle(), QString("Reaction-Diffusion simulator"));
    QVERIFY(atError > 0);
    QCOMPARE(StepsDone(), atError + 20);
  }

  void picturesAndTheSpaceTimeImageAreExported() {
    Enter2D("20");
    form->Random->click();
    pictureAnswer = PictureOptions{3, FindPalette("viridis")};
    answer = At("field");  // the suffix is added
    form->mnuExportPicture->trigger();
    QVERIFY2(errors.empty(), qPrintable(Error()));
    const QImage field(At("field.png"));
    QCOMPARE(field.size(), QSize(60, 60));
    QCOMPARE(field.pixel(59, 59) & 0xFFFFFF, FindPalette("viridis")->colours[GreyLevel(sim().U()[399])]);

    form->mnuSaveSpaceTime->trigger();  // no 1D run yet
    QVERIFY2(Error().contains("there is no space-time image yet"), qPrintable(Error()));

    form->Option1[0]->click();
    form->Text3->setText("40");
    form->Text2->setText("10");
    form->Random->click();
    RunFor(50);
    pictureAnswer = PictureOptions{1, &GreyPalette()};
    answer = At("line.png");
    errors.clear();
    form->mnuSaveSpaceTime->trigger();
    QVERIFY2(errors.empty(), qPrintable(Error()));
    const QImage rows(At("line.png"));
    QCOMPARE(rows.size(), QSize(40, 5));
    const std::uint32_t g = GreyLevel(sim().U()[7]);
    QCOMPARE(rows.pixel(7, 4) & 0xFFFFFF, g << 16 | g << 8 | g);  // the last row is the field now
  }
};

QTEST_MAIN(FieldFilesTest)
#include "field_files_test.moc"
