// A file written under a short temporary name beside its final one and given that name
// only once whole; an existing file of that name is never replaced. Free of GL.
#pragma once

#include <cstdio>
#include <string>

#include "BufferedFile.h"
#include "Status.h"

namespace mesh_export {

// Removed at destruction unless committed.
class TempFile {
 public:
  // Opens the temporary; status() says whether that worked.
  explicit TempFile(const std::string& path);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  FILE* file() const { return file_; }
  const Status& status() const { return status_; }

  // Closes the file after flushing `out`. No fsync: the rename is what keeps an
  // interrupted export from leaving part of a file, and syncing a large mesh would cost
  // more than building it.
  Status Close(BufferedFile& out);

  // Gives the file its name unless one of that name is there already.
  Status Commit();

 private:
  std::string path_, temp_;
  FILE* file_ = nullptr;
  Status status_ = Status::Ok();
};

// Writes `text` to `path` whole or not at all; an existing file is never replaced.
Status WriteWholeFile(const std::string& path, const std::string& text);

// "Cannot write PATH: REASON." for the errno `error`.
Status CannotWrite(const std::string& path, int error);

}  // namespace mesh_export
