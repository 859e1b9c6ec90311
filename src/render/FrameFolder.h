// A video as numbered PNG pictures in a folder (DIR/frame-00001.png, ...), free of GL: for
// editing elsewhere, and frame for frame what the MP4 video would hold before encoding.
#pragma once

#include <string>

#include "Status.h"

class FrameFolder {
 public:
  // dir/frame-00001.png for the folder "dir/" (or "dir") and 1.
  static std::string FrameName(const std::string& dir, int number);

  // A folder left unfinished loses the frames written into it.
  ~FrameFolder();

  // Makes the folder `dir` (with its parents) when missing; refused when any of the
  // `count` frames' names is taken, before anything is written.
  Status Open(const std::string& dir, int count, int width, int height);
  // Writes the next frame: width x height RGB pixels, rows top to bottom.
  Status Add(const unsigned char* rgb);
  // Keeps the frames.
  Status Finish();

  int frames() const { return frames_; }

 private:
  std::string dir_;
  int width_ = 0, height_ = 0, frames_ = 0;
  bool finished_ = false;
};
