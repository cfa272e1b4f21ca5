// Owner of a directory search handle (FindFirstFileW); FindClose when it goes.
#pragma once

#include <windows.h>

#include <utility>

namespace zarvo::install {

class FindHandle {
 public:
  FindHandle() = default;
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() { Close(); }
  FindHandle(FindHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FindHandle& operator=(FindHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace zarvo::install
