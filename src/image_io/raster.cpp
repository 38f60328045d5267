#include "image_io/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace rdsim::raster {

namespace {

__extension__ typedef __int128 Wide;

// Integer end points up to this size are rasterised exactly: the products of
// the line walk stay inside 128 bits.
constexpr qint64 kExactLimit = qint64(1) << 60;
// Continuous end points beyond this are clipped before they become integers.
constexpr double kPreClipLimit = 1152921504606846976.0;  // 2^60
// Stand-in for an infinite coordinate: keeps the direction of the ray.
constexpr double kInfinity = 1e300;
// Margin of the pre-clip box around the image, so that clipped ends stay
// off the visible pixels.
constexpr double kClipMargin = 16.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Beyond this radius in pixels a double angle can no longer resolve one pixel
// of the outline.
constexpr double kMaxRadius = 17592186044416.0;  // 2^44

constexpr QRgb Opaque(QRgb color) { return 0xFF000000u | (color & 0xFFFFFFu); }

bool Usable(const QImage& image) { return !image.isNull() && image.format() == QImage::Format_RGB32; }

// Direct pixel access without a detach check per pixel.
class Pixels {
 public:
  explicit Pixels(QImage& image)
      : bits_(image.bits()), stride_(image.bytesPerLine()), width_(image.width()), height_(image.height()) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Set(int x, int y, QRgb value) { reinterpret_cast<QRgb*>(bits_ + qsizetype(y) * stride_)[x] = value; }

