// A fixture for Windows tests that check what the program logs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/log_win.h"
#include "support/test_files.h"

namespace lumetta::test {

// A test that logs into a fresh folder and reads the events it logged, of one component or all.
class LoggingTest : public testing::Test {
 protected:
  void SetUp() override { OpenLog((dir_.path() / L"app.log").wstring()); }
  [[nodiscard]] std::vector<std::string> Events(std::string_view component = {}) const {
    std::vector<std::string> events;
    for (std::string& event : LogEvents(dir_.path() / L"app.log")) {
      if (event.substr(6).starts_with(component)) {  // after the level's five letters and a blank
        events.push_back(std::move(event));
      }
    }
    return events;
  }
  TempDir dir_;
};

}  // namespace lumetta::test
