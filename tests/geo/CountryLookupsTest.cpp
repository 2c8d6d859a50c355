#include "geo/CountryLookups.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "geo/CountryDatabase.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

// The file the package installs, by path: a database update cannot change these answers.
const std::string kPackaged = "/usr/share/libloc-location/location.db";

constexpr std::uint32_t Ip(int a, int b, int c, int d) {
  return (std::uint32_t(a) << 24) | (std::uint32_t(b) << 16) | (std::uint32_t(c) << 8) | std::uint32_t(d);
}

struct Known {
  std::uint32_t ipv4;
  std::optional<Country> country;
};

const Known kKnown[] = {
    {Ip(8, 8, 8, 8), Country{"US", "United States of America"}},
    {Ip(193, 99, 144, 80), Country{"DE", "Germany"}},
    {Ip(127, 0, 0, 1), std::nullopt},
    {Ip(10, 1, 2, 3), std::nullopt},
    {Ip(192, 168, 1, 1), std::nullopt},
};

// A copy of the packaged file's first bytes, made `size` long (the rest reads as zeros).
std::filesystem::path CutCopy(const TempDir& dir, std::size_t keep, std::uintmax_t size) {
  std::ifstream in(kPackaged, std::ios::binary);
  std::string head(keep, '\0');
  in.read(head.data(), static_cast<std::streamsize>(keep));
  const auto path = dir / "cut.db";
  test::Spit(path, head);
  std::filesystem::resize_file(path, size);
  return path;
}

TEST(CountryDatabase, NamesTheCountryOfPublicAddressesAndNoneForOthers) {
  const auto database = CountryDatabase::Open(kPackaged);
  ASSERT_NE(database, nullptr);
  for (const Known& known : kKnown) EXPECT_EQ(database->Lookup(known.ipv4), known.country) << known.ipv4;
  EXPECT_EQ(CountryDescription(*database->Lookup(Ip(193, 99, 144, 80))), "Germany (DE)");
}

TEST(CountryDatabase, AMissingTruncatedOrForeignFileIsNoDatabase) {
  TempDir dir;
  const auto size = std::filesystem::file_size(kPackaged);
  EXPECT_EQ(CountryDatabase::Open((dir / "none.db").string()), nullptr);
  EXPECT_EQ(CountryDatabase::Open(CutCopy(dir, 65536, size - 1).string()), nullptr);
  EXPECT_EQ(CountryDatabase::Open(CutCopy(dir, 65536, size / 2).string()), nullptr);
  EXPECT_EQ(CountryDatabase::Open(CutCopy(dir, 100, 100).string()), nullptr);
  test::Spit(dir / "text.db", std::string(8192, 'x'));
  EXPECT_EQ(CountryDatabase::Open((dir / "text.db").string()), nullptr);
}

// Answers come off the asking thread, once per address; a truncated file answers none.
TEST(CountryLookups, AnswerOffTheAskingThreadAndKeepEachAddressOnce) {
  TempDir dir;
  std::atomic<int> calls = 0;
  CountryLookups lookups(kPackaged, [&calls] { ++calls; });
  CountryLookups truncated(CutCopy(dir, 65536, std::filesystem::file_size(kPackaged) / 3).string(), {});
  for (const Known& known : kKnown) {
    EXPECT_EQ(lookups.Find(known.ipv4), nullptr);
    EXPECT_EQ(truncated.Find(known.ipv4), nullptr);
  }
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  for (CountryLookups* each : {&lookups, &truncated}) {
    while (each->Pending(kKnown[std::size(kKnown) - 1].ipv4) && std::chrono::steady_clock::now() < deadline)
      each->WaitForAnswers(100ms);
  }
  for (const Known& known : kKnown) {
    const Country* found = lookups.Find(known.ipv4);
    EXPECT_EQ(found ? std::optional(*found) : std::nullopt, known.country) << known.ipv4;
    EXPECT_FALSE(truncated.Pending(known.ipv4));
    EXPECT_EQ(truncated.Find(known.ipv4), nullptr);
  }
  EXPECT_EQ(lookups.CachedAddresses(), std::size(kKnown));
  // The news of a batch follows its answers.
  while (calls == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_GE(calls, 1);
}

}  // namespace
}  // namespace vantrix
