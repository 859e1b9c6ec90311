// Videos without GL: RGB frames encoded as H.264 (yuv420p) in an MP4 file through FFmpeg's
// libraries. The file is written under a hidden temporary name beside the one asked for
// and linked to it when finished, so an existing file is never replaced and a video that
// fails part way leaves nothing behind.
#pragma once

#include <memory>
#include <string>

#include "Status.h"

class VideoEncoder {
 public:
  VideoEncoder();
  // A video not finished is dropped with its temporary file.
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // Starts the video `path` of width x height pixels at `fps` frames a second. H.264's
  // 4:2:0 colour takes pixels in pairs: an odd width or height is refused with the reason,
  // as is a `path` that exists already.
  Status Open(const std::string& path, int width, int height, int fps);
  // Adds one frame: width x height RGB pixels, rows top to bottom.
  Status Add(const unsigned char* rgb);
  // Encodes what the encoder still holds, closes the file and gives it its name.
  Status Finish();

  int frames() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};
