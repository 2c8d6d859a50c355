#include "support/NetFakeResolver.h"

namespace vantrix::test {

ResolveResult NetFakeResolver::Resolve(const std::string& host) {
  const std::lock_guard lock(m_mutex);
  m_questions.push_back(host);
  return m_answer;
}

std::vector<std::string> NetFakeResolver::Questions() const {
  const std::lock_guard lock(m_mutex);
  return m_questions;
}

}  // namespace vantrix::test
