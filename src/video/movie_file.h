#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pixels/pixel_image.h"

namespace rdsim {

// Movie formats by the target's extension, case ignored: ".gif" (lossless:
// every frame holds the picture's own colours), ".mp4" (H.264) and ".webm"
// (VP9), all through FFmpeg's libraries.
enum class MovieFormat { Gif, Mp4, WebM };

std::optional<MovieFormat> MovieFormatOf(const std::string& path);

// The enlargement when none is asked for: 1 for a GIF; for a video the
// smallest whole factor that brings the larger side to 256 pixels.
int DefaultMovieScale(MovieFormat format, int width, int height);

inline constexpr int MovieFramesPerSecond = 25;

// One movie, written frame by frame into a hidden temporary beside its target
// and renamed over it by Finish: a movie that fails, or is never finished,
// leaves an older file as it was. Frames are enlarged and encoded on a worker
// thread of the writer's own, so that the run hands a frame over and goes on;
// at most a few dozen wait, after which Add waits for the encoder. Errors
// (a full disk, a file size limit) raise RunError (File access error) naming
// the file, from the next Add or from Finish.
class MovieWriter {
 public:
  // Frames are width x height pixels before the enlargement by `scale`.
  // `colours`: every colour a frame may hold (at most 256), which a GIF keeps
  // as its colour table; videos do not need them.
  MovieWriter(const std::string& path, int width, int height, int scale, const std::vector<std::uint32_t>& colours);
  ~MovieWriter();
  MovieWriter(const MovieWriter&) = delete;
  MovieWriter& operator=(const MovieWriter&) = delete;

  void Add(PixelImage frame);
  // Encodes what is left, closes the file and renames it into place.
  void Finish();

  const std::string& Path() const;
  int Width() const;  // before the enlargement
  int Height() const;
  std::int64_t Frames() const;  // handed over so far

 private:
  class Encoder;
  std::unique_ptr<Encoder> encoder_;
};

}  // namespace rdsim
