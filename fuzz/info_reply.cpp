// Datagrams from any sender through the main window's handler, as the listener hands them over.
// The input is a sequence of steps, each a control byte and a framed datagram:
//   control < 0x80: the datagram arrives from sender (control & 3), (control >> 2) ms late;
//   control & 0x80: a command, by bits 0x60: 0 "Check server" on row (control & 0x1F) whose
//                   server answers with the datagram; 1 the same after the first row was
//                   deleted (a reply may outlive its row); 2 "Check all servers", every server
//                   answering with the datagram; 3 the same with row (control & 0x1F) silent.
// Invariants: the decoded texts lie inside the datagram and end at a zero byte there; each
// datagram is counted and logged as it came; a reply writes exactly the cells a reference
// reading of it gives, into the row it belongs to and no other; rows are never added or lost.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/protocol/OriginalInfoReply.h"
#include "support/FakeQueryWorld.h"

namespace {

using namespace vantrix;

struct Sender {
  const char* ip;
  std::uint16_t port;
};

// The first three are rows of the table (the last shares its host with the first);
// the fourth is no row at all.
constexpr std::array<Sender, 4> kSenders = {Sender{"10.0.0.5", 27015}, Sender{"10.0.0.6", 27016},
                                            Sender{"10.0.0.5", 27016}, Sender{"192.0.2.1", 5}};

std::string AddressOf(const Sender& sender) {
  return std::string(sender.ip) + ":" + std::to_string(sender.port);
}

// An independent reading of an 'm' reply: the zero-ended texts after the type byte, one
// missing ending meaning that text and all later ones read as "" from the same place.
struct ReferenceReply {
  bool hasTexts = false;
  std::string_view name;
  std::string_view map;
  std::array<std::optional<std::uint8_t>, 7> trailing;
};

std::optional<ReferenceReply> ReadReference(std::string_view datagram) {
  if (datagram.size() < 5 || datagram.substr(0, 4) != "\xFF\xFF\xFF\xFF" || datagram[4] != 'm')
    return std::nullopt;
  ReferenceReply reply;
  reply.hasTexts = datagram.find('\0') != std::string_view::npos;
  if (!reply.hasTexts) return reply;
  std::size_t pos = 5;
  std::array<std::string_view, 5> texts{};
  for (std::string_view& text : texts) {
    const std::size_t end = datagram.find('\0', pos);
    if (end == std::string_view::npos) continue;
    text = datagram.substr(pos, end - pos);
    pos = end + 1;
  }
  reply.name = texts[1];
  reply.map = texts[2];
  for (std::size_t i = 0; i < reply.trailing.size(); ++i) {
    if (pos + i < datagram.size()) reply.trailing[i] = static_cast<std::uint8_t>(datagram[pos + i]);
  }
  return reply;
}

// A text of a decoded reply is empty or a stretch of the datagram ended by a zero byte.
bool LiesInside(std::string_view text, std::string_view datagram) {
  if (text.empty()) return true;
  const char* begin = datagram.data();
  const char* end = begin + datagram.size();
  if (text.data() < begin || text.data() + text.size() >= end) return false;
  return text.data()[text.size()] == '\0' && text.find('\0') == std::string_view::npos;
}

// The upper-case letter of a trailing byte that is one of the allowed lower-case letters.
std::optional<char> Letter(std::optional<std::uint8_t> byte, std::string_view allowed) {
  if (!byte || *byte < 'a' || *byte > 'z' || allowed.find(static_cast<char>(*byte)) == std::string_view::npos)
    return std::nullopt;
  return static_cast<char>(*byte - 'a' + 'A');
}

void CheckDecoder(std::string_view datagram) {
  const auto reply = DecodeOriginalInfoReply(datagram);
  const auto reference = ReadReference(datagram);
  VANTRIX_FUZZ_CHECK(reply.has_value() == reference.has_value());
  VANTRIX_FUZZ_CHECK(IsOriginalInfoReply(datagram) == reply.has_value());
  if (!reply) return;
  VANTRIX_FUZZ_CHECK(reply->hasTexts == reference->hasTexts);
  VANTRIX_FUZZ_CHECK(LiesInside(reply->serverName, datagram));
  VANTRIX_FUZZ_CHECK(LiesInside(reply->map, datagram));
  VANTRIX_FUZZ_CHECK(reply->serverName == reference->name);
  VANTRIX_FUZZ_CHECK(reply->map == reference->map);
  if (!reply->hasTexts) {
    VANTRIX_FUZZ_CHECK(!reply->players && !reply->maxPlayers && !reply->typeLetter && !reply->osLetter &&
                       !reply->password);
    return;
  }
  const auto& bytes = reference->trailing;
  VANTRIX_FUZZ_CHECK(reply->players == bytes[0]);
  VANTRIX_FUZZ_CHECK(reply->maxPlayers == bytes[1]);
  VANTRIX_FUZZ_CHECK(reply->typeLetter == Letter(bytes[3], "dlp"));
  VANTRIX_FUZZ_CHECK(reply->osLetter == Letter(bytes[4], "lw"));
  const bool passwordKnown = bytes[5] && *bytes[5] <= 1;
  VANTRIX_FUZZ_CHECK(reply->password.has_value() == passwordKnown);
  if (passwordKnown) VANTRIX_FUZZ_CHECK(*reply->password == (*bytes[5] == 1));
}

bool IsDecimal(std::string_view text) {
  if (text.empty() || text.size() > 10) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The query results the engine keeps between datagrams, as the model sees them.
struct Carried {
  int players = 0;
  int maxPlayers = 0;
};

// What a reply does to its row, by the reference reading; the ping cell is only checked
// for being a decimal number, since its value depends on the clock.
ServerRow ExpectedRow(ServerRow row, const ReferenceReply& reply, Carried& carried) {
  row.cells[kWCell] = "+";
  if (!reply.hasTexts) return row;
  row.cells[kNameCell] = std::string(reply.name);
  row.cells[kMapCell] = std::string(reply.map);
  if (reply.trailing[0]) carried.players = *reply.trailing[0];
  if (reply.trailing[1]) carried.maxPlayers = *reply.trailing[1];
  row.cells[kPlayersCell] = std::to_string(carried.players) + "/" + std::to_string(carried.maxPlayers);
  if (const auto type = Letter(reply.trailing[3], "dlp")) row.cells[kDCell] = std::string(1, *type);
  if (const auto os = Letter(reply.trailing[4], "lw")) row.cells[kSCell] = std::string(1, *os);
  const auto password = reply.trailing[5];
  if (password && *password <= 1) row.cells[kPCell] = *password == 1 ? "+" : "-";
  return row;
}

void CheckSameRows(const std::vector<ServerRow>& before, const ServerTable& table, RowId except) {
  VANTRIX_FUZZ_CHECK(static_cast<int>(before.size()) == table.Count());
  for (int i = 0; i < table.Count(); ++i) {
    const ServerRow& row = table.Row(i);
    VANTRIX_FUZZ_CHECK(row.id == before[static_cast<std::size_t>(i)].id);
    VANTRIX_FUZZ_CHECK(row.address == before[static_cast<std::size_t>(i)].address);
    if (row.id != except) VANTRIX_FUZZ_CHECK(row.cells == before[static_cast<std::size_t>(i)].cells);
  }
}

class Harness {
 public:
  Harness() { AddRows(); }

  void Deliver(std::uint8_t control, std::string_view datagram) {
    const Sender& sender = kSenders[control & 3];
    const std::uint32_t lag = (control >> 2) & 0x1F;
    m_world.clock.Advance(lag + 1);
    const std::vector<ServerRow> before = m_world.table.Rows();
    const std::int32_t countBefore = m_world.engine.ReceivedCount();
    const std::size_t loggedBefore = m_world.logged.size();

    // The row a reply belongs to: the sender's row, or else the row queried last.
    RowId target = m_world.engine.CurrentRow();
    if (const auto match = m_world.table.FindRowByAddress(AddressOf(sender)))
      target = m_world.table.IdOf(*match);
    const auto reference = ReadReference(datagram);
    const auto position = m_world.table.PositionOf(target);
    Carried carried = m_carried;

    m_world.Deliver(datagram, sender.ip, sender.port, lag);

    VANTRIX_FUZZ_CHECK(m_world.engine.ReceivedCount() == countBefore + 1);
    VANTRIX_FUZZ_CHECK(m_world.status.Panel(1) == "recv " + std::to_string(countBefore + 1));
    VANTRIX_FUZZ_CHECK(m_world.logged.size() == loggedBefore + 1);
    VANTRIX_FUZZ_CHECK(m_world.logged.back() == datagram);
    if (!reference || !position) {
      CheckSameRows(before, m_world.table, kNoRow);
      return;
    }
    VANTRIX_FUZZ_CHECK(m_world.engine.CurrentRow() == target);
    CheckSameRows(before, m_world.table, target);
    const ServerRow expected = ExpectedRow(before[static_cast<std::size_t>(*position)], *reference, carried);
    const ServerRow& actual = m_world.table.Row(*position);
    VANTRIX_FUZZ_CHECK(IsDecimal(actual.cells[kPingCell]));
    for (int cell = 0; cell < kCellCount; ++cell) {
      if (cell != kPingCell) VANTRIX_FUZZ_CHECK(actual.cells[cell] == expected.cells[cell]);
    }
    m_carried = carried;
  }

  void Command(std::uint8_t control, std::string_view datagram) {
    if (m_world.table.Count() == 0) AddRows();
    const int op = (control >> 5) & 3;
    if (op == 1) {
      m_world.table.DeleteRow(0);
      if (m_world.table.Count() == 0) return;
    }
    const int position = (control & 0x1F) % m_world.table.Count();
    if (op < 2) {
      Check(position, datagram);
    } else {
      CheckAll(op == 3 ? position : -1, datagram);
    }
  }

 private:
  void AddRows() {
    for (std::size_t i = 0; i + 1 < kSenders.size(); ++i) m_world.AddRow(AddressOf(kSenders[i]));
  }

  void Serve(int position, std::string_view datagram) {
    const std::string address(m_world.table.Address(position));
    const std::size_t colon = address.find(':');
    m_world.Serve(address.substr(0, colon), std::stoi(address.substr(colon + 1)), std::string(datagram));
  }

  void SilenceAll() {
    for (const Sender& sender : kSenders) m_world.Silence(sender.ip, sender.port);
  }

  void Remember(const std::optional<ReferenceReply>& reference) {
    if (!reference || !reference->hasTexts) return;
    if (reference->trailing[0]) m_carried.players = *reference->trailing[0];
    if (reference->trailing[1]) m_carried.maxPlayers = *reference->trailing[1];
  }

  // The row of a server that answered with the datagram: a reply that ends the wait leaves
  // "+" and its texts, anything else is timed out.
  void CheckAnswered(const ServerRow& row, const ServerRow& before,
                     const std::optional<ReferenceReply>& reference) {
    const CellText& w = row.cells[kWCell];
    VANTRIX_FUZZ_CHECK(w == ((reference && reference->hasTexts) ? "+" : "-"));
    if (!reference) {
      for (int cell = 0; cell < kCellCount; ++cell) {
        if (cell != kWCell) VANTRIX_FUZZ_CHECK(row.cells[cell] == before.cells[cell]);
      }
      return;
    }
    VANTRIX_FUZZ_CHECK(IsDecimal(row.cells[kPingCell]));
    if (reference->hasTexts) {
      VANTRIX_FUZZ_CHECK(row.cells[kNameCell] == reference->name);
      VANTRIX_FUZZ_CHECK(row.cells[kMapCell] == reference->map);
    }
  }

  // "Check server" on a row whose server answers with the datagram.
  void Check(int position, std::string_view datagram) {
    Serve(position, datagram);
    m_world.table.SetSelectedIndex(position);
    const RowId row = m_world.table.IdOf(position);
    std::vector<ServerRow> before = m_world.table.Rows();
    const std::int32_t countBefore = m_world.engine.ReceivedCount();
    // The row's old results are blanked first unless its last query was answered.
    ServerRow& checkedBefore = before[static_cast<std::size_t>(position)];
    if (checkedBefore.cells[kWCell] != "+") {
      for (int cell : {kNameCell, kMapCell, kPingCell, kPlayersCell, kWCell, kDCell, kSCell, kPCell})
        checkedBefore.cells[cell] = kBlank;
    }

    m_world.engine.CheckServer();

    VANTRIX_FUZZ_CHECK(m_world.engine.CurrentRow() == row);
    VANTRIX_FUZZ_CHECK(m_world.engine.ReceivedCount() == countBefore + 1);
    VANTRIX_FUZZ_CHECK(m_world.status.Message() == "Idle...");
    CheckSameRows(before, m_world.table, row);
    const auto reference = ReadReference(datagram);
    CheckAnswered(m_world.table.Row(position), checkedBefore, reference);
    Remember(reference);
    SilenceAll();
  }

  // "Check all servers" with every server answering with the datagram but the silent one.
  void CheckAll(int silent, std::string_view datagram) {
    const int count = m_world.table.Count();
    for (int position = 0; position < count; ++position) {
      if (position != silent) Serve(position, datagram);
    }
    const std::vector<ServerRow> before = m_world.table.Rows();
    const std::int32_t countBefore = m_world.engine.ReceivedCount();

    m_world.engine.CheckAll();

    const int answered = count - (silent >= 0 ? 1 : 0);
    VANTRIX_FUZZ_CHECK(m_world.engine.ReceivedCount() == countBefore + answered);
    VANTRIX_FUZZ_CHECK(m_world.status.Message() == "Idle...");
    VANTRIX_FUZZ_CHECK(!m_world.engine.CheckAllActive());
    VANTRIX_FUZZ_CHECK(m_world.engine.CurrentRow() == m_world.table.IdOf(count - 1));
    VANTRIX_FUZZ_CHECK(m_world.table.Count() == count);
    const auto reference = ReadReference(datagram);
    for (int position = 0; position < count; ++position) {
      const ServerRow& row = m_world.table.Row(position);
      const ServerRow& old = before[static_cast<std::size_t>(position)];
      VANTRIX_FUZZ_CHECK(row.id == old.id && row.address == old.address);
      if (position == silent) {
        VANTRIX_FUZZ_CHECK(row.cells[kWCell] == "-");
        for (int cell = 0; cell < kCellCount; ++cell) {
          if (cell != kWCell) VANTRIX_FUZZ_CHECK(row.cells[cell] == old.cells[cell]);
        }
        continue;
      }
      CheckAnswered(row, old, reference);
      // In a run the ping is the row's own receive time less its own send time.
      if (reference) {
        const auto ping =
            static_cast<std::int32_t>(m_world.engine.ReceiveTime(row.id) - m_world.engine.SendTime(row.id));
        VANTRIX_FUZZ_CHECK(row.cells[kPingCell] == std::to_string(ping));
      }
    }
    Remember(reference);
    SilenceAll();
  }

  vantrix::test::FakeQueryWorld m_world;
  Carried m_carried;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantrix::fuzz::FuzzInput input(data, size);
  Harness harness;
  // Bounded: every step takes at least its control byte.
  while (!input.AtEnd()) {
    const std::uint8_t control = input.Byte();
    const std::string_view datagram = input.Frame();
    CheckDecoder(datagram);
    if (control & 0x80) {
      harness.Command(control, datagram);
    } else {
      harness.Deliver(control, datagram);
    }
  }
  return 0;
}
