#include "image_io/image_file.h"
#include "core/message_text.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include "core/run_error.h"
#include "files/file_access.h"
#include "files/file_name.h"

namespace rdsim {

namespace {

struct ImageFormat {
  const char* extension;  // lower case, with the dot
  const char* writer;     // Qt's name for the format
  QImage::Format pixels;  // what the writer gets, so that a BMP holds 24 bits a pixel
};

constexpr ImageFormat Formats[] = {
    {".bmp", "BMP", QImage::Format_RGB888},
    {".png", "PNG", QImage::Format_RGB888},
};

const ImageFormat* FormatOf(const std::string& path) {
  for (const ImageFormat& format : Formats) {
    if (HasExtension(path, format.extension)) return &format;
  }
  return nullptr;
}

}  // namespace

bool IsImageFileName(const std::string& path) { return FormatOf(path) != nullptr; }

std::string EncodeImageFile(const std::string& path, const PixelImage& image) {
  const ImageFormat* format = FormatOf(path);
  if (!format) throw RunError(Fault::FileAccess, Echoed(path) + " names no picture format (.bmp or .png)");
  const QImage view(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                    static_cast<qsizetype>(image.width) * 4, QImage::Format_RGB32);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format->writer);
  if (!writer.write(view.convertToFormat(format->pixels))) {
    throw RunError(Fault::FileAccess, "cannot encode " + Echoed(path) + ": " + writer.errorString().toStdString());
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WriteImageFile(const std::string& path, const PixelImage& image) {
  WriteFileWhole(path, EncodeImageFile(path, image));
}

}  // namespace rdsim
