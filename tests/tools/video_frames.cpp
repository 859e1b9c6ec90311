// Reads an MP4 video back through FFmpeg's libraries, for the end-to-end tests: decodes
// every frame, prints "FRAMES WIDTHxHEIGHT", and writes the first and the last frame as
// the PNG files given, RGB as the renderer drew them.
// Usage: video_frames VIDEO.mp4 FIRST.png LAST.png
#include <cstdio>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "Snapshot.h"

namespace {

int Fail(const char* what) {
  fprintf(stderr, "video_frames: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Fail("usage: video_frames VIDEO.mp4 FIRST.png LAST.png");
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, argv[1], nullptr, nullptr) < 0) return Fail("cannot open the video");
  if (avformat_find_stream_info(format, nullptr) < 0) return Fail("no stream information");
  const AVCodec* decoder = nullptr;
  const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (stream < 0 || decoder == nullptr) return Fail("no video stream");
  AVCodecContext* codec = avcodec_alloc_context3(decoder);
  avcodec_parameters_to_context(codec, format->streams[stream]->codecpar);
  if (avcodec_open2(codec, decoder, nullptr) < 0) return Fail("cannot start the decoder");

  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  SwsContext* scale = nullptr;
  std::vector<unsigned char> rgb, first;
  int frames = 0, width = 0, height = 0;
  auto drain = [&]() -> bool {
    while (avcodec_receive_frame(codec, frame) == 0) {
      if (scale == nullptr) {
        width = frame->width;
        height = frame->height;
        scale = sws_getContext(width, height, static_cast<AVPixelFormat>(frame->format), width, height, AV_PIX_FMT_RGB24,
                               SWS_BILINEAR, nullptr, nullptr, nullptr);
        rgb.resize(static_cast<size_t>(width) * height * 3);
      }
      if (frame->width != width || frame->height != height) return false;
      uint8_t* out[1] = {rgb.data()};
      const int stride[1] = {3 * width};
      sws_scale(scale, frame->data, frame->linesize, 0, height, out, stride);
      if (frames++ == 0) first = rgb;
    }
    return true;
  };
  bool same_size = true;
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == stream && avcodec_send_packet(codec, packet) >= 0) same_size = drain() && same_size;
    av_packet_unref(packet);
  }
  avcodec_send_packet(codec, nullptr);
  same_size = drain() && same_size;
  if (!same_size) return Fail("the frames differ in size");
  if (frames == 0) return Fail("no frame decoded");
  printf("%d %dx%d\n", frames, width, height);
  if (!snapshot::SavePngAs(argv[2], width, height, first.data()).ok() ||
      !snapshot::SavePngAs(argv[3], width, height, rgb.data()).ok())
    return Fail("cannot write the frames");
  sws_freeContext(scale);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&codec);
  avformat_close_input(&format);
  return 0;
}
