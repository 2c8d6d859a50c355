#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/table/ServerRow.h"

namespace vantrix {

class ServerTable;

// What the last check learned about a row beyond its cells: the IPv4 address its host name
// resolved to, and the game port its current-protocol reply announced when that differs from
// the port asked. Neither is a cell nor saved. Each fact holds for the address text it was
// learned under: once the row's address is edited it no longer counts. Only rows that have
// such a fact take room, so a list of literal addresses answered on their own port costs
// nothing here.
class RowCheckFacts {
 public:
  // The address a row's host resolved to at its check (not kept for IPv4 literals).
  void NoteResolved(RowId row, std::string_view address, std::string_view ipv4);
  // The game port of a current-protocol reply; nullopt, or the port that was asked, clears it.
  void NoteGamePort(RowId row, std::string_view address, std::optional<std::uint16_t> gamePort,
                    std::uint16_t askedPort);

  // The dotted IPv4 text, or empty.
  std::string_view Resolved(RowId row, std::string_view address) const;
  std::optional<std::uint16_t> GamePort(RowId row, std::string_view address) const;

  // Drops the facts of rows no longer in the table once they could outnumber its rows.
  void Prune(const ServerTable& table);
  std::size_t Size() const { return m_facts.size(); }

 private:
  struct Facts {
    std::string address;   // the address text the facts were learned under
    std::string resolved;  // dotted, empty when none
    std::optional<std::uint16_t> gamePort;
  };
  Facts& For(RowId row, std::string_view address);
  const Facts* Find(RowId row, std::string_view address) const;
  void DropIfEmpty(RowId row);

  std::unordered_map<RowId, Facts> m_facts;
};

}  // namespace vantrix
