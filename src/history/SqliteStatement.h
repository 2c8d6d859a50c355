#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vantrix {

// A prepared statement, finalized when it goes. Step and Run throw HistoryError with the
// database's message; Reset makes it ready for the next bindings.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  void Bind(int index, std::int64_t value);
  void Bind(int index, std::string_view text);
  void Bind(int index, std::optional<std::int64_t> value);
  // True while a row is there to read.
  bool Step();
  // Runs to the end and resets.
  void Run();
  void Reset();

  std::int64_t Int(int column) const;
  std::optional<std::int64_t> OptionalInt(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;

 private:
  sqlite3* m_db;
  sqlite3_stmt* m_statement = nullptr;
};

// Throws the HistoryError that matches an SQLite result code (the extended one is fine).
[[noreturn]] void ThrowSqliteError(sqlite3* db, int code, std::string_view what);

}  // namespace vantrix
