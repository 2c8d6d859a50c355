#include <gtest/gtest.h>

#include "core/settings/SettingsValuesReader.h"

namespace vantrix {
namespace {

TEST(SettingsValuesReader, EachSettingReadsItsOwnValue) {
  SettingsValuesReader reader;
  EXPECT_EQ(reader.BufferSizeText(), "8192");
  EXPECT_EQ(reader.UdpDelayText(), "5");
  EXPECT_EQ(reader.DefaultPortText(), "27015");
  EXPECT_EQ(reader.ListColor(), clWhite);
  EXPECT_EQ(reader.TextColor(), clBlack);

  // Flags one at a time, so that a reader that mixes two of them up is caught.
  const SettingsReader& view = reader;
  for (int on = 0; on < 4; ++on) {
    Settings& values = reader.Values();
    values.broadcast = on == 0;
    values.packetLog = on == 1;
    values.connect = on == 2;
    values.progress = on == 3;
    EXPECT_EQ(view.Broadcast(), on == 0);
    EXPECT_EQ(view.PacketLog(), on == 1);
    EXPECT_EQ(view.Connect(), on == 2);
    EXPECT_EQ(view.Progress(), on == 3);
  }
  reader.Values().bufferSize = "a";
  reader.Values().udpDelay = "b";
  reader.Values().defaultPort = "c";
  reader.Values().listColor = clAqua;
  reader.Values().textColor = clNavy;
  EXPECT_EQ(view.BufferSizeText(), "a");
  EXPECT_EQ(view.UdpDelayText(), "b");
  EXPECT_EQ(view.DefaultPortText(), "c");
  EXPECT_EQ(view.ListColor(), clAqua);
  EXPECT_EQ(view.TextColor(), clNavy);
}

}  // namespace
}  // namespace vantrix
