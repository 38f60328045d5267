#include "video/movie_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "core/message_text.h"
#include "core/run_error.h"
#include "files/file_access.h"
#include "files/file_name.h"
#include "pixels/field_picture.h"

namespace rdsim {

namespace {

// One encoder setting, as FFmpeg's option name and value.
struct EncoderOption {
  const char* name;
  const char* value;
};

// A movie format is this one row: its file, muxer, encoder and settings.
struct FormatInfo {
  MovieFormat format;
  const char* extension;
  const char* muxer;
  const char* encoder;
  // Paletted frames take the picture's own colours, at any size and at scale
  // 1 by default; the others are 4:2:0 video, which wants even sides and a
  // picture enlarged to about 256 pixels.
  bool paletted;
  std::initializer_list<EncoderOption> options;
};

constexpr int VideoDefaultSide = 256;  // pixels along the larger side of an enlarged video frame
constexpr int MaxMovieSide = 4096;     // pixels a side, after enlarging
constexpr std::size_t MaxGifColours = 256;

const FormatInfo Formats[] = {
    {MovieFormat::Gif, ".gif", "gif", "gif", true, {}},
    {MovieFormat::Mp4, ".mp4", "mp4", "libx264", false, {{"preset", "ultrafast"}, {"crf", "18"}}},
    {MovieFormat::WebM,
     ".webm",
     "webm",
     "libvpx-vp9",
     false,
     {{"deadline", "realtime"}, {"cpu-used", "8"}, {"crf", "30"}, {"b", "0"}}},
};

const FormatInfo& InfoOf(MovieFormat format) {
  for (const FormatInfo& info : Formats) {
    if (info.format == format) return info;
  }
  return Formats[0];
}

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// Frames waiting for the encoder; enough to ride out a slow frame, few enough
// to bound the memory.
constexpr std::size_t QueueLimit = 32;

}  // namespace

std::optional<MovieFormat> MovieFormatOf(const std::string& path) {
  for (const FormatInfo& info : Formats) {
    if (HasExtension(path, info.extension)) return info.format;
  }
  return std::nullopt;
}

int DefaultMovieScale(MovieFormat format, int width, int height) {
  if (InfoOf(format).paletted) return 1;
  const int side = std::max(1, std::max(width, height));
  return (VideoDefaultSide + side - 1) / side;
}

// The FFmpeg side: everything below runs on the worker thread, except the
// set-up in the constructor, which reports its failures at once.
class MovieWriter::Encoder {
 public:
  Encoder(const std::string& path, int width, int height, int scale, const std::vector<std::uint32_t>& colours)
      : path_(path), width_(width), height_(height), scale_(scale), file_(path) {
    const std::optional<MovieFormat> format = MovieFormatOf(path);
    if (!format) Fail("it names no movie format (.gif, .mp4 or .webm)");
    format_ = *format;
    if (width < 1 || height < 1 || scale < 1 || width > MaxMovieSide / scale || height > MaxMovieSide / scale) {
      Fail("a frame of " + std::to_string(width) + " x " + std::to_string(height) + " pixels enlarged " +
           std::to_string(scale) + " times is outside 1 to " + std::to_string(MaxMovieSide) + " pixels a side");
    }
    if (InfoOf(format_).paletted) {
      if (colours.empty() || colours.size() > MaxGifColours) {
        Fail("a GIF holds 1 to " + std::to_string(MaxGifColours) + " colours");
      }
      for (std::size_t i = 0; i < colours.size(); ++i) {
        indexOf_.emplace(colours[i] & 0xFFFFFFu, static_cast<std::uint8_t>(i));
        palette_[i] = 0xFF000000u | (colours[i] & 0xFFFFFFu);
      }
    }
    try {
      Open();
    } catch (...) {
      Close();
      throw;
    }
    worker_ = std::thread([this] { Work(); });
  }

  ~Encoder() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
    Close();
  }