 private:
  uchar* bits_;
  qsizetype stride_;
  int width_;
  int height_;
};

Wide FloorDiv(Wide a, Wide b) {  // b > 0
  Wide q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}

// Smallest k in [lo, hi] for which the monotone predicate (false ... true)
// holds, or hi + 1.
template <typename Pred>
qint64 FirstTrue(qint64 lo, qint64 hi, Pred pred) {
  qint64 end = hi + 1;
  while (lo < end) {
    qint64 mid = lo + (end - lo) / 2;
    if (pred(mid))
      end = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// The line walked along its major axis u from u0 in du >= |dv| steps, the
// minor coordinate rounded half up: v(k) = v0 + floor((2k dv + du) / 2du).
// Both ends lie on the line; the walk is restricted to the steps whose pixel
// is visible, found by bisection, so the cost is bounded by the image size.
// `plot(u, v)` writes one visible pixel; returns the visible (u, v) span.
template <typename Plot>
QRect WalkMajor(qint64 u0, qint64 v0, qint64 du, qint64 dv, int uSize, int vSize, Plot plot) {
  const Wide twoDu = Wide(2) * du;
  auto minor = [&](qint64 k) { return qint64(Wide(v0) + FloorDiv(Wide(2) * k * dv + du, twoDu)); };
  const qint64 kMin = std::max<qint64>(0, -u0);
  const qint64 kMax = std::min<qint64>(du, qint64(uSize) - 1 - u0);
  if (kMin > kMax) return {};
  const qint64 vLast = vSize - 1;
  qint64 kLo, kHi;
  if (dv >= 0) {
    kLo = FirstTrue(kMin, kMax, [&](qint64 k) { return minor(k) >= 0; });
    kHi = FirstTrue(kMin, kMax, [&](qint64 k) { return minor(k) > vLast; }) - 1;
  } else {
    kLo = FirstTrue(kMin, kMax, [&](qint64 k) { return minor(k) <= vLast; });
    kHi = FirstTrue(kMin, kMax, [&](qint64 k) { return minor(k) < 0; }) - 1;
  }
  if (kLo > kHi) return {};

  // Incremental walk: v is the minor coordinate, r the remainder in [0, 2du).
  const Wide n = Wide(2) * kLo * dv + du;
  const Wide q = FloorDiv(n, twoDu);
  Wide r = n - q * twoDu;
  qint64 v = qint64(Wide(v0) + q);
  const Wide step = Wide(2) * dv;
  const Wide wrap = twoDu;
  const qint64 vStart = v;
  for (qint64 k = kLo;; ++k) {
    plot(int(u0 + k), int(v));
    if (k == kHi) break;
    r += step;
    if (r >= wrap) {
      r -= wrap;
      ++v;
    } else if (r < 0) {
      r += wrap;
      --v;
    }
  }
  const int uA = int(u0 + kLo), uB = int(u0 + kHi);
  const int vA = int(std::min(vStart, v)), vB = int(std::max(vStart, v));
  return QRect(QPoint(uA, vA), QPoint(uB, vB));
}

QRect ExactLine(QImage& image, qint64 x0, qint64 y0, qint64 x1, qint64 y1, QRgb color) {
  Pixels px(image);
  const QRgb value = Opaque(color);
  qint64 dx = x1 - x0, dy = y1 - y0;
  if (std::llabs(dx) >= std::llabs(dy)) {
    // Walk left to right whatever the direction, so a line and its reverse agree.
    if (dx < 0) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      dx = -dx;
      dy = -dy;
    }
    if (dx == 0) {
      if (x0 < 0 || y0 < 0 || x0 >= px.Width() || y0 >= px.Height()) return {};
      px.Set(int(x0), int(y0), value);
      return QRect(int(x0), int(y0), 1, 1);
    }
    return WalkMajor(x0, y0, dx, dy, px.Width(), px.Height(), [&](int u, int v) { px.Set(u, v, value); });
  }
  if (dy < 0) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    dx = -dx;
    dy = -dy;
  }
  QRect span = WalkMajor(y0, x0, dy, dx, px.Height(), px.Width(), [&](int u, int v) { px.Set(v, u, value); });
  return span.isNull() ? QRect() : QRect(span.top(), span.left(), span.height(), span.width());
}

// Clips a segment with far-away ends to the neighbourhood of a box. The
// clipped part is found by Liang-Barsky in extended precision; its middle is
// then re-based with the segment's direction, so that a segment whose ends are
// so far apart that the box is below their precision still keeps its
// direction and does not collapse to a point. An end already close to the box
// is kept as it is. False when the segment misses the box.
bool ClipFar(double& x0, double& y0, double& x1, double& y1, double xMin, double yMin, double xMax, double yMax) {
  const long double ax = x0, ay = y0, bx = x1, by = y1;
  const long double dx = bx - ax, dy = by - ay;
  long double t0 = 0, t1 = 1;
  auto edge = [&](long double p, long double q) {
    if (p == 0) return q >= 0;
    const long double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  if (!edge(-dx, ax - xMin) || !edge(dx, xMax - ax) || !edge(-dy, ay - yMin) || !edge(dy, yMax - ay)) return false;
  // Measured from the nearer end, which keeps the point on the line when the
  // other end is far away.
  const long double tm = (t0 + t1) / 2;
  const long double px = tm <= 0.5L ? ax + tm * dx : bx - (1 - tm) * dx;
  const long double py = tm <= 0.5L ? ay + tm * dy : by - (1 - tm) * dy;
  const long double length = std::hypot(dx, dy);
  const long double ux = dx / length, uy = dy / length;
  const long double reach = 2 * ((xMax - xMin) + (yMax - yMin));
  long double nx0 = ax, ny0 = ay, nx1 = bx, ny1 = by;
  if (tm * length > reach) {
    nx0 = px - reach * ux;
    ny0 = py - reach * uy;
  }
  if ((1 - tm) * length > reach) {
    nx1 = px + reach * ux;
    ny1 = py + reach * uy;
  }
  const long double limit = kPreClipLimit;
  for (long double v : {nx0, ny0, nx1, ny1})
    if (!(std::fabs(v) <= limit)) return false;  // lost all precision
  x0 = double(nx0);
  y0 = double(ny0);
  x1 = double(nx1);
  y1 = double(ny1);
  return true;
}

double Tame(double v) {
  if (std::isinf(v)) return v > 0 ? kInfinity : -kInfinity;
  return v;
}

}  // namespace

QImage Blank(int width, int height, QRgb fill) {
  if (width <= 0 || height <= 0) return {};
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Opaque(fill));
  return image;
}

