// The keyboard's cell cursor: a key sequence in each picture changes exactly
// what the same placements with the mouse change, the cursor shows on the
// screen but never in the picture's pixels, and a reader hears where it is.
#include <QElapsedTimer>
#include <QKeySequence>
#include <QMouseEvent>
#include <QSignalSpy>

#include "form_fixture.h"
#include "ui/picture_box.h"
#include "ui/picture_cursor.h"

using namespace rdsim;

namespace {

struct Snapshot {
  FieldBuffers cells;
  QImage image;
  bool operator==(const Snapshot& o) const {
    return cells.U == o.cells.U && cells.V == o.cells.V && cells.U2 == o.cells.U2 && cells.V2 == o.cells.V2 &&
           image == o.image;
  }
};

// A real pointer event at a point in the picture's units, through the
// picture's own mapping.
void Mouse(PictureBox* picture, QEvent::Type type, QPointF user) {
  const double border = (picture->width() - picture->AreaWidth()) / 2.0;
  const QPointF at(picture->PixelX(user.x()) + border, picture->PixelY(user.y()) + border);
  const bool move = type == QEvent::MouseMove;
  QMouseEvent event(type, at, picture->mapToGlobal(at), move ? Qt::NoButton : Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &event);
}

// Strokes apart by "|", points by spaces: "64,64 65,64 | 80,64".
void Drag(PictureBox* picture, const QString& strokes) {
  for (const QString& stroke : strokes.split(QLatin1Char('|'))) {
    QList<QPointF> points;
    for (const QString& point : stroke.split(QLatin1Char(' '), Qt::SkipEmptyParts))
      points << QPointF(point.section(QLatin1Char(','), 0, 0).toDouble(),
                        point.section(QLatin1Char(','), 1).toDouble());
    Mouse(picture, QEvent::MouseButtonPress, points.first());
    for (const QPointF& p : points.mid(1)) Mouse(picture, QEvent::MouseMove, p);
    Mouse(picture, QEvent::MouseButtonRelease, points.last());
  }
}

// Keys as written on them, to whatever has the focus; "hold" and "free"
// press and release Space.
void Type(const QString& keys) {
  for (const QString& key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    QWidget* target = QApplication::focusWidget();
    if (key == QLatin1String("hold")) {
      QTest::keyPress(target, Qt::Key_Space);
    } else if (key == QLatin1String("free")) {
      QTest::keyRelease(target, Qt::Key_Space);
    } else {
      const QKeyCombination combination = QKeySequence::fromString(key)[0];
      QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    }
  }
}

}  // namespace

class KeyboardCursorTest : public QObject, FormFixture {
  Q_OBJECT

  PictureBox* Picture(int index) {
    PictureBox* pictures[] = {form->Picture1, form->Picture2, form->Picture3, form->Picture4};
    return pictures[index];
  }
  // A fresh window in the picture's mode, the profiles on their 0 to N scale.
  bool Open(int index) {
    OpenForm();
    if (!ShowActive()) return false;
    if (index == 2) {
      Enter2D();
    } else {
      form->Clear->click();
    }
    return true;
  }
  Snapshot Take(int index) { return {sim().buffers, Picture(index)->Image()}; }

 private slots:
  void keysPlaceWhatTheMousePlaces_data() {
    // picture: 1 to 4, Picture1 to Picture4; mouse: in the picture's units;
    // announced: what a reader hears at the end.
    const struct {
      const char *name, *keys, *mouse, *announced;
      int picture;
    } rows[] = {
        {"field: Enter paints a disc at the centre", "Return", "64,64", "x 64, y 64: u 10.00, v 0.00", 3},
        {"field: a held Space paints one stroke", "Shift+Left Up hold Right Right Down free", "56,63 57,63 58,63 58,64",
         "x 58, y 64: u 10.00, v 0.00", 3},
        {"field: Home, then a stroke of Shift's eight", "Home hold Shift+Right free", "0,64 8,64",
         "x 8, y 64: u 10.00, v 0.00", 3},
        {"field: Escape ends the stroke", "hold Right Escape Shift+Down free", "64,64 65,64",
         "x 65, y 72: u 0.00, v 0.00", 3},
        {"field: Tab leaves and ends the stroke; the cursor waits", "hold Tab Shift+Tab Shift+Right Shift+Right Return",
         "64,64 | 80,64", "x 80, y 64: u 10.00, v 0.00", 3},
        {"activator: a held Space draws at the raised height", "Up Up hold Right Right free", "64,5.2 65,5.2 66,5.2",
         "x 66, height 5.2: u 5.20", 1},
        {"activator: Up in a stroke redraws the cell", "hold Shift+Up Shift+Up free", "64,5 64,6 64,7",
         "x 64, height 7.0: u 7.00", 1},
        {"inhibitor: Enter sets the last cell", "Shift+Down End Return", "127,4", "x 127, height 4.0: v 4.00", 2},
        {"phase plane: Enter is a click at (u, v)", "Shift+Left Down Return", "800,980", "u 4.0, v 4.9", 4},
        {"phase plane: Space at the top right corner",
         "Shift+Up Shift+Up Shift+Up Shift+Up Shift+Up Shift+Up End hold free", "2000,2000", "u 10.0, v 10.0", 4},
    };
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<QString>("announced");
    for (const auto& r : rows) QTest::newRow(r.name) << r.picture << r.keys << r.mouse << r.announced;
  }
  void keysPlaceWhatTheMousePlaces() {
    QFETCH(int, picture);
    QFETCH(QString, keys);
    QFETCH(QString, mouse);
    QFETCH(QString, announced);
    const int index = picture - 1;

    QVERIFY(Open(index));
    const Snapshot untouched = Take(index);
    PictureBox* box = Picture(index);
    box->setFocus(Qt::TabFocusReason);
    Type(keys);
    const Snapshot byKeys = Take(index);
    QVERIFY(box->hasFocus());
    QTRY_COMPARE(box->accessibleDescription(), announced);
    // On the screen the cursor is drawn over the picture, which stays as it was.
    const int border = (box->width() - box->AreaWidth()) / 2;
    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(shown.copy(border, border, box->AreaWidth(), box->AreaHeight()) != byKeys.image);

    QVERIFY(Open(index));
    Drag(Picture(index), mouse);
    QVERIFY(errors.empty());
    QVERIFY(!(byKeys == untouched));
    QVERIFY(byKeys == Take(index));
  }

  // During a run the values under the cursor change with every redraw, but a
  // reader hears them at most four times a second, and the last one always.
  void aRunIsToldSparingly() {
    OpenForm();
    QVERIFY(ShowActive());
    Enter2D();
    form->Random->click();
    form->Picture3->setFocus(Qt::TabFocusReason);
    QSignalSpy told(form->FieldCursor, &PictureCursor::Announced);
    QElapsedTimer clock;
    clock.start();
    RunWhile([&](int) { return clock.elapsed() < 1200; });
    const qint64 elapsed = clock.elapsed();
    QTest::qWait(2 * PictureCursor::AnnounceMilliseconds);
    QVERIFY2(told.size() >= 3 && told.size() <= elapsed / PictureCursor::AnnounceMilliseconds + 2,
             qPrintable(QStringLiteral("%1 in %2 ms").arg(told.size()).arg(elapsed)));
    const float u = NewestActivator(sim(), Mode::TwoD)[64 + 64 * 128];
    QVERIFY2(told.last().at(0).toString().contains(QString::number(double(u), 'f', 2)),
             qPrintable(told.last().at(0).toString()));
  }
};

QTEST_MAIN(KeyboardCursorTest)
#include "keyboard_cursor_test.moc"
