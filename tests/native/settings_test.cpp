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
