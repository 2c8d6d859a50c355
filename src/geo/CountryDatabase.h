#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "geo/Country.h"

struct loc_ctx;
struct loc_database;

namespace vantrix {

// The file the location library reads by default; Debian's packages keep it current.
inline constexpr std::string_view kDefaultCountryDatabase = "/var/lib/location/database.db";

// The offline location database, opened read-only. Not thread-safe: one thread asks it.
class CountryDatabase {
 public:
  // nullptr when the file is missing, unreadable, truncated or not a location database: the
  // sections its header names must all lie inside the file, so a cut-off copy is refused
  // before the library maps it.
  static std::unique_ptr<CountryDatabase> Open(const std::string& path);
  ~CountryDatabase();
  CountryDatabase(const CountryDatabase&) = delete;
  CountryDatabase& operator=(const CountryDatabase&) = delete;

  // The country of an IPv4 address (host byte order); nullopt for addresses the database
  // places nowhere (loopback, private ranges, unknown) and for its special codes
  // (anonymous proxies, satellite providers, anycast).
  std::optional<Country> Lookup(std::uint32_t ipv4);

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

  CountryDatabase(FilePtr file, loc_ctx* context, loc_database* database);

  FilePtr m_file;
  std::unordered_map<std::string, std::string> m_names;  // by code, as asked so far
  loc_ctx* m_context;
  loc_database* m_database;
};

}  // namespace vantrix
