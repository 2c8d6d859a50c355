#include "core/protocol/ByteCursor.h"

#include <string>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

using namespace std::string_literals;

TEST(ByteCursor, ReadsAdvanceAndFailedReadsStayPut) {
  const std::string bytes = "\x01\x02\x03\x04\x05"s;
  ByteCursor cursor(bytes);
  EXPECT_EQ(cursor.Remaining(), 5u);
  EXPECT_EQ(cursor.PeekByte(4), 5);
  EXPECT_FALSE(cursor.PeekByte(5));
  EXPECT_EQ(cursor.ReadByte(), 1);
  EXPECT_FALSE(cursor.ReadBytes(5));  // only four left
  EXPECT_FALSE(cursor.Skip(5));
  EXPECT_EQ(cursor.Position(), 1u);
  EXPECT_EQ(cursor.ReadBytes(2), "\x02\x03");
  EXPECT_FALSE(cursor.ReadUInt32LE());
  EXPECT_EQ(cursor.Position(), 3u);
  EXPECT_EQ(cursor.ReadUInt16LE(), 0x0504);
  EXPECT_TRUE(cursor.AtEnd());
  EXPECT_FALSE(cursor.ReadByte());
  EXPECT_TRUE(cursor.Seek(0));
  EXPECT_FALSE(cursor.Seek(6));
  EXPECT_EQ(cursor.Rest(), bytes);
}

TEST(ByteCursor, LittleEndianNumbers) {
  const std::string bytes =
      "\x2C\x01\x00\x00"
      "\xFF\xFF\xFF\xFF"
      "\x79\xE9\xF6\x42"
      "\x00\x00\x00\x80"s;
  ByteCursor cursor(bytes);
  EXPECT_EQ(cursor.ReadInt32LE(), 300);
  EXPECT_EQ(cursor.ReadInt32LE(), -1);
  EXPECT_FLOAT_EQ(*cursor.ReadFloat32LE(), 123.456f);
  EXPECT_EQ(cursor.ReadUInt32LE(), 0x80000000u);
  EXPECT_TRUE(cursor.AtEnd());
}

TEST(ByteCursor, ZeroTerminatedTextsAndPrefixes) {
  const std::string bytes =
      "\xFF\xFF"
      "ab\x00\x00"
      "cd"s;
  ByteCursor cursor(bytes);
  EXPECT_FALSE(cursor.SkipPrefix("\xFF\xFE"));
  EXPECT_EQ(cursor.Position(), 0u);
  EXPECT_TRUE(cursor.SkipPrefix("\xFF\xFF"));
  EXPECT_EQ(cursor.Find(0), 2u);
  EXPECT_EQ(cursor.ReadZeroTerminated(), "ab");
  EXPECT_EQ(cursor.ReadZeroTerminated(), "");  // an empty text that is terminated
  EXPECT_EQ(cursor.Position(), 6u);
  EXPECT_FALSE(cursor.ReadZeroTerminated());  // "cd" has no zero: nothing read
  EXPECT_EQ(cursor.Position(), 6u);
  EXPECT_FALSE(cursor.Find(0));
  EXPECT_TRUE(cursor.StartsWith("cd"));
  EXPECT_FALSE(cursor.StartsWith("cde"));
}

}  // namespace
}  // namespace vantrix
