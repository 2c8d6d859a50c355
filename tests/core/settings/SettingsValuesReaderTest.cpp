#include "core/settings/SettingsValuesReader.h"

#include <gtest/gtest.h>

namespace vantrix {
namespace {

TEST(SettingsValuesReader, ASnapshotHoldsTheValuesOfTheMomentOfTheRead) {
  SettingsValuesReader reader;
  const SettingsReader& view = reader;
  const Settings defaults = view.Snapshot();
  EXPECT_EQ(defaults.bufferSize, "8192");
  EXPECT_EQ(defaults.udpDelay, "5");
  EXPECT_EQ(defaults.defaultPort, "27015");
  EXPECT_EQ(defaults.listColor, clWhite);
  EXPECT_EQ(defaults.textColor, clBlack);

  // Flags one at a time, so that a reader that mixes two of them up is caught.
  for (int on = 0; on < 4; ++on) {
    Settings& values = reader.Values();
    values.broadcast = on == 0;
    values.packetLog = on == 1;
    values.connect = on == 2;
    values.progress = on == 3;
    const Settings now = view.Snapshot();
    EXPECT_EQ(now.broadcast, on == 0);
    EXPECT_EQ(now.packetLog, on == 1);
    EXPECT_EQ(now.connect, on == 2);
    EXPECT_EQ(now.progress, on == 3);
  }

  const Settings before = view.Snapshot();
  reader.Values().bufferSize = "a";
  reader.Values().udpDelay = "b";
  reader.Values().defaultPort = "c";
  reader.Values().listColor = clAqua;
  reader.Values().textColor = clNavy;
  const Settings after = view.Snapshot();
  EXPECT_EQ(after.bufferSize, "a");
  EXPECT_EQ(after.udpDelay, "b");
  EXPECT_EQ(after.defaultPort, "c");
  EXPECT_EQ(after.listColor, clAqua);
  EXPECT_EQ(after.textColor, clNavy);
  // An earlier snapshot is a copy: later changes do not reach it.
  EXPECT_EQ(before.bufferSize, "8192");
  EXPECT_EQ(before.listColor, clWhite);
  EXPECT_FALSE(before == after);
}

}  // namespace
}  // namespace vantrix
