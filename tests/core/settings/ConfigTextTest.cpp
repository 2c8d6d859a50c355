#include <random>

#include <gtest/gtest.h>

#include "core/io/TextFile.h"
#include "core/settings/SettingsText.h"
#include "core/util/ConversionError.h"

namespace vantrix {
namespace {

// Lines joined with CR LF, as the program writes them.
std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) AppendLine(text, line);
  return text;
}

Settings Parsed(std::string_view text, Settings start = {}) {
  ParseSettingsText(text, start);
  return start;
}

TEST(SettingsText, DefaultFileBytes) {
  EXPECT_EQ(DefaultSettingsText(),
            "BufferSize=8192\r\nBroadcast=0\r\nUDPDelay=5\r\nPacketLog=1\r\nConnect=1\r\n"
            "DefaultPort=27015\r\nProgress=1\r\nListColor=clWhite\r\nTextColor=clBlack\r\n");
  EXPECT_EQ(Parsed(DefaultSettingsText(), Settings{"1", true, "2", false, false, "3", false, clRed, clRed}),
            Settings{});
}

TEST(SettingsText, WritesNineLinesInOrder) {
  Settings settings;
  settings.bufferSize = "123456";
  settings.broadcast = true;
  settings.udpDelay = "x y";
  settings.packetLog = false;
  settings.connect = false;
  settings.defaultPort = "27016=x";
  settings.progress = false;
  settings.listColor = clMoneyGreen;
  settings.textColor = 0x00123456;
  const auto lines = SplitLines(SettingsToText(settings));
  EXPECT_EQ(lines, (std::vector<std::string>{"BufferSize=123456", "Broadcast=1", "UDPDelay=x y",
                                             "PacketLog=0", "Connect=0", "DefaultPort=27016=x", "Progress=0",
                                             "ListColor=clMoneyGreen", "TextColor=$00123456"}));
  EXPECT_EQ(Parsed(SettingsToText(settings)), settings);

  settings.listColor = clNone;
  settings.textColor = clWindowText;
  EXPECT_EQ(SplitLines(SettingsToText(settings))[7], "ListColor=clNone");
  EXPECT_EQ(SplitLines(SettingsToText(settings))[8], "TextColor=clWindowText");
}

TEST(SettingsText, LineBreaksInsideAValueCannotAddLines) {
  Settings settings;
  settings.defaultPort = "1\r\nBroadcast=1\n\x1A";
  const std::string text = SettingsToText(settings);
  EXPECT_EQ(SplitLines(text).size(), 9u);
  EXPECT_EQ(SplitLines(text)[5], "DefaultPort=1Broadcast=1");
  EXPECT_FALSE(Parsed(text).broadcast);
}

TEST(SettingsText, KeysValuesAndSkippedLines) {
  EXPECT_EQ(Parsed("bUfFeRsIzE=4096").bufferSize, "4096");
  EXPECT_EQ(Parsed(" BufferSize=4096").bufferSize, "8192");  // the space belongs to the key
  EXPECT_EQ(Parsed("BufferSize =4096").bufferSize, "8192");
  EXPECT_EQ(Parsed("BufferSize= 4096").bufferSize, " 4096");  // and to the value
  EXPECT_EQ(Parsed("DefaultPort=27016=x").defaultPort, "27016=x");
  EXPECT_EQ(Parsed("UDPDelay=").udpDelay, "");
  EXPECT_EQ(Parsed("BufferSize=123456").bufferSize, "123456");
  EXPECT_EQ(Parsed("DEFAULTPORT=1\r\ndefaultport=2\r\n").defaultPort, "2");  // last one wins
  EXPECT_EQ(Parsed("//ListColor=clRed\r\n").listColor, clWhite);
  EXPECT_EQ(Parsed("//\r\nBufferSize=1").bufferSize, "1");
  EXPECT_EQ(Parsed("/ListColor=clRed").listColor, clWhite);  // an unknown key, not a comment
  EXPECT_EQ(Parsed("ListColor clRed\r\n\r\nWhatever=1\r\n=5\r\n"), Settings{});
  EXPECT_EQ(Parsed("BufferSize=1\nUDPDelay=2\n").udpDelay, "2");      // lone LF ends a line too
  EXPECT_EQ(Parsed("BufferSize=1\x1A\r\nUDPDelay=2").udpDelay, "5");  // 0x1A ends the file
  EXPECT_EQ(Parsed("").bufferSize, "8192");
}

