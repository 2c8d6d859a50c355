#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "net/HostResolver.h"

namespace vantrix::test {

// A resolver that answers every name with one scripted result and records what it was asked.
class NetFakeResolver final : public HostResolver {
 public:
  explicit NetFakeResolver(ResolveResult answer) : m_answer(answer) {}
  ResolveResult Resolve(const std::string& host) override;
  std::vector<std::string> Questions() const;

 private:
  mutable std::mutex m_mutex;
  ResolveResult m_answer;
  std::vector<std::string> m_questions;
};

}  // namespace vantrix::test
