#include "TempFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mesh_export {

namespace {

// A short hidden name in the folder of `path`: a name as long as the system allows
// leaves no room for a suffix.
std::string TemporaryBeside(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".export-XXXXXX";
}

}  // namespace

Status CannotWrite(const std::string& path, int error) {
  return Status::Failure("Cannot write " + path + ": " + strerror(error) + ".");
}

TempFile::TempFile(const std::string& path) : path_(path), temp_(TemporaryBeside(path)) {
  const int fd = mkstemp(temp_.data());
  if (fd < 0) {
    status_ = CannotWrite(path_, errno);
    temp_.clear();
    return;
  }
  // mkstemp makes the file private; give it the mode any new file gets.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    status_ = CannotWrite(path_, errno);
    close(fd);
  }
}

TempFile::~TempFile() {
  if (file_ != nullptr) fclose(file_);
  if (!temp_.empty()) unlink(temp_.c_str());
}

Status TempFile::Close(BufferedFile& out) {
  out.Flush();
  int error = out.error();
  if (error == 0 && fflush(file_) != 0) error = errno;
  if (fclose(file_) != 0 && error == 0) error = errno;
  file_ = nullptr;
  return error != 0 ? CannotWrite(path_, error) : Status::Ok();
}

Status TempFile::Commit() {
  if (renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) == 0) {
    temp_.clear();
    return Status::Ok();
  }
  if (errno == EINVAL || errno == ENOSYS) {  // a file system without the flag
    if (link(temp_.c_str(), path_.c_str()) == 0) return Status::Ok();  // the destructor drops the temporary
  }
  if (errno == EEXIST) return Status::Failure(path_ + " exists already; it is left as it was.");
  return CannotWrite(path_, errno);
}

Status WriteWholeFile(const std::string& path, const std::string& text) {
  TempFile file(path);
  if (!file.status().ok()) return file.status();
  BufferedFile out(file.file());
  out.Bytes(text.data(), text.size());
  if (Status closed = file.Close(out); !closed.ok()) return closed;
  return file.Commit();
}

}  // namespace mesh_export
