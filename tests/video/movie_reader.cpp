#include "movie_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace rdsim::testing {

namespace {

void TakeFrames(AVCodecContext* codec, AVFrame* frame, MovieContents& movie) {
  while (avcodec_receive_frame(codec, frame) == 0) {
    PixelImage image(frame->width, frame->height, 0u);
    SwsContext* convert =
        sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
                       frame->height, AV_PIX_FMT_BGR0, SWS_POINT, nullptr, nullptr, nullptr);
    std::uint8_t* target[1] = {reinterpret_cast<std::uint8_t*>(image.pixels.data())};
    const int stride[1] = {frame->width * 4};
    sws_scale(convert, frame->data, frame->linesize, 0, frame->height, target, stride);
    sws_freeContext(convert);
    for (std::uint32_t& pixel : image.pixels) pixel &= 0xFFFFFFu;
    movie.frames.push_back(std::move(image));
  }
}

}  // namespace

MovieContents ReadMovie(const std::string& path) {
  av_log_set_level(AV_LOG_QUIET);
  MovieContents movie;
  AVFormatContext* container = nullptr;
  if (avformat_open_input(&container, path.c_str(), nullptr, nullptr) < 0) {
    movie.error = "cannot open " + path;
    return movie;
  }
  avformat_find_stream_info(container, nullptr);
  const int index = av_find_best_stream(container, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) {
    movie.error = "no video stream in " + path;
    avformat_close_input(&container);
    return movie;
  }
  const AVStream* stream = container->streams[index];
  movie.container = container->iformat->name;
  const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
  movie.codec = decoder ? decoder->name : "?";
  movie.width = stream->codecpar->width;
  movie.height = stream->codecpar->height;
  movie.framesPerSecond = av_q2d(stream->avg_frame_rate);
  AVCodecContext* codec = avcodec_alloc_context3(decoder);
  avcodec_parameters_to_context(codec, stream->codecpar);
  codec->thread_count = 1;
  if (!decoder || avcodec_open2(codec, decoder, nullptr) < 0) {
    movie.error = "no decoder for " + path;
  } else {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (av_read_frame(container, packet) >= 0) {
      if (packet->stream_index == index) {
        // A decoder with frames waiting takes the packet once they are out.
        while (avcodec_send_packet(codec, packet) == AVERROR(EAGAIN)) TakeFrames(codec, frame, movie);
        TakeFrames(codec, frame, movie);
      }
      av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    TakeFrames(codec, frame, movie);
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
  avcodec_free_context(&codec);
  avformat_close_input(&container);
  return movie;
}

}  // namespace rdsim::testing
