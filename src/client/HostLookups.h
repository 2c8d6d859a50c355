#pragma once

#include <string>
#include <utility>
#include <vector>

#include "net/HostResolver.h"

namespace vantrix {

// Host names looked up away from the thread that asks: Request returns at once, and the
// answers are collected later with TakeDone. Tests answer by hand.
class HostLookups {
 public:
  using Answer = std::pair<std::string, ResolveResult>;

  virtual ~HostLookups() = default;
  virtual void Request(const std::string& host) = 0;
  // The answers that came since the last call, in the order they came.
  virtual std::vector<Answer> TakeDone() = 0;
};

}  // namespace vantrix
