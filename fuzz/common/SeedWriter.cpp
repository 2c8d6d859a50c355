// Writes the seed inputs of the fuzz targets: valid replies from the reply builders, the sample
// files of the tests, and a few edge cases, each in the input format of its target.
//   build/bin/fuzz_seeds fuzz/corpus
// Files already there (the crashes found so far, the inputs kept from runs) are left alone.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/lists/ListFile.h"
#include "core/protocol/RulesCollector.h"
#include "core/settings/SettingsText.h"
#include "fake/FakeReplies.h"
#include "support/FakeQueryWorld.h"
#include "support/TestData.h"

namespace {

using namespace vantrix;
namespace fs = std::filesystem;

class SeedDir {
 public:
  SeedDir(const fs::path& root, const std::string& target) : m_dir(root / target) {
    fs::create_directories(m_dir);
  }

  void Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(m_dir / ("seed-" + name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (m_dir / name).string());
  }

  void Copy(const std::string& name, const fs::path& from) const { Write(name, test::Slurp(from)); }

 private:
  fs::path m_dir;
};

// A control byte, then the bytes with their 2-byte little-endian length.
std::string Frame(std::uint8_t control, std::string_view bytes) {
  std::string out(1, static_cast<char>(control));
  out.push_back(static_cast<char>(bytes.size() & 0xFF));
  out.push_back(static_cast<char>((bytes.size() >> 8) & 0xFF));
  out.append(bytes);
  return out;
}

// Letters and digits as they are, anything else as "_".
std::string FileNamePart(std::string_view text) {
  std::string name;
  for (const char c : text) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    name.push_back(plain ? c : '_');
  }
  return name;
}

void WriteInfoSeeds(const SeedDir& dir) {
  const std::string alpha = test::SampleInfoReply();
  const std::string beta = test::SampleInfoReply("Beta \xE9", "cs_office", 0, 32, 'p', 'w', 1);
  const std::string listen = test::SampleInfoReply("", "", 255, 255, 'l', 'l', 2);
  dir.Write("from-row", Frame(0, alpha));
  dir.Write("from-second-row", Frame(1, beta) + Frame(2, listen));
  dir.Write("unknown-sender-after-row", Frame(0, alpha) + Frame(3, beta));
  dir.Write("cut-short", Frame(0, alpha.substr(0, alpha.size() - 4)) + Frame(0, alpha.substr(0, 9)));
  dir.Write("no-zero-byte", Frame(0, std::string_view("\xFF\xFF\xFF\xFFmabc", 8)));
  dir.Write("not-a-reply", Frame(0, std::string_view("\xFF\xFF\xFF\xFF\x44\x00", 6)) + Frame(1, ""));
  dir.Write("check", Frame(0x80, alpha) + Frame(0x81, "garbage") + Frame(0x82, listen));
  dir.Write("check-after-delete", Frame(0, alpha) + Frame(0xA1, beta) + Frame(3, alpha));
  dir.Write("check-all", Frame(0xC0, alpha) + Frame(0xC0, "not a reply") + Frame(0xC0, listen.substr(0, 12)));
  dir.Write("check-all-one-silent", Frame(0xE1, beta) + Frame(0, alpha) + Frame(0xE0, alpha));
}

void WritePlayersSeeds(const SeedDir& dir) {
  dir.Write("none", fake::BuildPlayersReply({}));
  dir.Write("one", fake::BuildPlayersReply({{0, "Player", 12, 30.5f}}));
  const std::string three =
      fake::BuildPlayersReply({{0, "a", -1, 1.0f}, {1, "", 256, 2.0f}, {2, "\xFF\x01", 7, 0.0f}});
  dir.Write("three", three);
  dir.Write("cut-short", three.substr(0, three.size() - 3));
  std::string overcounted = fake::BuildPlayersReply({{0, "x", 3, 1.0f}});
  overcounted[5] = '\x7F';
  dir.Write("overcounted", overcounted);
  dir.Write("other-type",
            std::string_view("\xFF\xFF\xFF\xFF\x45\x01\x00x\x00\x00\x00\x00\x00\x00\x00\x00\x00", 17));
}

