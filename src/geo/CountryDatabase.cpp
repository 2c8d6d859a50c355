#include "geo/CountryDatabase.h"

#include <arpa/inet.h>

#include <array>
#include <cstdarg>
#include <cstring>

// The library's headers other than libloc.h declare C functions without saying so.
extern "C" {
#include <libloc/country.h>
#include <libloc/database.h>
#include <libloc/libloc.h>
#include <libloc/network.h>
}

namespace vantrix {

namespace {

// The file's start: the magic text with its version byte, then the header, whose numbers are
// big-endian: creation time (8 bytes), vendor, description, licence, and the offset and
// length of each of the five sections (4 bytes each), then two signatures.
constexpr std::array<char, 7> kMagic{'L', 'O', 'C', 'D', 'B', 'X', 'X'};
constexpr std::size_t kVersionAt = 7;
constexpr std::uint8_t kVersion1 = 1;
constexpr std::size_t kSectionsAt = 8 + 8 + 3 * 4;
constexpr std::size_t kSectionCount = 5;
constexpr std::size_t kHeaderEnd = 8 + 4200;

std::uint32_t BigEndian32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
         std::uint32_t{bytes[3]};
}

bool HeaderFitsFile(std::FILE* file) {
  std::array<unsigned char, kSectionsAt + kSectionCount * 8> header{};
  if (std::fread(header.data(), 1, header.size(), file) != header.size()) return false;
  if (std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0 || header[kVersionAt] != kVersion1)
    return false;
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file);
  if (size < static_cast<long>(kHeaderEnd)) return false;
  for (std::size_t section = 0; section < kSectionCount; ++section) {
    const unsigned char* at = header.data() + kSectionsAt + section * 8;
    const std::uint64_t end = std::uint64_t{BigEndian32(at)} + BigEndian32(at + 4);
    if (end > static_cast<std::uint64_t>(size)) return false;
  }
  return std::fseek(file, 0, SEEK_SET) == 0;
}

// The library reports its own troubles on stderr; a missing country is no news here.
void Quiet(loc_ctx*, int, const char*, int, const char*, const char*, va_list) {}

}  // namespace

std::unique_ptr<CountryDatabase> CountryDatabase::Open(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "rbe"));
  if (!file || !HeaderFitsFile(file.get())) return nullptr;
  loc_ctx* context = nullptr;
  if (loc_new(&context) != 0 || !context) return nullptr;
  loc_set_log_fn(context, Quiet);
  loc_database* database = nullptr;
  if (loc_database_new(context, &database, file.get()) != 0 || !database) {
    loc_unref(context);
    return nullptr;
  }
  return std::unique_ptr<CountryDatabase>(new CountryDatabase(std::move(file), context, database));
}

// The stream stays open as long as the library may read through it.
CountryDatabase::CountryDatabase(FilePtr file, loc_ctx* context, loc_database* database)
    : m_file(std::move(file)), m_context(context), m_database(database) {}

CountryDatabase::~CountryDatabase() {
  loc_database_unref(m_database);
  loc_unref(m_context);
}

std::optional<Country> CountryDatabase::Lookup(std::uint32_t ipv4) {
  // IPv4 addresses are looked up in their IPv6-mapped form (::ffff:a.b.c.d).
  in6_addr address{};
  address.s6_addr[10] = 0xFF;
  address.s6_addr[11] = 0xFF;
  const std::uint32_t network = htonl(ipv4);
  std::memcpy(&address.s6_addr[12], &network, sizeof network);

  loc_network* found = nullptr;
  if (loc_database_lookup(m_database, &address, &found) != 0 || !found) return std::nullopt;
  const char* codeText = loc_network_get_country_code(found);
  std::string code = codeText ? codeText : "";
  loc_network_unref(found);
  if (code.size() != 2 || loc_country_special_code_to_flag(code.c_str()) != 0) return std::nullopt;

  // A country's name is looked up once: most addresses share a few dozen countries.
  auto named = m_names.find(code);
  if (named == m_names.end()) {
    std::string text;
    loc_country* country = nullptr;
    if (loc_database_get_country(m_database, &country, code.c_str()) == 0 && country) {
      if (const char* nameText = loc_country_get_name(country)) text = nameText;
      loc_country_unref(country);
    }
    named = m_names.emplace(code, std::move(text)).first;
  }
  const std::string& name = named->second;
  if (name.empty()) return std::nullopt;
  return Country{std::move(code), name};
}

}  // namespace vantrix
