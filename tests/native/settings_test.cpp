#include "settings/settings.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace lumetta {
namespace {

Settings Read(std::string_view text) {
  const SettingsRead read = SettingsFromJson(text);
  EXPECT_FALSE(read.unreadable) << text;
  return read.settings;
}

// The file's keys, their order and the defaults: what stored files rely on.
TEST(Settings, DefaultTextIsEighteenLines) {
  EXPECT_EQ(SettingsToJson(DefaultSettings()),
            "{\n  \"showClock\": true,\n  \"showClockYear\": false,\n  \"showCpu\": true,\n"
            "  \"showCoreBars\": true,\n  \"showHardwareDetails\": true,\n  \"showGpu\": true,\n"
            "  \"showMemory\": true,\n  \"showNetwork\": true,\n  \"showSsid\": true,\n"
            "  \"showDisk\": true,\n  \"showSelf\": false,\n  \"snapToEdges\": true,\n"
            "  \"alwaysOnTop\": true,\n  \"updateIntervalSeconds\": 1,\n"
            "  \"diskAlertThreshold\": 0.9,\n  \"displayScale\": 1\n}\n");
}

TEST(Settings, NumbersTakeOnlyAllowedValues) {
  const struct {
    std::string_view member;
    double interval, threshold, scale;
  } cases[] = {{R"("updateIntervalSeconds":3)", 1.0, 0.9, 1.0},
               {R"("updateIntervalSeconds":2)", 2.0, 0.9, 1.0},
               {R"("updateIntervalSeconds":0.5)", 0.5, 0.9, 1.0},
               {R"("updateIntervalSeconds":"5")", 1.0, 0.9, 1.0},
               {R"("diskAlertThreshold":0.3)", 1.0, 0.5, 1.0},
               {R"("diskAlertThreshold":1.2)", 1.0, 0.95, 1.0},
               {R"("diskAlertThreshold":0.725)", 1.0, 0.75, 1.0},
               {R"("diskAlertThreshold":0.86)", 1.0, 0.85, 1.0},
               {R"("diskAlertThreshold":0.93)", 1.0, 0.95, 1.0},
               {R"("diskAlertThreshold":0.92)", 1.0, 0.9, 1.0},
               {R"("displayScale":1.1)", 1.0, 0.9, 1.0},
               {R"("displayScale":1.75)", 1.0, 0.9, 1.75},
               {R"("displayScale":0.75)", 1.0, 0.9, 0.75}};
  for (const auto& c : cases) {
    const Settings s = Read("{" + std::string(c.member) + "}");
    EXPECT_EQ((std::vector<double>{s.updateIntervalSeconds, s.diskAlertThreshold, s.displayScale}),
              (std::vector<double>{c.interval, c.threshold, c.scale}))
        << c.member;
  }
  // Members of another type keep their defaults.
  EXPECT_EQ(Read(R"({"showCpu":"false","showClock":0,"showSsid":null})"), DefaultSettings());
}

TEST(Settings, PositionNeedsBothValidCoordinates) {
  const struct {
    std::string_view members;
    bool present;
    int x, y;
  } cases[] = {{R"("windowX":-250)", false, 0, 0},
               {R"("windowX":1.5,"windowY":-2.5)", true, 2, -3},
               {R"("windowX":2000000,"windowY":0)", false, 0, 0},
               {R"("windowX":1000000,"windowY":-1000000)", true, 1000000, -1000000},
               {R"("windowX":"1","windowY":2)", false, 0, 0}};
  for (const auto& c : cases) {
    const Settings s = Read("{" + std::string(c.members) + "}");
    EXPECT_EQ(std::tuple(s.hasWindowPosition, s.windowX, s.windowY),
              std::tuple(c.present, c.x, c.y))
        << c.members;
  }
}

TEST(Settings, RoundTripKeepsOnlyKnownKeysInTableOrder) {
  const Settings s = Read(
      R"({"windowY":-40,"zzz":1,"displayScale":1.5,"windowX":1722,"showGpu":false,"extra":"x"})");
  const std::string text = SettingsToJson(s);
  EXPECT_EQ(text.find("zzz"), std::string::npos);
  EXPECT_EQ(text.find("extra"), std::string::npos);
  EXPECT_TRUE(
      text.ends_with("  \"displayScale\": 1.5,\n  \"windowX\": 1722,\n"
                     "  \"windowY\": -40\n}\n"))
      << text;
  EXPECT_EQ(Read(text), s);
}

TEST(Settings, StepDisplayScaleClampsToTheTable) {
  EXPECT_EQ(StepDisplayScale(2.0, +1), 2.0);
  EXPECT_EQ(StepDisplayScale(0.75, -1), 0.75);
  EXPECT_EQ(StepDisplayScale(1.1, +1), 1.25);
  EXPECT_EQ(StepDisplayScale(1.0, -1), 0.9);
  EXPECT_EQ(StepDisplayScale(0.9, +3), 1.5);
  EXPECT_EQ(StepDisplayScale(1.0, -100), 0.75);
}

}  // namespace
}  // namespace lumetta