  void Add(PixelImage frame) {
    if (frame.width != width_ || frame.height != height_) {
      Fail("a frame of " + std::to_string(frame.width) + " x " + std::to_string(frame.height) +
           " pixels does not fit a movie of " + std::to_string(width_) + " x " + std::to_string(height_));
    }
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return queue_.size() < QueueLimit || !error_.empty(); });
    if (!error_.empty()) throw RunError(Fault::FileAccess, error_);
    queue_.push_back(std::move(frame));
    ++frames_;
    wake_.notify_one();
  }

  void Finish() {
    // An encoder would write a file no player opens.
    if (Frames() == 0) Fail("it holds no frame");
    {
      std::unique_lock<std::mutex> lock(mutex_);
      finishing_ = true;
      wake_.notify_one();
      room_.wait(lock, [this] { return done_; });
    }
    worker_.join();
    if (!error_.empty()) throw RunError(Fault::FileAccess, error_);
    file_.Commit();
  }

  const std::string& Path() const { return path_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::int64_t Frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }

 private:
  [[noreturn]] void Fail(const std::string& reason) const {
    throw RunError(Fault::FileAccess, "cannot record " + Echoed(path_) + ": " + reason);
  }
  std::string Reason(const std::string& doing, int code) const {
    return "cannot record " + Echoed(path_) + ": " + doing + ": " + AvError(code);
  }

  void Open() {
    const FormatInfo& info = InfoOf(format_);
    outWidth_ = width_ * scale_;
    outHeight_ = height_ * scale_;
    if (!info.paletted) {
      // 4:2:0 video wants even sides; the last column or row is repeated.
      outWidth_ += outWidth_ % 2;
      outHeight_ += outHeight_ % 2;
    }
    if (avformat_alloc_output_context2(&container_, nullptr, info.muxer, nullptr) < 0 || !container_) {
      Fail(std::string("this FFmpeg cannot write ") + info.muxer);
    }
    const AVCodec* codec = avcodec_find_encoder_by_name(info.encoder);
    if (!codec) Fail(std::string("this FFmpeg has no encoder ") + info.encoder);
    stream_ = avformat_new_stream(container_, nullptr);
    codec_ = avcodec_alloc_context3(codec);
    if (!stream_ || !codec_) Fail("out of memory");
    codec_->width = outWidth_;
    codec_->height = outHeight_;
    codec_->time_base = AVRational{1, MovieFramesPerSecond};
    codec_->framerate = AVRational{MovieFramesPerSecond, 1};
    codec_->pix_fmt = info.paletted ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_YUV420P;
    if (!info.paletted) {
      // What swscale writes by default: BT.601 at the studio range.
      codec_->colorspace = AVCOL_SPC_SMPTE170M;
      codec_->color_primaries = AVCOL_PRI_SMPTE170M;
      codec_->color_trc = AVCOL_TRC_SMPTE170M;
      codec_->color_range = AVCOL_RANGE_MPEG;
    }
    // One thread: the run's own thread needs the other core.
    codec_->thread_count = 1;
    if (container_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    for (const EncoderOption& option : info.options) av_dict_set(&options, option.name, option.value, 0);
    int code = avcodec_open2(codec_, codec, &options);
    av_dict_free(&options);
    if (code < 0) throw RunError(Fault::FileAccess, Reason("the encoder refused", code));
    code = avcodec_parameters_from_context(stream_->codecpar, codec_);
    if (code < 0) throw RunError(Fault::FileAccess, Reason("the encoder refused", code));
    stream_->time_base = codec_->time_base;

    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_) Fail("out of memory");
    frame_->format = codec_->pix_fmt;
    frame_->width = outWidth_;
    frame_->height = outHeight_;
    code = av_frame_get_buffer(frame_, 0);
    if (code < 0) throw RunError(Fault::FileAccess, Reason("no frame buffer", code));
    if (!info.paletted) {
      convert_ = sws_getContext(outWidth_, outHeight_, AV_PIX_FMT_BGR0, outWidth_, outHeight_, AV_PIX_FMT_YUV420P,
                                SWS_POINT, nullptr, nullptr, nullptr);
      if (!convert_) Fail("no colour conversion to YUV");
    }
    // "file:" keeps a name with a colon from reading as a protocol.
    code = avio_open(&container_->pb, ("file:" + file_.Path()).c_str(), AVIO_FLAG_WRITE);
    if (code < 0) throw RunError(Fault::FileAccess, Reason("cannot open it", code));
    code = avformat_write_header(container_, nullptr);
    if (code < 0) throw RunError(Fault::FileAccess, Reason("cannot write its header", code));
    headerWritten_ = true;
  }

  void Close() {
    // A muxer frees what it holds (the GIF muxer its last packet) only in its
    // trailer, which an abandoned movie writes into the file that is removed.
    if (headerWritten_ && !trailerWritten_) av_write_trailer(container_);
    headerWritten_ = false;
    sws_freeContext(convert_);
    convert_ = nullptr;
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&codec_);
    if (container_) {
      if (container_->pb) avio_closep(&container_->pb);
      avformat_free_context(container_);
      container_ = nullptr;
    }
  }

  void Work() {
    std::int64_t index = 0;
    for (;;) {
      PixelImage frame;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stop_ || finishing_ || !queue_.empty(); });
        if (stop_) return;
        if (queue_.empty()) break;  // finishing, and all is encoded
        frame = std::move(queue_.front());
        queue_.pop_front();
      }
      room_.notify_all();
      if (!Failed()) Encode(frame, index++);
    }
    if (!Failed()) Drain();
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    room_.notify_all();
  }

  bool Failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !error_.empty();
  }
  void SetError(const std::string& reason) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (error_.empty()) error_ = reason;
    queue_.clear();
    room_.notify_all();
  }

  void Encode(const PixelImage& picture, std::int64_t index) {
    int code = av_frame_make_writable(frame_);
    if (code < 0) return SetError(Reason("no frame buffer", code));
    const PixelImage big = Enlarged(picture, scale_);
    if (InfoOf(format_).paletted) {
      for (int y = 0; y < outHeight_; ++y) {
        std::uint8_t* row = frame_->data[0] + static_cast<std::ptrdiff_t>(y) * frame_->linesize[0];
        for (int x = 0; x < outWidth_; ++x) {
          const auto found = indexOf_.find(big.at(x, y) & 0xFFFFFFu);
          if (found == indexOf_.end())
            return SetError("cannot record " + Echoed(path_) + ": a frame holds a colour outside its table");
          row[x] = found->second;
        }
      }
      std::copy(std::begin(palette_), std::end(palette_), reinterpret_cast<std::uint32_t*>(frame_->data[1]));
    } else {
      const PixelImage& padded = big.width == outWidth_ && big.height == outHeight_ ? big : Padded(big);
      const std::uint8_t* source[1] = {reinterpret_cast<const std::uint8_t*>(padded.pixels.data())};
      const int stride[1] = {outWidth_ * 4};
      sws_scale(convert_, source, stride, 0, outHeight_, frame_->data, frame_->linesize);
    }
    frame_->pts = index;
    code = avcodec_send_frame(codec_, frame_);
    if (code < 0) return SetError(Reason("the encoder failed", code));
    WritePackets();
  }

  const PixelImage& Padded(const PixelImage& image) {
    padded_ = PixelImage(outWidth_, outHeight_, 0u);
    for (int y = 0; y < outHeight_; ++y) {
      for (int x = 0; x < outWidth_; ++x) {
        padded_.at(x, y) = image.at(std::min(x, image.width - 1), std::min(y, image.height - 1));
      }
    }
    return padded_;
  }

  void WritePackets() {
    for (;;) {
      int code = avcodec_receive_packet(codec_, packet_);
      if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return;
      if (code < 0) return SetError(Reason("the encoder failed", code));
      // Every frame lasts one period; without it a container drops the last.
      if (packet_->duration <= 0) packet_->duration = 1;
      av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      packet_->stream_index = stream_->index;
      code = av_interleaved_write_frame(container_, packet_);
      if (code < 0 || container_->pb->error < 0) {
        return SetError(Reason("cannot write it", code < 0 ? code : container_->pb->error));
      }
    }
  }

  void Drain() {
    int code = avcodec_send_frame(codec_, nullptr);
    if (code < 0) return SetError(Reason("the encoder failed", code));
    WritePackets();
    if (Failed()) return;
    code = av_write_trailer(container_);
    trailerWritten_ = true;
    if (code < 0) return SetError(Reason("cannot write it", code));
    avio_flush(container_->pb);
    if (container_->pb->error < 0) return SetError(Reason("cannot write it", container_->pb->error));
    code = avio_closep(&container_->pb);
    if (code < 0) return SetError(Reason("cannot write it", code));
  }

  std::string path_;
  int width_, height_, scale_;
  int outWidth_ = 0, outHeight_ = 0;
  MovieFormat format_ = MovieFormat::Gif;
  TemporaryFile file_;
  std::unordered_map<std::uint32_t, std::uint8_t> indexOf_;
  std::uint32_t palette_[MaxGifColours] = {};
  PixelImage padded_;

  AVFormatContext* container_ = nullptr;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* convert_ = nullptr;
  bool headerWritten_ = false, trailerWritten_ = false;

  mutable std::mutex mutex_;
  std::condition_variable wake_, room_;
  std::deque<PixelImage> queue_;
  std::int64_t frames_ = 0;
  bool stop_ = false, finishing_ = false, done_ = false;
  std::string error_;
  std::thread worker_;
};

MovieWriter::MovieWriter(const std::string& path, int width, int height, int scale,
                         const std::vector<std::uint32_t>& colours) {
  // Quiet: failures come back as messages naming the file.
  av_log_set_level(AV_LOG_QUIET);
  encoder_ = std::make_unique<Encoder>(path, width, height, scale, colours);
}

MovieWriter::~MovieWriter() = default;

void MovieWriter::Add(PixelImage frame) { encoder_->Add(std::move(frame)); }
void MovieWriter::Finish() { encoder_->Finish(); }
const std::string& MovieWriter::Path() const { return encoder_->Path(); }
int MovieWriter::Width() const { return encoder_->Width(); }
int MovieWriter::Height() const { return encoder_->Height(); }
std::int64_t MovieWriter::Frames() const { return encoder_->Frames(); }

}  // namespace rdsim
