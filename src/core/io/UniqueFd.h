#pragma once

#include <utility>

namespace vantrix {

// Owns one file descriptor and closes it once.
class UniqueFd final {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }
  void Reset(int fd = -1);
  // Gives up ownership without closing, for a caller that must see close's result.
  int Release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd = -1;
};

}  // namespace vantrix