void WriteRulesSeeds(const SeedDir& dir) {
  const std::string reply =
      fake::BuildRulesReply({{"sv_gravity", "800"}, {"mp_timelimit", "30"}, {"", "skipped"}});
  dir.Write("whole", Frame(0, reply));
  std::string parts;
  for (const std::string& part : fake::SplitReply(reply, 7, 3)) parts += Frame(0, part);
  dir.Write("split-parts", parts);
  std::string reversed;
  const auto pieces = fake::SplitReply(reply, 8, 4);
  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) reversed += Frame(1, *it);
  dir.Write("split-reversed", reversed + Frame(2, pieces.front()));
  dir.Write("split-op", Frame(0xF3, reply).insert(1, 1, '\x05'));
  // The buffer: a datagram holding the marker after a header, then continuations.
  const std::string head = std::string(9, 'h') + reply.substr(0, 20);
  const std::string tail = std::string(9, 't') + reply.substr(20);
  dir.Write("buffer", Frame(0, head) + Frame(0, tail) + Frame(0xF0, "") + Frame(0, tail));
  std::string unusable = pieces[0];
  unusable[8] = '\x00';
  dir.Write("unusable-packet-byte", Frame(0, unusable) + Frame(0, pieces[1]));
  // Past the caps: the buffer, the continuations and the split parts held.
  dir.Write("buffer-cap", Frame(0, head) + Frame(0xEF, tail) + Frame(0xE7, tail) + Frame(0xE8, tail));
  // Continuations without a zero byte are kept whole, so only the cap holds them back.
  const std::string unended = std::string(9, 'u') + "no pair ends here";
  dir.Write("unended-cap",
            Frame(0, head) + Frame(0xE9, unended) + Frame(0xE9, unended) + Frame(0xEF, unended));
  std::string continuations = Frame(0, head);
  for (int i = 0; i < RulesCollector::kMaxContinuations + 2; ++i) continuations += Frame(0, tail);
  dir.Write("continuation-cap", continuations);
  std::string pending;
  for (std::uint32_t number = 1; number <= 6; ++number)
    pending += Frame(number % 2 ? 0xEF : 0xE9, fake::SplitReply(reply, number, 2)[number % 2]);
  dir.Write("pending-cap", pending);
  dir.Write("name-without-value", Frame(0, std::string_view("\xFF\xFF\xFF\xFF\x45\x01\x00name\x00val", 13)));
}

void WriteCurrentInfoSeeds(const SeedDir& dir) {
  fake::CurrentInfoFields fields;
  fields.name = "Alpha";
  fields.map = "de_dust2";
  fields.players = 12;
  fields.maxPlayers = 20;
  const std::string whole = fake::BuildCurrentInfoReply(fields);
  dir.Write("whole", whole);
  dir.Write("cut-in-map", whole.substr(0, 15));
  dir.Write("cut-after-players", whole.substr(0, whole.find("1.0.0.0") - 6));
  fields.serverType = 'p';
  fields.environment = 'o';
  fields.visibility = 1;
  fields.extraFlags = 0xF1;
  fields.keywords = "a,b";
  dir.Write("letters-and-extra", fake::BuildCurrentInfoReply(fields));
  dir.Write("protocol-only", std::string_view("\xFF\xFF\xFF\xFFI\x11", 6));
}

void WriteCurrentExchangeSeeds(const SeedDir& dir) {
  std::vector<fake::Rule> rules;
  for (int i = 0; i < 80; ++i) rules.push_back({"sv_rule" + std::to_string(i), std::to_string(i)});
  const std::string reply = fake::BuildRulesReply(rules);
  const std::string challenge = fake::BuildChallengeReply(0x01020304u);
  dir.Write("challenge-then-reply", Frame(0, challenge) + Frame(0, reply));
  dir.Write("stranger", Frame(1, challenge) + Frame(1, reply) + Frame(0, reply));
  std::string compressed = Frame(0, challenge);
  for (const std::string& part : fake::SplitReplyBySize(reply, 0x11, 100, true)) compressed += Frame(0, part);
  dir.Write("compressed-split", compressed);
  std::string older;
  for (const std::string& part : fake::SplitReply(reply, 7, 3)) older = Frame(0, part) + older;
  dir.Write("older-split-reversed", older);
  const std::string players = fake::BuildPlayersReply({{0, "Ann", 5, 1.0f}, {0, "Bob", 300, 2.0f}});
  dir.Write("players-twice", Frame(0, challenge) + Frame(0, players) + Frame(0, players) + Frame(2, players));
  std::string endless;
  for (std::uint32_t c = 0; c < 5; ++c) endless += Frame(0, fake::BuildChallengeReply(c));
  dir.Write("endless-challenge", endless);
}

