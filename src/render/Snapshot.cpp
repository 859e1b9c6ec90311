#include "Snapshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "PngEncode.h"

namespace snapshot {

namespace {

// Writes all of bytes to a new file of a short hidden name in `folder` (a name as long as
// the system allows leaves no room for a suffix) and makes sure they reached the disk, so
// that a full disk shows up here and not as a truncated picture. The path, or empty.
std::string WriteNewFile(const std::string& folder, const std::vector<unsigned char>& bytes, std::string* error) {
  std::string path = folder + "/.png-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) {
    *error = std::strerror(errno);
    return "";
  }
  const mode_t mask = umask(0);  // mkstemp makes the file private; give it the mode open gave
  umask(mask);
  fchmod(fd, 0644 & ~mask);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = std::strerror(n < 0 ? errno : ENOSPC);
      close(fd);
      unlink(path.c_str());
      return "";
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    *error = std::strerror(errno);
    unlink(path.c_str());
    return "";
  }
  return path;
}

// The PNG of the pixels, written to a hidden temporary file in `folder`; its path, or
// empty with `error` set.
std::string EncodeToTemporary(const std::string& folder, int width, int height, const unsigned char* rgb,
                              std::string* error) {
  std::vector<unsigned char> png;
  if (!EncodePng(width, height, rgb, &png)) {
    *error = "no picture to encode";
    return "";
  }
  return WriteNewFile(folder, png, error);
}

}  // namespace

std::string NameStem(const std::string& grid_path, int cols, int rows) {
  std::string name = grid_path.substr(grid_path.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  // The sample already carries its size in its name.
  std::string size = "_";
  size += std::to_string(cols);
  size += 'x';
  size += std::to_string(rows);
  if (name.size() >= size.size() && name.compare(name.size() - size.size(), size.size(), size) == 0)
    return name;
  return name + size;
}

std::string NumberedName(const std::string& stem, int number, const std::string& ending) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "-%03d", number);
  return stem + suffix + ending;
}

std::string FreeNumberedName(const std::string& stem, const std::vector<std::string>& endings) {
  for (int number = 1; number <= kMaxNumber; ++number) {
    const auto taken = [&](const std::string& ending) {
      struct stat info;
      return lstat(NumberedName(stem, number, ending).c_str(), &info) == 0;
    };
    if (std::none_of(endings.begin(), endings.end(), taken)) return NumberedName(stem, number, endings.front());
  }
  return "";
}

Status SavePng(const std::string& dir, const std::string& stem, int width, int height, const unsigned char* rgb,
               std::string* written) {
  const std::string folder = dir.empty() ? "." : dir;
  std::string error;
  const std::string temporary = EncodeToTemporary(folder, width, height, rgb, &error);
  if (temporary.empty()) return Status::Failure(error);

  // A hard link fails on an existing name where a rename would replace it.
  for (int number = 1; number <= kMaxNumber; ++number) {
    const std::string path = folder + "/" + NumberedName(stem, number, ".png");
    if (link(temporary.c_str(), path.c_str()) == 0) {
      unlink(temporary.c_str());
      *written = path;
      return Status::Ok();
    }
    if (errno != EEXIST) {
      const Status failed = Status::Failure(std::strerror(errno));
      unlink(temporary.c_str());
      return failed;
    }
  }
  unlink(temporary.c_str());
  return Status::Failure("all numbers up to " + std::to_string(kMaxNumber) + " are taken");
}

Status SavePngAs(const std::string& path, int width, int height, const unsigned char* rgb) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  std::string error;
  const std::string temporary = EncodeToTemporary(folder, width, height, rgb, &error);
  if (temporary.empty()) return Status::Failure(error);
  const Status linked = link(temporary.c_str(), path.c_str()) == 0 ? Status::Ok()
                        : errno == EEXIST ? Status::Failure("it exists already; it is left as it was")
                                          : Status::Failure(std::strerror(errno));
  unlink(temporary.c_str());
  return linked;
}

unsigned long long PictureBytes(int width, int height) {
  const unsigned long long pixels = static_cast<unsigned long long>(width > 0 ? width : 0) *
                                    static_cast<unsigned long long>(height > 0 ? height : 0);
  return pixels * (4 + 4 + 3 + 3 * 3) + kRendererBytes;
}

}  // namespace snapshot