QImage Resized(const QImage& image, int width, int height, QRgb fill) {
  QImage result = Blank(width, height, fill);
  if (result.isNull() || image.isNull()) return result;
  const QImage source = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
  const int w = std::min(width, source.width());
  const int h = std::min(height, source.height());
  for (int y = 0; y < h; ++y) std::memcpy(result.scanLine(y), source.constScanLine(y), size_t(w) * sizeof(QRgb));
  return result;
}

QRect Fill(QImage& image, QRgb color) {
  if (!Usable(image)) return {};
  image.fill(Opaque(color));
  return image.rect();
}

QRect SetPixel(QImage& image, double x, double y, QRgb color) {
  if (!Usable(image)) return {};
  // Written so that NaN fails too.
  if (!(x >= 0 && y >= 0 && x < image.width() && y < image.height())) return {};
  const int ix = int(std::floor(x)), iy = int(std::floor(y));
  Pixels(image).Set(ix, iy, Opaque(color));
  return QRect(ix, iy, 1, 1);
}

QRect DrawPixelLine(QImage& image, qint64 x0, qint64 y0, qint64 x1, qint64 y1, QRgb color) {
  if (!Usable(image)) return {};
  auto exact = [](qint64 v) { return v >= -kExactLimit && v <= kExactLimit; };
  if (!exact(x0) || !exact(y0) || !exact(x1) || !exact(y1))
    return DrawLine(image, double(x0), double(y0), double(x1), double(y1), color);
  return ExactLine(image, x0, y0, x1, y1, color);
}

QRect DrawLine(QImage& image, double x0, double y0, double x1, double y1, QRgb color) {
  if (!Usable(image)) return {};
  if (std::isnan(x0) || std::isnan(y0) || std::isnan(x1) || std::isnan(y1)) return {};
  x0 = Tame(x0);
  y0 = Tame(y0);
  x1 = Tame(x1);
  y1 = Tame(y1);
  auto far = [](double v) { return std::fabs(v) > kPreClipLimit; };
  if (far(x0) || far(y0) || far(x1) || far(y1)) {
    if (!ClipFar(x0, y0, x1, y1, -kClipMargin, -kClipMargin, image.width() + kClipMargin, image.height() + kClipMargin))
      return {};
  }
  return ExactLine(image, qint64(std::floor(x0)), qint64(std::floor(y0)), qint64(std::floor(x1)),
                   qint64(std::floor(y1)), color);
}

namespace {

// One circle's arcs drawn pixel by pixel: a step per pixel of arc length,
// each new pixel joined to the last.
struct ArcWalk {
  QImage& image;
  double cx, cy, r;
  QRgb color;
  // sin(pi) is not quite 0: points meant to lie on a pixel edge are put back
  // on it, or the arc from 0 to pi would end one row too high.
  double tolerance = 1e-12 * (std::fabs(cx) + std::fabs(cy) + r);

  double Snap(double v) const {
    const double whole = std::nearbyint(v);
    return std::fabs(v - whole) <= tolerance ? whole : v;
  }
  void PixelAt(double t, qint64& px, qint64& py) const {
    px = qint64(std::floor(Snap(cx + r * std::cos(t))));
    py = qint64(std::floor(Snap(cy - r * std::sin(t))));
  }
  QRect Along(double a, double b) const {
    QRect dirty;
    const double steps = std::ceil((b - a) * r);
    const qint64 n = std::max<qint64>(1, qint64(steps));
    qint64 px, py;
    PixelAt(a, px, py);
    dirty |= DrawPixelLine(image, px, py, px, py, color);
    for (qint64 k = 1; k <= n; ++k) {
      const double t = k == n ? b : a + (b - a) * double(k) / double(n);
      qint64 qx, qy;
      PixelAt(t, qx, qy);
      if (qx == px && qy == py) continue;
      dirty |= DrawPixelLine(image, px, py, qx, qy, color);
      px = qx;
      py = qy;
    }
    return dirty;
  }
};

// The angles [lo, hi] under which a box is seen from a centre outside it;
// less than pi apart.
std::pair<double, double> AnglesOfBox(double cx, double cy, double xMin, double yMin, double xMax, double yMax) {
  // Math angle of a screen point as seen from the centre (y grows downwards).
  auto angleOf = [&](double x, double y) { return std::atan2(cy - y, x - cx); };
  const double ref = angleOf((xMin + xMax) / 2, (yMin + yMax) / 2);
  double lo = 0, hi = 0;
  for (double x : {xMin, xMax})
    for (double y : {yMin, yMax}) {
      const double d = std::remainder(angleOf(x, y) - ref, kTwoPi);
      lo = std::min(lo, d);
      hi = std::max(hi, d);
    }
  return {lo + ref, hi + ref};
}

}  // namespace

