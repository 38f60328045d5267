#pragma once

#include <string>

#include "pixels/pixel_image.h"

namespace rdsim {

// Image formats by the target's extension, case ignored: ".bmp" (24-bit,
// uncompressed) and ".png". To add one: a row in the table of image_file.cpp.
bool IsImageFileName(const std::string& path);

// The bytes of `image` in the format the extension of `path` names.
std::string EncodeImageFile(const std::string& path, const PixelImage& image);

// Encodes `image` and writes it whole or not at all. Raises RunError (File
// access error) naming the file.
void WriteImageFile(const std::string& path, const PixelImage& image);

}  // namespace rdsim
