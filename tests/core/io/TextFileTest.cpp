#include "core/io/TextFile.h"

#include <sys/stat.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "core/io/FileWriter.h"
#include "core/io/SafeFileWriter.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using test::Slurp;
using test::Spit;
using test::TempDir;

TEST(LineReader, FollowsTheLineRules) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\rb\r\n"), (std::vector<std::string>{"ab"}));  // lone CR dropped
  EXPECT_EQ(SplitLines("a\n\nb\x1A"
                       "c\nd"),
            (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
  EXPECT_EQ(SplitLines("\x1A"
                       "a"),
            std::vector<std::string>{});
  std::string zeros("x\0y\n", 4);
  EXPECT_EQ(SplitLines(zeros), std::vector<std::string>{std::string("x\0y", 3)});
  LineReader reader("one");
  EXPECT_EQ(reader.ReadLine(), "one");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(), "");
}

TEST(ReadFileBytes, TellsCannotOpenFromReadErrors) {
  TempDir dir;
  std::string bytes;
  EXPECT_FALSE(ReadFileBytes(dir / "missing.txt", bytes));
  // A folder is no file: it is refused like a missing one, with the reason in errno.
  errno = 0;
  EXPECT_FALSE(ReadFileBytes(dir.Path(), bytes));
  EXPECT_EQ(errno, EISDIR);
  // A file that opens but cannot be read (the first page of memory is never mapped).
  EXPECT_THROW(ReadFileBytes("/proc/self/mem", bytes), FileReadError);
  Spit(dir / "f", std::string("a\0\xFF", 3));
  ASSERT_TRUE(ReadFileBytes(dir / "f", bytes));
  EXPECT_EQ(bytes, std::string("a\0\xFF", 3));
}

TEST(SafeFileWriter, ReplacesOnlyWhenEverythingWasWritten) {
  TempDir dir;
  const auto target = dir / "list.vnx";
  Spit(target, "old");
  ::chmod(target.c_str(), 0640);
  {
    SafeFileWriter writer(target, WriteLimit{4});
    ASSERT_TRUE(writer.Open());
    EXPECT_THROW(writer.Write("new content"), FileWriteError);
  }
  EXPECT_EQ(Slurp(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left

  SafeFileWriter writer(target);
  ASSERT_TRUE(writer.Open());
  writer.Write("new");
  EXPECT_EQ(Slurp(target), "old");
  writer.Commit();
  EXPECT_EQ(Slurp(target), "new");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A target whose name is near the longest a name may be still gets a temporary beside it,
// so a failed write leaves the old content whole.
TEST(SafeFileWriter, ALongNameStillKeepsTheOldContentOnAFailure) {
  TempDir dir;
  const auto target = dir / (std::string(250, 'n') + ".vnx");
  Spit(target, "old content");
  {
    SafeFileWriter writer(target, WriteLimit{5});
    ASSERT_TRUE(writer.Open());
    EXPECT_THROW(writer.Write("new content"), FileWriteError);
  }
  EXPECT_EQ(Slurp(target), "old content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  SafeFileWriter writer(target);
  ASSERT_TRUE(writer.Open());
  writer.Write("new content");
  writer.Commit();
  EXPECT_EQ(Slurp(target), "new content");
}

TEST(SafeFileWriter, FollowsLinksAndRefusesFolders) {
  TempDir dir;
  Spit(dir / "real.txt", "old");
  std::filesystem::create_symlink("real.txt", dir / "link.txt");
  SafeFileWriter writer(dir / "link.txt");
  ASSERT_TRUE(writer.Open());
  writer.Write("via link");
  writer.Commit();
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
  EXPECT_EQ(Slurp(dir / "real.txt"), "via link");

  EXPECT_FALSE(SafeFileWriter(dir.Path()).Open());
  EXPECT_FALSE(SafeFileWriter(dir / "missing" / "x.txt").Open());
}

TEST(FileWriter, KeepsWhatWasWrittenBeforeAFailure) {
  TempDir dir;
  FileWriter writer(dir / "_list.txt", WriteLimit{3});
  ASSERT_TRUE(writer.Open());
  EXPECT_THROW(writer.Write("abcdef"), FileWriteError);
  writer.Close();
  EXPECT_EQ(Slurp(dir / "_list.txt"), "abc");
  EXPECT_FALSE(FileWriter(dir.Path()).Open());
}

}  // namespace
}  // namespace vantrix