QRect DrawArc(QImage& image, double cx, double cy, double radius, double start, double end, QRgb color) {
  if (!Usable(image)) return {};
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius) || !std::isfinite(start) ||
      !std::isfinite(end))
    return {};
  const double r = std::fabs(radius);
  if (r > kMaxRadius) return {};
  if (r == 0) return SetPixel(image, cx, cy, color);

  // Counterclockwise sweep as an angle on the circle: equal ends (or ends a
  // whole turn apart) give the full circle.
  double sweep = std::fmod(end - start, kTwoPi);
  if (sweep < 0) sweep += kTwoPi;
  if (sweep == 0) sweep = kTwoPi;
  // Whole turns off the start change nothing but the accuracy of sin and cos.
  start = std::remainder(start, kTwoPi);
  const double arcEnd = start + sweep;

  // A box a little larger than the image: points outside it cannot light a
  // visible pixel, even through the joins.
  const double xMin = -2, yMin = -2, xMax = image.width() + 2.0, yMax = image.height() + 2.0;
  const double nearX = std::clamp(cx, xMin, xMax), nearY = std::clamp(cy, yMin, yMax);
  const double dMin = std::hypot(cx - nearX, cy - nearY);
  const double farX = std::max(std::fabs(cx - xMin), std::fabs(cx - xMax));
  const double farY = std::max(std::fabs(cy - yMin), std::fabs(cy - yMax));
  const double dMax = std::hypot(farX, farY);
  if (r < dMin - 1 || r > dMax + 1) return {};

  const ArcWalk walk{image, cx, cy, r, color};
  if (dMin == 0) return walk.Along(start, arcEnd);
  // Centre outside the box: walk only the parts of the sweep inside the
  // angle the box is seen under.
  const auto [lo, hi] = AnglesOfBox(cx, cy, xMin, yMin, xMax, yMax);
  QRect dirty;
  const qint64 kFirst = qint64(std::ceil((start - hi) / kTwoPi));
  const qint64 kLast = qint64(std::floor((arcEnd - lo) / kTwoPi));
  for (qint64 k = kFirst; k <= kLast; ++k) {
    const double a = std::max(start, lo + kTwoPi * double(k));
    const double b = std::min(arcEnd, hi + kTwoPi * double(k));
    if (a <= b) dirty |= walk.Along(a, b);
  }
  return dirty;
}

void PixelChain::StartAt(qint64 x, qint64 y) {
  last_[1] = {x, y, 0, false};
  count_ = 1;
}

QRect PixelChain::Extend(QImage& image, qint64 x, qint64 y, QRgb color) {
  if (count_ > 0) {
    const Link& from = last_[1];
    const qint64 dx = x - from.x, dy = y - from.y;
    const qint64 n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0) return {};
    QRect dirty;
    // The pixels in between, each one step from the previous.
    for (qint64 k = 1; k < n; ++k) {
      const qint64 ix = from.x + qint64(std::nearbyint(double(dx) * double(k) / double(n)));
      const qint64 iy = from.y + qint64(std::nearbyint(double(dy) * double(k) / double(n)));
      dirty |= Step(image, ix, iy, color);
    }
    return dirty | Step(image, x, y, color);
  }
  return Step(image, x, y, color);
}

