#include "core/master/MasterPage.h"

#include <string>

#include <gtest/gtest.h>

#include "core/master/MasterAddress.h"
#include "core/master/MasterRequest.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

TEST(MasterRequestTest, RequestBytesCarryRegionSeedAndFilter) {
  EXPECT_EQ(BuildMasterRequest(0xFF, kFirstSeed, ""),
            "\x31\xFF"
            "0.0.0.0:0\0\0"s);
  EXPECT_EQ(BuildMasterRequest(0x03, "10.0.0.5:27015", "\\appid\\10"),
            "\x31\x03"
            "10.0.0.5:27015\0\\appid\\10\0"s);
  // A zero byte inside the filter would end it early on the master's side; it is cut there.
  EXPECT_EQ(BuildMasterRequest(0x00, kFirstSeed, "\\a\\1\0\\b\\2"s),
            "\x31\x00"
            "0.0.0.0:0\0\\a\\1\0"s);
}

TEST(MasterRequestTest, HostPortAndRegionAsTyped) {
  const auto full = ParseMasterHostPort(kDefaultMasterAddress);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->port, 27011);
  EXPECT_EQ(ParseMasterHostPort("127.0.0.1:28001")->host, "127.0.0.1");
  EXPECT_EQ(ParseMasterHostPort("127.0.0.1")->port, kDefaultMasterPort);
  for (const char* bad : {"", ":27011", "host:", "host:0", "host:65536", "host:x", "a b:1"})
    EXPECT_FALSE(ParseMasterHostPort(bad)) << bad;
  EXPECT_EQ(ParseMasterRegion("0xFF"), 0xFF);
  EXPECT_EQ(ParseMasterRegion("0x03"), 3);
  EXPECT_EQ(ParseMasterRegion("7"), 7);
  for (const char* bad : {"", "0x", "256", "0x100", "-1", "ab", "0xG"})
    EXPECT_FALSE(ParseMasterRegion(bad)) << bad;
}

TEST(MasterAddressTest, TextAndParseAgree) {
  const MasterAddress address{0x0A000005, 27015};
  EXPECT_EQ(address.Text(), "10.0.0.5:27015");
  EXPECT_EQ(ParseMasterAddress("10.0.0.5:27015"), address);
  EXPECT_EQ(ParseMasterAddress("255.255.255.255:65535"), (MasterAddress{0xFFFFFFFF, 65535}));
  EXPECT_EQ((MasterAddress{0, 0}.Text()), "0.0.0.0:0");
  for (const char* bad :
       {"10.0.0.5", "10.0.0:1", "10.0.0.256:1", "10.0.0.5:65536", "10.0.0.5:", " 10.0.0.5:1", "10.0.0.5:+1",
        "a.b.c.d:1", "10.0.0.5.6:1", "1000.0.0.5:1", "10..0.5:1", ""})
    EXPECT_FALSE(ParseMasterAddress(bad)) << bad;
}

TEST(MasterPageTest, DecodesEntriesInOrderWithBigEndianPorts) {
  const std::string page =
      "\xFF\xFF\xFF\xFF\x66\x0A"s + "\x0A\x00\x00\x05\x69\x87"s + "\xC0\xA8\x01\x02\x00\x50"s;
  const MasterPage decoded = DecodeMasterPage(page);
  EXPECT_EQ(decoded.error, MasterPage::Error::kNone);
  EXPECT_FALSE(decoded.ended);
  ASSERT_EQ(decoded.addresses.size(), 2u);
  EXPECT_EQ(decoded.addresses[0].Text(), "10.0.0.5:27015");
  EXPECT_EQ(decoded.addresses[1].Text(), "192.168.1.2:80");
}

TEST(MasterPageTest, EndMarkerStopsTheReading) {
  const std::vector<MasterAddress> before{{0x7F000001, 28000}, {0x7F000001, 28001}};
  std::string page = EncodeMasterPage(before, true);
  page += "\x7F\x00\x00\x01\x6D\x62"s;  // after the end: never read
  const MasterPage decoded = DecodeMasterPage(page);
  EXPECT_TRUE(decoded.ended);
  EXPECT_EQ(decoded.error, MasterPage::Error::kNone);
  EXPECT_EQ(decoded.addresses, before);
}

TEST(MasterPageTest, UnusableEntriesAreSkippedNotEnded) {
  const std::vector<MasterAddress> entries{
      {0, 27015}, {0xFFFFFFFF, 27015}, {0x0A000001, 0}, {0x0A000002, 27016}, {0xFFFFFFFF, 0}};
  const MasterPage decoded = DecodeMasterPage(EncodeMasterPage(entries, false));
  EXPECT_FALSE(decoded.ended);
  EXPECT_EQ(decoded.skipped, 4u);
  ASSERT_EQ(decoded.addresses.size(), 1u);
  EXPECT_EQ(decoded.addresses[0].Text(), "10.0.0.2:27016");
}

TEST(MasterPageTest, WrongHeaderAndOddLength) {
  EXPECT_EQ(DecodeMasterPage("").error, MasterPage::Error::kWrongHeader);
  EXPECT_EQ(DecodeMasterPage("\xFF\xFF\xFF\xFF\x66").error, MasterPage::Error::kWrongHeader);
  EXPECT_EQ(DecodeMasterPage("\xFF\xFF\xFF\xFF\x66\x0B\x01\x02\x03\x04\x05\x06"s).error,
            MasterPage::Error::kWrongHeader);
  EXPECT_TRUE(DecodeMasterPage("\xFF\xFF\xFF\xFF\x6D\x0A"s + "\x0A\x00\x00\x05\x69\x87"s).addresses.empty());

  // A cut-short page: the whole entries are read, the error says the rest is missing.
  std::string page = EncodeMasterPage({{0x0A000005, 27015}}, false) + "\x0A\x00\x00"s;
  const MasterPage decoded = DecodeMasterPage(page);
  EXPECT_EQ(decoded.error, MasterPage::Error::kOddLength);
  ASSERT_EQ(decoded.addresses.size(), 1u);
  EXPECT_EQ(decoded.addresses[0].Text(), "10.0.0.5:27015");

  const MasterPage empty = DecodeMasterPage(kMasterPageHeader);
  EXPECT_EQ(empty.error, MasterPage::Error::kNone);
  EXPECT_TRUE(empty.addresses.empty());
  EXPECT_FALSE(empty.ended);
}

}  // namespace
}  // namespace vantrix
