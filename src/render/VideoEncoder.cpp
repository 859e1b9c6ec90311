#include "VideoEncoder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

std::string FfmpegError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// Quality and speed of x264: a constant quality with little visible loss, at a preset
// fast enough that encoding costs less than drawing.
constexpr const char* kPreset = "veryfast";
constexpr const char* kQuality = "18";

}  // namespace

struct VideoEncoder::Parts {
  std::string path, temporary;
  int width = 0, height = 0, frames = 0;
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scale = nullptr;

  ~Parts() {
    sws_freeContext(scale);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format != nullptr) {
      if (format->pb != nullptr) avio_closep(&format->pb);
      avformat_free_context(format);
    }
    if (!temporary.empty()) unlink(temporary.c_str());
  }

  // Sends `f` (nullptr: the end) and writes every packet the encoder has ready.
  Status Encode(const AVFrame* f) {
    int sent = avcodec_send_frame(codec, f);
    if (sent < 0) return Status::Failure("the encoder took no frame: " + FfmpegError(sent));
    for (;;) {
      const int got = avcodec_receive_packet(codec, packet);
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return Status::Ok();
      if (got < 0) return Status::Failure("the encoder failed: " + FfmpegError(got));
      // Each frame lasts one tick: without it the MP4's edit list ends at the last frame's
      // start, and players drop that frame.
      packet->duration = 1;
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      const int written = av_interleaved_write_frame(format, packet);
      if (written < 0) return Status::Failure(FfmpegError(written));
    }
  }
};

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

int VideoEncoder::frames() const { return parts_ ? parts_->frames : 0; }

Status VideoEncoder::Open(const std::string& path, int width, int height, int fps) {
  parts_.reset();
  if (width % 2 != 0 || height % 2 != 0) {
    return Status::Failure("an H.264 video needs an even width and height, not " + std::to_string(width) + " x " +
                           std::to_string(height));
  }
  struct stat info;
  if (lstat(path.c_str(), &info) == 0) return Status::Failure("it exists already; it is left as it was");
  av_log_set_level(AV_LOG_QUIET);  // the reasons come back as codes; x264's statistics stay off the console

  auto parts = std::make_unique<Parts>();
  Parts& p = *parts;
  p.path = path;
  p.width = width;
  p.height = height;
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  p.temporary = folder + "/.mp4-XXXXXX";
  const int fd = mkstemp(p.temporary.data());
  if (fd < 0) {
    p.temporary.clear();
    return Status::Failure(std::strerror(errno));
  }
  const mode_t mask = umask(0);  // mkstemp makes the file private; give it the mode a new file gets
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);

  const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
  if (h264 == nullptr) h264 = avcodec_find_encoder(AV_CODEC_ID_H264);
  if (h264 == nullptr) return Status::Failure("this FFmpeg has no H.264 encoder");
  int code = avformat_alloc_output_context2(&p.format, nullptr, "mp4", nullptr);
  if (code < 0) return Status::Failure("no MP4 writer: " + FfmpegError(code));
  p.stream = avformat_new_stream(p.format, nullptr);
  p.codec = avcodec_alloc_context3(h264);
  p.frame = av_frame_alloc();
  p.packet = av_packet_alloc();
  if (p.stream == nullptr || p.codec == nullptr || p.frame == nullptr || p.packet == nullptr)
    return Status::Failure("not enough memory for the encoder");

  p.codec->width = width;
  p.codec->height = height;
  p.codec->time_base = AVRational{1, fps};
  p.codec->framerate = AVRational{fps, 1};
  p.codec->pix_fmt = AV_PIX_FMT_YUV420P;
  p.codec->gop_size = 2 * fps;
  if (p.format->oformat->flags & AVFMT_GLOBALHEADER) p.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  av_opt_set(p.codec->priv_data, "preset", kPreset, 0);
  av_opt_set(p.codec->priv_data, "crf", kQuality, 0);
  if ((code = avcodec_open2(p.codec, h264, nullptr)) < 0)
    return Status::Failure("the H.264 encoder cannot start: " + FfmpegError(code));
  if ((code = avcodec_parameters_from_context(p.stream->codecpar, p.codec)) < 0) return Status::Failure(FfmpegError(code));
  p.stream->time_base = p.codec->time_base;

  p.frame->format = AV_PIX_FMT_YUV420P;
  p.frame->width = width;
  p.frame->height = height;
  if ((code = av_frame_get_buffer(p.frame, 0)) < 0) return Status::Failure(FfmpegError(code));
  p.scale = sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr,
                           nullptr, nullptr);
  if (p.scale == nullptr) return Status::Failure("no colour conversion from RGB to YUV 4:2:0");

  if ((code = avio_open(&p.format->pb, p.temporary.c_str(), AVIO_FLAG_WRITE)) < 0) return Status::Failure(FfmpegError(code));
  if ((code = avformat_write_header(p.format, nullptr)) < 0) return Status::Failure(FfmpegError(code));
  parts_ = std::move(parts);
  return Status::Ok();
}

Status VideoEncoder::Add(const unsigned char* rgb) {
  if (!parts_) return Status::Failure("the video is not open");
  Parts& p = *parts_;
  // The encoder may still hold the last frame's buffer: write into one of our own.
  if (const int code = av_frame_make_writable(p.frame); code < 0) return Status::Failure(FfmpegError(code));
  const uint8_t* source[1] = {rgb};
  const int stride[1] = {3 * p.width};
  sws_scale(p.scale, source, stride, 0, p.height, p.frame->data, p.frame->linesize);
  p.frame->pts = p.frames;
  if (Status sent = p.Encode(p.frame); !sent.ok()) return sent;
  ++p.frames;
  return Status::Ok();
}

Status VideoEncoder::Finish() {
  if (!parts_) return Status::Failure("the video is not open");
  Parts& p = *parts_;
  if (Status flushed = p.Encode(nullptr); !flushed.ok()) return flushed;
  if (const int code = av_write_trailer(p.format); code < 0) return Status::Failure(FfmpegError(code));
  if (const int code = avio_closep(&p.format->pb); code < 0) return Status::Failure(FfmpegError(code));
  const Status linked = link(p.temporary.c_str(), p.path.c_str()) == 0 ? Status::Ok()
                        : errno == EEXIST ? Status::Failure("it exists already; it is left as it was")
                                          : Status::Failure(std::strerror(errno));
  unlink(p.temporary.c_str());
  p.temporary.clear();
  return linked;
}
