#include "core/table/RowCheckFacts.h"

#include "core/table/ServerTable.h"

namespace vantrix {

RowCheckFacts::Facts& RowCheckFacts::For(RowId row, std::string_view address) {
  Facts& facts = m_facts[row];
  if (facts.address != address) facts = Facts{std::string(address), {}, std::nullopt};
  return facts;
}

const RowCheckFacts::Facts* RowCheckFacts::Find(RowId row, std::string_view address) const {
  const auto it = m_facts.find(row);
  if (it == m_facts.end() || it->second.address != address) return nullptr;
  return &it->second;
}

void RowCheckFacts::DropIfEmpty(RowId row) {
  const auto it = m_facts.find(row);
  if (it != m_facts.end() && it->second.resolved.empty() && !it->second.gamePort) m_facts.erase(it);
}

void RowCheckFacts::NoteResolved(RowId row, std::string_view address, std::string_view ipv4) {
  For(row, address).resolved = ipv4;
}

void RowCheckFacts::NoteGamePort(RowId row, std::string_view address, std::optional<std::uint16_t> gamePort,
                                 std::uint16_t askedPort) {
  if (gamePort == askedPort) gamePort.reset();
  if (!gamePort && !m_facts.contains(row)) return;
  For(row, address).gamePort = gamePort;
  DropIfEmpty(row);
}

std::string_view RowCheckFacts::Resolved(RowId row, std::string_view address) const {
  const Facts* facts = Find(row, address);
  return facts ? std::string_view(facts->resolved) : std::string_view();
}

std::optional<std::uint16_t> RowCheckFacts::GamePort(RowId row, std::string_view address) const {
  const Facts* facts = Find(row, address);
  return facts ? facts->gamePort : std::nullopt;
}

void RowCheckFacts::Prune(const ServerTable& table) {
  if (m_facts.size() < 2 * static_cast<std::size_t>(table.Count()) + 1024) return;
  std::erase_if(m_facts, [&table](const auto& entry) { return !table.PositionOf(entry.first); });
}

}  // namespace vantrix
