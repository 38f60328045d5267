#pragma once

#include <QImage>
#include <QRgb>
#include <QWidget>
#include <optional>

#include "image_io/raster.h"
#include "pixels/picture.h"

class QPainter;

namespace rdsim {

// The picture box every drawing behaviour works on: a persistent image that
// repaints the widget, a user coordinate system, the drawing operations with
// a one-pixel solid pen, and pointer events in user units with capture.
class PictureBox : public QWidget, public Picture {
  Q_OBJECT

 public:
  // bordered: a 2-pixel sunken border on each side; the drawing area is the
  // outer size less 4 pixels. Without it the drawing area is the outer size.
  explicit PictureBox(QWidget* parent, bool bordered = true);

  // Outer placement in window pixels. Half pixels are rounded (ties to even).
  void Place(double left, double top, double width, double height);
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);

  // Drawing area in pixels.
  int AreaWidth() const;
  int AreaHeight() const;

  // User coordinates: the top-left corner of the drawing area becomes (x1, y1),
  // the bottom-right corner (x2, y2). With y1 > y2 the y axis points up.
  void Scale(double x1, double y1, double x2, double y2) override;
  // Pixel unit, (0, 0) the top-left pixel: the default.
  void ScalePixels();
  double ScaleWidth() const override;   // drawing-area width in user units
  double ScaleHeight() const override;  // drawing-area height in user units
  // Both are x2 - x1 and y2 - y1 of the last Scale, so ScaleHeight is negative
  // when the y axis points up. A Scale with an empty or non-finite range is
  // ignored.

  // Also clears the picture to the new colour, so that a swatch shows its
  // colour at once.
  void SetBackColor(QRgb color) override;
  QRgb BackColor() const;

  // Fill with the background colour.
  void Cls() override;
  // Coordinates in user units; colours as 0xRRGGBB.
  void PSet(float x, float y, QRgb color) override;
  void Line(float x1, float y1, float x2, float y2, QRgb color) override;
  // Arc from start to end (radians) counterclockwise, angle 0 to the right;
  // radius in user x units. An arc that starts where the previous drawing
  // operation, an arc of the same centre and colour, ended continues its
  // curve: the pieces join into one line one pixel wide.
  void Circle(float cx, float cy, float radius, QRgb color, float start, float end) override;

  // Copies a whole image into the drawing area at (0, 0) unchanged: the one
  // transfer of an image composed off-screen. Parts outside the area are clipped.
  void Blit(const QImage& source);
  void Blit(const PixelImage& source) override;
  PixelImage Pixels() const override;

  // While one lives, the drawing on `picture` queues a single repaint of the
  // rectangle it covered instead of one per operation.
  class RepaintBatch {
   public:
    explicit RepaintBatch(PictureBox& picture) : picture_(picture) { picture_.BeginBatch(); }
    ~RepaintBatch() { picture_.EndBatch(); }
    RepaintBatch(const RepaintBatch&) = delete;
    RepaintBatch& operator=(const RepaintBatch&) = delete;

   private:
    PictureBox& picture_;
  };

  // The persistent image: exactly the drawing area, RGB32.
  const QImage& Image() const { return image_; }
  // Pixel of the persistent image; 0xRRGGBB, or -1 outside the drawing area.
  std::int64_t GetPixel(int x, int y) const override;

  // Whether anything listens to Click (the swatches): a screen reader offers
  // a press only where one acts.
  bool HandlesClick() const;

  // Pixel <-> user conversions of the current scale.
  double UserX(double pixelX) const;
  double UserY(double pixelY) const;
  // Continuous pixel position of a user coordinate: pixel i covers [i, i+1).
  double PixelX(double userX) const override;
  double PixelY(double userY) const override;

  void BeginBatch() override { ++batchDepth_; }
  void EndBatch() override;

  // The pixel of the drawing area the keyboard's cursor outlines while the
  // picture has the focus; on the screen only, never in the image.
  void ShowCursorAt(QPoint areaPixel);

 signals:
  // button: 1 left, 2 right, 4 middle (the pressed or released one; for moves,
  // the buttons held). shift: 1 Shift, 2 Ctrl, 4 Alt. x, y in user units.
  void MouseDown(int button, int shift, float x, float y);
  void MouseMove(int button, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  // A button was held over the picture when a dialog or a menu took the
  // mouse, or the picture was hidden: its release will not come here.
  void MouseLost();
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Space acts as a click, so that a picture reached by Tab can be chosen
  // from the keyboard (the swatches).
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Brings the image to the current outer size less the border.
  void SyncImage();
  void Repaint(const QRect& areaRect);
  void PaintFocus(QPainter& painter);
  void PaintCursor(QPainter& painter);
  QPointF UserPosition(const QMouseEvent* event) const;
  // Any drawing but a continuing arc ends the curve of the arcs.
  void EndArcs() { arcsGoOn_ = false; }
  void LoseMouse();

  int border_;
  bool clickArmed_ = false;
  Qt::MouseButtons held_ = Qt::NoButton;  // as the last pointer event here reported them
  QImage image_;
  QRgb backColor_ = 0xFFFFFF;
  double x1_ = 0, y1_ = 0, x2_ = 1, y2_ = 1;
  bool pixelScale_ = true;
  int batchDepth_ = 0;
  QRect batched_;
  // The curve that the last arcs drew, and where the last one ended.
  raster::PixelChain arcs_;
  bool arcsGoOn_ = false;
  float arcCx_ = 0, arcCy_ = 0, arcEnd_ = 0;
  QRgb arcColor_ = 0;
  std::optional<QPoint> cursor_;
};

}  // namespace rdsim