TEST(SettingsText, FlagsOnlyExactlyOneOrZero) {
  EXPECT_TRUE(Parsed("Broadcast=1").broadcast);
  EXPECT_TRUE(Parsed("Broadcast=1\r\n").broadcast);
  EXPECT_FALSE(Parsed("Broadcast=1 ").broadcast);
  EXPECT_FALSE(Parsed("Broadcast=true").broadcast);
  const Settings allOn{"8192", true, "5", true, true, "27015", true, clWhite, clBlack};
  const Settings allOff{"8192", false, "5", false, false, "27015", false, clWhite, clBlack};
  EXPECT_EQ(Parsed("broadcast=0\r\nPACKETLOG=0\r\nConnect=0\r\nprogress=0", allOn), allOff);
  EXPECT_EQ(Parsed("broadcast=1\r\nPACKETLOG=1\r\nConnect=1\r\nprogress=1", allOff), allOn);
  for (const char* value : {"", " 1", "1 ", "01", "2", "yes", "0 "}) {
    const std::string text = std::string("Broadcast=") + value + "\r\nPacketLog=" + value +
                             "\r\nConnect=" + value + "\r\nProgress=" + value;
    EXPECT_EQ(Parsed(text, allOn), allOn) << value;
    EXPECT_EQ(Parsed(text, allOff), allOff) << value;
  }
}

TEST(SettingsText, Colours) {
  EXPECT_EQ(Parsed("ListColor=$0000FF00").listColor, clLime);
  EXPECT_EQ(Parsed("ListColor=65280").listColor, clLime);
  EXPECT_EQ(Parsed("listcolor=CLMONEYGREEN\r\nTEXTCOLOR=clwindowtext").listColor, clMoneyGreen);
  EXPECT_EQ(Parsed("listcolor=CLMONEYGREEN\r\nTEXTCOLOR=clwindowtext").textColor, clWindowText);
  EXPECT_EQ(Parsed("ListColor=clRed\r\nListColor=clBlue\r\n").listColor, clBlue);
  const Settings odd = Parsed("ListColor=123456\r\nTextColor=$FF000019");
  EXPECT_EQ(odd.listColor, 123456u);
  EXPECT_EQ(Parsed(SettingsToText(odd)), odd);  // colours the pickers lack are written back as read
}

TEST(SettingsText, BadColourStopsReadingAtItsLine) {
  Settings settings;
  const std::string text =
      Crlf({"BufferSize=1", "ListColor=clRed", "TextColor=xyz", "UDPDelay=9", "Broadcast=1"});
  try {
    ParseSettingsText(text, settings);
    FAIL() << "no error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'xyz' is not a valid integer value");
  }
  EXPECT_EQ(settings.bufferSize, "1");
  EXPECT_EQ(settings.listColor, clRed);
  EXPECT_EQ(settings.textColor, clBlack);
  EXPECT_EQ(settings.udpDelay, "5");
  EXPECT_FALSE(settings.broadcast);
  EXPECT_THROW(Parsed("ListColor= clRed"), ConversionError);
  EXPECT_THROW(Parsed("ListColor="), ConversionError);
}

TEST(SettingsText, RandomSettingsSurviveWritingAndReading) {
  std::mt19937 random(5);
  auto randomText = [&random] {
    std::string text;
    const int length = static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i) {
      char c = static_cast<char>(random() % 256);
      if (c == '\r' || c == '\n' || c == '\x1A') c = '=';
      text.push_back(c);
    }
    return text;
  };
  for (int i = 0; i < 2000; ++i) {
    Settings settings{randomText(),
                      random() % 2 == 0,
                      randomText(),
                      random() % 2 == 0,
                      random() % 2 == 0,
                      randomText(),
                      random() % 2 == 0,
                      static_cast<ColorValue>(random()),
                      static_cast<ColorValue>(random())};
    if (i % 3 == 0) settings.listColor = PickerColors()[random() % kPickerColorCount].value;
    const std::string text = SettingsToText(settings);
    ASSERT_EQ(SplitLines(text).size(), 9u);
    Settings reread{"a",
                    !settings.broadcast,
                    "b",
                    !settings.packetLog,
                    !settings.connect,
                    "c",
                    !settings.progress,
                    ~settings.listColor,
                    ~settings.textColor};
    ParseSettingsText(text, reread);
    ASSERT_EQ(reread, settings) << text;
  }
}

}  // namespace
}  // namespace vantrix