QRect PixelChain::Step(QImage& image, qint64 x, qint64 y, QRgb color) {
  auto touches = [x, y](const Link& l) { return std::max(std::llabs(l.x - x), std::llabs(l.y - y)) <= 1; };
  auto inside = [&image](qint64 px, qint64 py) {
    return px >= 0 && py >= 0 && px < image.width() && py < image.height();
  };
  QRect dirty;
  if (count_ > 0 && last_[1].x == x && last_[1].y == y) return dirty;
  // The last pixel is a corner between the one before it and the new one:
  // take it back.
  if (count_ == 2 && last_[1].ours && touches(last_[0])) {
    const Link& corner = last_[1];
    if (inside(corner.x, corner.y)) {
      reinterpret_cast<QRgb*>(image.scanLine(int(corner.y)))[corner.x] = corner.under;
      dirty |= QRect(int(corner.x), int(corner.y), 1, 1);
    }
    last_[1] = last_[0];
    count_ = 1;
    if (last_[1].x == x && last_[1].y == y) return dirty;
  }
  Link link{x, y, 0, true};
  if (inside(x, y)) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
    link.under = row[x];
    row[x] = Opaque(color);
    dirty |= QRect(int(x), int(y), 1, 1);
  }
  if (count_ > 0) last_[0] = last_[1];
  last_[1] = link;
  count_ = std::min(count_ + 1, 2);
  return dirty;
}

QRect ExtendArc(QImage& image, PixelChain& chain, double cx, double cy, double radius, double start, double end,
                QRgb color) {
  if (!Usable(image)) return {};
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(radius) || !std::isfinite(start) ||
      !std::isfinite(end))
    return {};
  const double r = std::fabs(radius);
  double sweep = std::fmod(end - start, kTwoPi);
  if (sweep < 0) sweep += kTwoPi;
  if (sweep == 0) sweep = kTwoPi;
  auto pointAt = [&](double t, qint64& px, qint64& py) {
    const double x = cx + r * std::cos(t), y = cy - r * std::sin(t);
    if (!(std::fabs(x) < 1e9 && std::fabs(y) < 1e9)) return false;
    px = qint64(std::floor(x));
    py = qint64(std::floor(y));
    return true;
  };
  // Walked only when the arc is short against the image and close to it;
  // otherwise the plain arc, and the chain goes on from its end.
  const double reach = 4.0 * (image.width() + image.height());
  const bool near = std::fabs(cx) < reach && std::fabs(cy) < reach && r < reach;
  qint64 ex, ey;
  if (!chain.Started() || !near || sweep * r > reach || !pointAt(start + sweep, ex, ey)) {
    const QRect dirty = DrawArc(image, cx, cy, radius, start, end, color);
    if (near && pointAt(start + sweep, ex, ey))
      chain.StartAt(ex, ey);
    else
      chain.Reset();
    return dirty;
  }
  // Steps of at most half a pixel along the arc.
  const qint64 n = std::max<qint64>(1, qint64(std::ceil(2.0 * sweep * r)));
  QRect dirty;
  for (qint64 k = 0; k <= n; ++k) {
    const double t = k == n ? start + sweep : start + sweep * double(k) / double(n);
    qint64 px, py;
    if (pointAt(t, px, py)) dirty |= chain.Extend(image, px, py, color);
  }
  return dirty;
}

QRect Blit(QImage& target, const QImage& source) {
  if (!Usable(target) || source.isNull()) return {};
  const bool raw = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32;
  const QImage rgb = raw ? source : source.convertToFormat(QImage::Format_RGB32);
  const int w = std::min(target.width(), rgb.width());
  const int h = std::min(target.height(), rgb.height());
  for (int y = 0; y < h; ++y) {
    const QRgb* from = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    QRgb* to = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = 0; x < w; ++x) to[x] = Opaque(from[x]);
  }
  return QRect(0, 0, w, h);
}

qint64 PixelAt(const QImage& image, int x, int y) {
  if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return -1;
  if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
    return image.pixel(x, y) & 0xFFFFFF;
  return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] & 0xFFFFFF;
}

}  // namespace rdsim::raster
