#include "net/HostLookup.h"

#include <netdb.h>

#include <string>

#include <gtest/gtest.h>

#include "net/EIdErrors.h"
#include "net/GetAddrInfoResolver.h"
#include "support/NetFakeResolver.h"

namespace vantrix {
namespace {

using test::NetFakeResolver;

constexpr std::uint32_t kLoopback = 0x7F000001u;

std::string FailureMessage(std::string_view host, HostResolver& resolver) {
  try {
    LookUpHost(host, resolver);
  } catch (const EIdSocketError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(HostLookup, LocalhostInAnyCaseNeedsNoResolver) {
  NetFakeResolver resolver({ResolveStatus::Found, 0x01020304u});
  for (const char* host : {"localhost", "LOCALHOST", "LocalHost", "lOCALHOST"}) {
    EXPECT_EQ(LookUpHost(host, resolver), kLoopback) << host;
  }
  EXPECT_TRUE(resolver.Questions().empty());
  // Near misses are names like any other.
  EXPECT_EQ(LookUpHost("localhost.", resolver), 0x01020304u);
  EXPECT_EQ(LookUpHost("localhos", resolver), 0x01020304u);
  EXPECT_EQ(resolver.Questions(), (std::vector<std::string>{"localhost.", "localhos"}));
}

TEST(HostLookup, DottedAddressesAreTakenAsTheyAre) {
  NetFakeResolver resolver({ResolveStatus::HostNotFound, 0});
  EXPECT_EQ(LookUpHost("127.000.000.001", resolver), kLoopback);
  EXPECT_EQ(LookUpHost("010.0.0.1", resolver), 0x0A000001u);
  EXPECT_EQ(LookUpHost("192.168.0.20", resolver), 0xC0A80014u);
  EXPECT_TRUE(resolver.Questions().empty());
}

TEST(HostLookup, InvalidDottedFormsAndNamesAskTheResolver) {
  NetFakeResolver resolver({ResolveStatus::Found, kLoopback});
  EXPECT_EQ(LookUpHost("10.0.0.256", resolver), kLoopback);
  EXPECT_EQ(LookUpHost("1.2.3", resolver), kLoopback);
  EXPECT_EQ(LookUpHost("game.example", resolver), kLoopback);
  EXPECT_EQ(resolver.Questions(), (std::vector<std::string>{"10.0.0.256", "1.2.3", "game.example"}));
}

TEST(HostLookup, ResolverFailuresBecomeSocketErrors) {
  struct Case {
    ResolveStatus status;
    int code;
    const char* text;
  };
  for (const Case& c :
       {Case{ResolveStatus::HostNotFound, 11001, "Host not found."},
        Case{ResolveStatus::TryAgain, 11002, "Non-authoritative host not found."},
        Case{ResolveStatus::NoRecovery, 11003, "This is a non-recoverable error."},
        Case{ResolveStatus::NoData, 11004, "Valid name, no data record of requested type."}}) {
    NetFakeResolver resolver({c.status, kLoopback});
    try {
      LookUpHost("nowhere.example", resolver);
      ADD_FAILURE() << "no error for code " << c.code;
    } catch (const EIdSocketError& error) {
      EXPECT_EQ(error.LastError(), c.code);
      EXPECT_EQ(std::string(error.what()), "Socket Error # " + std::to_string(c.code) + "\r\n" + c.text);
    }
  }
}

TEST(HostLookup, EmptyOrNulHostsAreNeverResolved) {
  NetFakeResolver resolver({ResolveStatus::Found, kLoopback});
  EXPECT_EQ(FailureMessage("", resolver), "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(FailureMessage(std::string_view("127.0.0.1\0x", 11), resolver),
            "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(FailureMessage(std::string_view("localhost\0", 10), resolver),
            "Socket Error # 11001\r\nHost not found.");
  EXPECT_TRUE(resolver.Questions().empty());
}

TEST(GetAddrInfoResolverTest, MapsFailureKinds) {
  EXPECT_EQ(StatusOfAddrInfoError(0), ResolveStatus::Found);
  EXPECT_EQ(StatusOfAddrInfoError(EAI_NONAME), ResolveStatus::HostNotFound);
  EXPECT_EQ(StatusOfAddrInfoError(EAI_AGAIN), ResolveStatus::TryAgain);
  EXPECT_EQ(StatusOfAddrInfoError(EAI_FAIL), ResolveStatus::NoRecovery);
  EXPECT_EQ(StatusOfAddrInfoError(EAI_MEMORY), ResolveStatus::NoRecovery);
#ifdef EAI_NODATA
  EXPECT_EQ(StatusOfAddrInfoError(EAI_NODATA), ResolveStatus::NoData);
#endif
}

TEST(GetAddrInfoResolverTest, ResolvesNumericShortFormsWithoutTheNameService) {
  // The system's resolver reads these short numeric forms itself; no query leaves the machine.
  GetAddrInfoResolver resolver;
  const ResolveResult shortForm = resolver.Resolve("127.1");
  ASSERT_EQ(shortForm.status, ResolveStatus::Found);
  EXPECT_EQ(shortForm.address, kLoopback);
  const ResolveResult plain = resolver.Resolve("127.0.10.1");
  ASSERT_EQ(plain.status, ResolveStatus::Found);
  EXPECT_EQ(plain.address, 0x7F000A01u);
}

}  // namespace
}  // namespace vantrix
