#include "core/io/ListFileLines.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using test::Spit;
using test::TempDir;

// Every call a reader of a file gives: AtEnd before each line, then the line, and one read
// past the end, so differences in where the end is seen show up too.
template <class Lines>
std::vector<std::string> Trace(Lines& lines) {
  std::vector<std::string> trace;
  for (int guard = 0; guard < 100000; ++guard) {
    if (lines.AtEnd()) break;
    trace.push_back(lines.ReadLine());
  }
  trace.push_back("<end>" + lines.ReadLine());
  return trace;
}

TEST(ListFileLines, ReadsAFileExactlyAsTheInMemoryReaderReadsItsBytes) {
  TempDir dir;
  std::mt19937 rng(7);
  // Mostly the bytes that matter, so that CR LF pairs, lone CRs and 0x1A are frequent.
  const std::string alphabet = std::string("\r\n\x1A", 3) + "ab|" + std::string(1, '\0') + "\xFF";
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<size_t> length(0, 300);
  for (int round = 0; round < 150; ++round) {
    std::string bytes;
    const size_t n = length(rng);
    for (size_t i = 0; i < n; ++i) bytes.push_back(alphabet[pick(rng)]);
    if (round % 3 == 0) bytes.erase(std::remove(bytes.begin(), bytes.end(), '\x1A'), bytes.end());
    Spit(dir / "f", bytes);
    LineReader expected(bytes);
    const auto want = Trace(expected);
    for (size_t chunk :
         {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{64}, ListFileLines::kDefaultChunk}) {
      ListFileLines lines(chunk);
      ASSERT_TRUE(lines.Open(dir / "f"));
      EXPECT_EQ(Trace(lines), want) << "round " << round << " chunk " << chunk;
    }
  }
}

TEST(ListFileLines, HasNoLineLengthLimitAndStopsAtCtrlZ) {
  TempDir dir;
  const std::string longLine(200000, 'x');
  Spit(dir / "f", longLine + "\r\nnext\x1A" + "after\r\n");
  ListFileLines lines(1000);
  ASSERT_TRUE(lines.Open(dir / "f"));
  EXPECT_EQ(lines.ReadLine(), longLine);
  EXPECT_EQ(lines.ReadLine(), "next");
  EXPECT_TRUE(lines.AtEnd());
  EXPECT_EQ(lines.ReadLine(), "");
}

TEST(ListFileLines, TellsAFileThatCannotBeOpenedFromOneThatCannotBeRead) {
  TempDir dir;
  ListFileLines lines;
  EXPECT_FALSE(lines.Open(dir / "missing.txt"));
  EXPECT_TRUE(lines.AtEnd());
  // A folder is refused like a file that is not there.
  EXPECT_FALSE(lines.Open(dir.Path()));
  EXPECT_TRUE(lines.AtEnd());
  // A file that opens but gives a read error, which is not the end of a file.
  ASSERT_TRUE(lines.Open("/proc/self/mem"));
  EXPECT_THROW(lines.AtEnd(), FileReadError);
  EXPECT_TRUE(lines.AtEnd());  // released after the error

  Spit(dir / "empty", "");
  ASSERT_TRUE(lines.Open(dir / "empty"));  // the same reader opens the next file afresh
  EXPECT_TRUE(lines.AtEnd());
}

}  // namespace
}  // namespace vantrix
