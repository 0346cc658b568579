#include "settings/login_item.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumetta {
namespace {

TEST(LoginItem, StateFromTheRunEntryAndWindowsSwitch) {
  const std::vector<std::uint8_t> three = {3, 0, 0, 0};
  const std::vector<std::uint8_t> two = {2, 0, 0, 0};
  const std::vector<std::uint8_t> six = {6};
  EXPECT_EQ(LoginStateFrom(false, three), LoginItemState::Off);
  EXPECT_EQ(LoginStateFrom(true, three), LoginItemState::DisabledInWindows);
  EXPECT_EQ(LoginStateFrom(true, two), LoginItemState::On);
  EXPECT_EQ(LoginStateFrom(true, six), LoginItemState::On);
  EXPECT_EQ(LoginStateFrom(true, std::nullopt), LoginItemState::On);
  EXPECT_TRUE(IsDisabledInWindows(LoginItemState::DisabledInWindows));
  EXPECT_FALSE(IsDisabledInWindows(LoginItemState::On));
}

TEST(LoginItem, EntryMatching) {
  const std::u16string_view path = u"C:\\Apps\\Lumetta\\lumetta.exe";
  const struct {
    std::u16string_view entry;
    bool matches;
  } cases[] = {
      {u"\"C:\\Apps\\Lumetta\\lumetta.exe\"", true},
      {u"\"c:\\apps\\LUMETTA\\Lumetta.EXE\"", true},        // letter case is ignored
      {u"C:\\Apps\\Lumetta\\lumetta.exe", true},            // unquoted, exactly the path
      {u"C:\\Apps\\Lumetta\\lumetta.exe --hidden", false},  // arguments after an unquoted path
      {u"\"C:\\Apps\\Lumetta\\lumetta.exe\" --hidden", true},
      {u"\"C:\\Apps\\Lumetta\\lumetta.exe", true},  // no closing quote
      {u"\"D:\\Old\\lumetta.exe\"", false},
      {u"\"D:\\Apps\\Lumetta\\lumetta.exe\"", false},  // another drive
      {u"\"C:\\Apps\\Lumetto\\lumetta.exe\"", false},  // as long, another folder
      {u"\"C:\\Apps\\Lumetta\\lumetta.ex\"", false},   // a prefix of it
      {u"\"\"", false},
      {u"", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(LoginEntryMatches(c.entry, path), c.matches)
        << std::string(c.entry.begin(), c.entry.end());
  }
  EXPECT_TRUE(LoginEntryMatches(u"\"c:\\zed\\lumetta.exe\"", u"C:\\ZED\\lumetta.exe"));
}

}  // namespace
}  // namespace lumetta
