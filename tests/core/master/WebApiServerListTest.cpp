#include "core/master/WebApiServerList.h"

#include <string>

#include <gtest/gtest.h>

#include "core/master/WebApiListReader.h"

namespace vantrix {
namespace {

// The reply is read as JSON events; these hold the reader to strict JSON, its escapes and its
// depth cap, through the list it gives.
TEST(WebApiListReaderTest, ReadsValuesAndRefusesMalformedText) {
  const auto list = ReadWebApiServerList(
      R"( {"a": [1, -2.5e3, true, false, null], "b": "x\u00e9\ud83d\ude00\n\"", "c": {},
          "response": {"servers": [{"addr": "10.0.0.5\u003a27015"}]}} )",
      10);
  EXPECT_TRUE(list.error.empty()) << list.error;
  ASSERT_EQ(list.addresses.size(), 1u);
  EXPECT_EQ(list.addresses[0].Text(), "10.0.0.5:27015");

  for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "{'a':1}", "01", "1.", "-", "\"a", "\"\x01\"", "tru",
                          "{\"a\" 1}", "[1] x", "\"\\x\"", "\"\\u12\"", "nul", "{1:2}"})
    EXPECT_EQ(ReadWebApiServerList(bad, 10).error.rfind("Error: Web API reply is not JSON (", 0), 0u) << bad;
  // A lone surrogate or a stray byte in a server's name costs neither that server nor the list.
  const auto odd = ReadWebApiServerList(
      "{\"response\":{\"servers\":[{\"name\":\"\\ud800x\\udc00\xFF\",\"addr\":\"10.0.0.5:27015\"}]}}", 10);
  EXPECT_TRUE(odd.error.empty()) << odd.error;
  EXPECT_EQ(odd.addresses.size(), 1u);
}

TEST(WebApiListReaderTest, DeepNestingIsRefusedNotRecursedInto) {
  const std::size_t inner = WebApiListReader::kMaxDepth - 1;  // the document itself is one level
  const std::string deep = R"({"response":{},"x":)" + std::string(inner, '[') + std::string(inner, ']') + "}";
  EXPECT_TRUE(ReadWebApiServerList(deep, 10).error.empty()) << ReadWebApiServerList(deep, 10).error;
  const std::string tooDeep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_NE(ReadWebApiServerList(tooDeep, 10).error.find("nesting too deep"), std::string::npos);
}

TEST(WebApiServerListTest, TakesTheAddrFieldsInOrder) {
  const auto list = ReadWebApiServerList(R"({"response":{"servers":[
      {"addr":"10.0.0.5:27015","gameport":27015,"name":"one"},
      {"addr":"10.0.0.6:27016"},
      {"addr":"10.0.0.5:27015"},
      {"addr":"not an address"}, {"name":"no addr"}, {"addr":27015},
      {"addr":"0.0.0.0:27015"}, {"addr":"10.0.0.7:0"},
      {"addr":"10.0.0.8:27017"}]}})",
                                         100);
  EXPECT_TRUE(list.error.empty()) << list.error;
  ASSERT_EQ(list.addresses.size(), 3u);
  EXPECT_EQ(list.addresses[0].Text(), "10.0.0.5:27015");
  EXPECT_EQ(list.addresses[1].Text(), "10.0.0.6:27016");
  EXPECT_EQ(list.addresses[2].Text(), "10.0.0.8:27017");
  EXPECT_EQ(list.skipped, 5u);

  EXPECT_EQ(ReadWebApiServerList(R"({"response":{"servers":[{"addr":"1.1.1.1:1"},{"addr":"1.1.1.2:1"}]}})", 1)
                .addresses.size(),
            1u);
  // Nothing matched: the service leaves the list out.
  const auto none = ReadWebApiServerList(R"({"response":{}})", 100);
  EXPECT_TRUE(none.error.empty());
  EXPECT_TRUE(none.addresses.empty());
}

TEST(WebApiServerListTest, RepliesThatAreNotTheListSayWhy) {
  EXPECT_EQ(
      ReadWebApiServerList("<html>Forbidden</html>", 10).error.rfind("Error: Web API reply is not JSON (", 0),
      0u);
  for (const char* odd :
       {R"([])", R"({"servers":[]})", R"({"response":[]})", R"({"response":{"servers":{}}})"})
    EXPECT_EQ(ReadWebApiServerList(odd, 10).error, "Error: Web API reply holds no server list") << odd;
}

TEST(WebApiServerListTest, RequestUrlAndFailureTexts) {
  EXPECT_EQ(WebApiRequestUrl("https://127.0.0.1/list/", "AB12", "\\appid\\10 x&y", 5000),
            "https://127.0.0.1/list/?key=AB12&filter=%5Cappid%5C10%20x%26y&limit=5000");
  EXPECT_EQ(WebApiFailureText(403, "Forbidden"), "Error: Web API refused the key (HTTP 403)");
  EXPECT_EQ(WebApiFailureText(401, ""), "Error: Web API refused the key (HTTP 401)");
  EXPECT_EQ(WebApiFailureText(500, "x"), "Error: Web API answered HTTP 500");
  EXPECT_EQ(WebApiFailureText(0, "SSL handshake failed"), "Error: Web API: SSL handshake failed");
  EXPECT_EQ(WebApiFailureText(0, ""), "Error: Web API did not answer");
}

}  // namespace
}  // namespace vantrix
