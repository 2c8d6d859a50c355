#include "history/SqliteStatement.h"

#include <sqlite3.h>

#include "history/HistoryError.h"

namespace vantrix {

void ThrowSqliteError(sqlite3* db, int code, std::string_view what) {
  HistoryError::Kind kind = HistoryError::Kind::kOther;
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      kind = HistoryError::Kind::kLocked;
      break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      kind = HistoryError::Kind::kCorrupt;
      break;
    case SQLITE_FULL:
      kind = HistoryError::Kind::kFull;
      break;
    default:
      break;
  }
  const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  throw HistoryError(kind, std::string(what) + ": " + message);
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : m_db(db) {
  const int code = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr);
  if (code != SQLITE_OK) ThrowSqliteError(db, code, "prepare");
}

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(m_statement);
}

void SqliteStatement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::Bind(int index, std::optional<std::int64_t> value) {
  if (value)
    sqlite3_bind_int64(m_statement, index, *value);
  else
    sqlite3_bind_null(m_statement, index);
}

bool SqliteStatement::Step() {
  const int code = sqlite3_step(m_statement);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  sqlite3_reset(m_statement);
  ThrowSqliteError(m_db, code, "step");
}

void SqliteStatement::Run() {
  while (Step()) {
  }
  Reset();
}

void SqliteStatement::Reset() {
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
}

std::int64_t SqliteStatement::Int(int column) const {
  return sqlite3_column_int64(m_statement, column);
}

std::optional<std::int64_t> SqliteStatement::OptionalInt(int column) const {
  if (sqlite3_column_type(m_statement, column) == SQLITE_NULL) return std::nullopt;
  return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::Real(int column) const {
  return sqlite3_column_double(m_statement, column);
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))) : "";
}

}  // namespace vantrix
