#include "core/io/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/io/FileOpen.h"
#include "core/io/TextFile.h"
#include "core/io/WriteAll.h"

namespace fs = std::filesystem;

namespace vantrix {

namespace {

// Follows a chain of symbolic links to the file that really gets written.
fs::path ResolveTarget(const fs::path& target) {
  fs::path current = target;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
    fs::path next = fs::read_symlink(current, ec);
    if (ec) return current;
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return current;
}

std::size_t NameLimit(const fs::path& folder) {
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

SafeFileWriter::SafeFileWriter(fs::path target, WriteLimit limit)
    : m_target(std::move(target)), m_limit(limit) {}

SafeFileWriter::~SafeFileWriter() {
  if (!m_committed) Abandon();
}

bool SafeFileWriter::Open() {
  m_resolved = ResolveTarget(m_target);
  struct stat existing {};
  const bool exists = ::stat(m_resolved.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return false;
  // A file the user may not write stays as it is, although its folder would let a new one
  // take its place: write protection is the user's "keep this file".
  if (exists && ::faccessat(AT_FDCWD, m_resolved.c_str(), W_OK, AT_EACCESS) != 0) return false;
  // A FIFO or a device is written into, never replaced by a regular file.
  if (exists && !S_ISREG(existing.st_mode)) {
    m_fd.Reset(OpenForWriting(m_resolved));
    return m_fd.Valid();
  }

  const fs::path folder = m_resolved.has_parent_path() ? m_resolved.parent_path() : fs::path(".");
  // A name the folder cannot hold is known now, not only when the finished file is renamed.
  if (!exists && m_resolved.filename().string().size() > NameLimit(folder)) return false;
  // A short name of its own: one built from the target's could pass the length limit of a
  // name when the target's is long.
  std::string pattern = (folder / ".vantrix-save-XXXXXX").string();
  m_fd.Reset(::mkstemp(pattern.data()));
  if (m_fd.Valid()) {
    m_temp = pattern;
    ::fchmod(m_fd.Get(), exists ? (existing.st_mode & 07777) : NewFileMode());
    if (exists) {
      // Keeping the owner needs privileges; without them the file simply becomes ours.
      [[maybe_unused]] const int ignored = ::fchown(m_fd.Get(), existing.st_uid, existing.st_gid);
    }
    return true;
  }
  // Only a folder that takes no new file is a reason to write in place; any other failure
  // (a full disk, a quota) would leave the old content emptied if the write then failed.
  if (errno != EACCES && errno != EPERM) return false;
  m_fd.Reset(OpenForWriting(m_resolved));
  return m_fd.Valid();
}

void SafeFileWriter::Write(std::string_view bytes) {
  if (!m_fd.Valid()) throw FileWriteError("File is not open: " + m_target.string());
  try {
    WriteAll(m_fd.Get(), bytes, m_limit, m_written, m_target);
  } catch (...) {
    Abandon();
    throw;
  }
}

void SafeFileWriter::Commit() {
  if (!m_fd.Valid()) throw FileWriteError("File is not open: " + m_target.string());
  if (::fsync(m_fd.Get()) != 0 && errno != EINVAL) Fail("Write error on ");
  const int fd = m_fd.Release();
  if (::close(fd) != 0) Fail("Write error on ");
  if (!m_temp.empty() && ::rename(m_temp.c_str(), m_resolved.c_str()) != 0) Fail("Cannot replace ");
  m_temp.clear();
  m_committed = true;
}

void SafeFileWriter::Fail(const std::string& what) {
  const std::string reason = std::strerror(errno);
  Abandon();
  throw FileWriteError(what + m_target.string() + ": " + reason);
}

void SafeFileWriter::Abandon() {
  m_fd.Reset();
  if (!m_temp.empty()) {
    ::unlink(m_temp.c_str());
    m_temp.clear();
  }
}

}  // namespace vantrix