void FillSample(ServerTable& table) {
  ServerRow row = ServerRow::Blank("10.0.0.1:27015");
  row.cells[kNameCell] = "Alpha";
  row.cells[kCommentCell] = "clan";
  table.AppendRow(row);
  table.AppendRow(ServerRow::Empty("10.0.0.2:27016"));
}

void WriteListSeeds(const SeedDir& records, const SeedDir& plain) {
  ServerTable sample;
  FillSample(sample);
  const fs::path lists = test::DataDir() / "lists";
  records.Copy("records.vnx", lists / "records.vnx");
  records.Copy("ctrlz.vnx", lists / "ctrlz.vnx");
  records.Write("saved", FormatRecordLayout(sample));
  records.Write("cut-short", "\r\n\r\n10.0.0.3:27015\r\nname\r\nmap\n");
  records.Write("fields", std::string_view("a\0b\0c\r\0\0\0\0\0\0\0\0\0x\x1Ay", 18));
  plain.Copy("plain.txt", lists / "plain.txt");
  plain.Copy("cr_only.txt", lists / "cr_only.txt");
  plain.Write("saved", FormatPlainLayout(sample));
  plain.Write("bars-and-gaps", "a|b|c\r\n\r\n|\n\rx\x1Ahidden\n");
}

void WriteConfigSeeds(const SeedDir& config, const SeedDir& colors) {
  config.Write("default", DefaultSettingsText());
  config.Write("mixed",
               "// comment\r\nbuffersize=4096\r\nBROADCAST=1\r\nudpdelay= 7\r\nPacketLog=yes\r\n"
               "connect=0\r\nDefaultPort=27016\r\nprogress=0\r\nlistcolor=clnavy\r\nTextColor=$0000FF00\r\n");
  config.Write("bad-colour", "UDPDelay=9\r\nListColor=blue\r\nConnect=0\r\n");
  config.Write("twice",
               "DefaultPort=1\nDefaultPort=2\nnoequals\n=x\nTextColor=-1\n\x1A"
               "Connect=0\n");
  for (const std::string_view text :
       {"clWhite", "CLBTNFACE", "clnone", "$FF00", "$ffffffff", "-1", "+$10", "2147483647", "-2147483648",
        "2147483648", "$100000000", "0000000000012", "", " 1", "12a"}) {
    colors.Write("colour-" + FileNamePart(text), text);
  }
}

void WriteImportSeeds(const SeedDir& orbisk, const SeedDir& trelvanox) {
  const fs::path imports = test::DataDir() / "imports";
  orbisk.Copy("orbisk.ini", imports / "orbisk.ini");
  orbisk.Write("no-section", "[General]\r\n10.0.0.1 port=27015\r\n");
  orbisk.Write("odd-entries", "[Favorites]\nnospace\n a=b=c\nx y\n[Favorites]\nz port=1\n[Next]\nq port=2\n");
  trelvanox.Copy("trelvanox.txt", imports / "trelvanox.txt");
  trelvanox.Write("short-lines", "server\r\nservers\r\nSERVER=1.2.3.4:5\r\nserve=x\r\n");
}

void WritePasteSeeds(const SeedDir& paste) {
  paste.Write("one-address", "10.0.0.1:27015");
  paste.Write("lines",
              "10.0.0.1:27015|30\r\n10.0.0.2:27015|12\r\n10.0.0.1:27015|x\r\n10.0.0.3:27015\r\nrest");
  paste.Write("lf-and-cr", "a|5\nb|-3\r\nc\rd|1\n\n|2\r\r\n");
  paste.Write("duplicates", "x|3\nx|2\ny|1\nx|0\ny| \n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  WriteInfoSeeds(SeedDir(root, "info_reply"));
  WritePlayersSeeds(SeedDir(root, "players_reply"));
  WriteRulesSeeds(SeedDir(root, "rules_collector"));
  WriteCurrentInfoSeeds(SeedDir(root, "current_info_reply"));
  WriteCurrentExchangeSeeds(SeedDir(root, "current_exchange"));
  WriteListSeeds(SeedDir(root, "record_list"), SeedDir(root, "plain_list"));
  WriteConfigSeeds(SeedDir(root, "config_ini"), SeedDir(root, "color_text"));
  WriteImportSeeds(SeedDir(root, "orbisk_import"), SeedDir(root, "trelvanox_import"));
  WritePasteSeeds(SeedDir(root, "clipboard_paste"));
  return 0;
}
