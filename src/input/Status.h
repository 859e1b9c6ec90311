// The outcome of work that can fail: success, or failure with a one-line reason a person
// can read ("the file exists", "no space left on device").
#pragma once

#include <string>
#include <utility>

class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  static Status Failure(std::string reason) {
    Status status;
    status.ok_ = false;
    status.reason_ = std::move(reason);
    return status;
  }

  bool ok() const { return ok_; }
  const std::string& reason() const { return reason_; }

 private:
  bool ok_ = true;
  std::string reason_;
};
