#include "FrameFolder.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Snapshot.h"

std::string FrameFolder::FrameName(const std::string& dir, int number) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05d.png", number);
  return dir + (dir.empty() || dir.back() == '/' ? "" : "/") + name;
}

FrameFolder::~FrameFolder() {
  if (finished_) return;
  for (int i = 1; i <= frames_; ++i) unlink(FrameName(dir_, i).c_str());
}

Status FrameFolder::Open(const std::string& dir, int count, int width, int height) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) return Status::Failure(error.message());
  for (int i = 1; i <= count; ++i) {
    const std::string name = FrameName(dir, i);
    if (access(name.c_str(), F_OK) == 0) return Status::Failure(name + " exists already; the folder is left as it was");
  }
  dir_ = dir;
  width_ = width;
  height_ = height;
  frames_ = 0;
  finished_ = false;
  return Status::Ok();
}

Status FrameFolder::Add(const unsigned char* rgb) {
  const std::string name = FrameName(dir_, frames_ + 1);
  if (Status saved = snapshot::SavePngAs(name, width_, height_, rgb); !saved.ok())
    return Status::Failure(name + ": " + saved.reason());
  ++frames_;
  return Status::Ok();
}

Status FrameFolder::Finish() {
  finished_ = true;
  return Status::Ok();
}
