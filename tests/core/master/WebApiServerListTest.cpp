#include "core/master/WebApiServerList.h"

#include <string>

#include <gtest/gtest.h>

#include "core/master/JsonReader.h"

namespace vantrix {
namespace {

TEST(JsonReaderTest, ReadsValuesAndRefusesMalformedText) {
  JsonReader reader;
  const auto value =
      reader.Read(R"( {"a": [1, -2.5e3, true, false, null], "b": "x\u00e9\ud83d\ude00\n\"", "c": {}} )");
  ASSERT_TRUE(value) << reader.Error();
  ASSERT_EQ(value->Member("a")->items.size(), 5u);
  EXPECT_EQ(value->Member("a")->items[1].text, "-2.5e3");
  EXPECT_TRUE(value->Member("a")->items[2].boolean);
  EXPECT_EQ(value->Member("b")->text, "x\xC3\xA9\xF0\x9F\x98\x80\n\"");
  EXPECT_EQ(value->Member("c")->kind, JsonValue::Kind::kObject);
  EXPECT_EQ(value->Member("d"), nullptr);

  for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "{'a':1}", "01", "1.", "-", "\"a", "\"\x01\"", "tru",
                          "{\"a\" 1}", "[1] x", "\"\\x\"", "\"\\u12\"", "nul", "{1:2}"}) {
    EXPECT_FALSE(reader.Read(bad)) << bad;
    EXPECT_FALSE(reader.Error().empty()) << bad;
  }
  EXPECT_EQ(reader.Read("\"\\ud800x\"")->text, "\xEF\xBF\xBDx");  // lone surrogate
}

TEST(JsonReaderTest, DeepNestingIsRefusedNotRecursedInto) {
  JsonReader reader;
  const std::string deep = std::string(JsonReader::kMaxDepth, '[') + std::string(JsonReader::kMaxDepth, ']');
  EXPECT_TRUE(reader.Read(deep));
  const std::string tooDeep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_FALSE(reader.Read(tooDeep));
  EXPECT_NE(reader.Error().find("nesting too deep"), std::string::npos);
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
