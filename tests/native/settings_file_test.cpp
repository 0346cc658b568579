#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <map>

#include "support/log_capture.h"

namespace lumetta {
namespace {

// An in-memory file system whose operations can be made to fail.
class ScriptedFiles final : public SettingsFileSystem {
 public:
  std::map<std::u16string, std::string> files;
  std::uint32_t readError = 0;
  std::uint32_t writeError = 0;
  std::uint32_t moveError = 0;
  bool corruptAfterMove = false;

  FileRead ReadFileText(const std::u16string& path) override {
    if (readError != 0) {
      return {std::nullopt, readError};
    }
    const auto found = files.find(path);
    if (found == files.end()) {
      return {std::nullopt, kErrorFileNotFound};
    }
    return {found->second, 0};
  }
  std::uint32_t WriteNewFile(const std::u16string& path, std::string_view text) override {
    files[path] = std::string(text.substr(0, writeError != 0 ? text.size() / 2 : text.size()));
    return writeError;
  }
  std::uint32_t MoveReplacing(const std::u16string& from, const std::u16string& to, bool) override {
    if (moveError != 0) {
      return moveError;
    }
    files[to] = files[from] + (corruptAfterMove ? "x" : "");
    files.erase(from);
    return 0;
  }
  void RemoveFile(const std::u16string& path) override { files.erase(path); }
};

const std::u16string kPath = u"C:\\data\\Lumetta\\settings.json";

std::vector<std::string> Lines() {
  return test::CapturedLines();
}

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override { test::ClearCapturedEvents(); }
  ScriptedFiles fs;
};

TEST_F(SettingsFile, LoadingWithoutAFileIsAQuietFirstRun) {
  EXPECT_EQ(LoadSettings(fs, kPath), DefaultSettings());
  fs.readError = kErrorPathNotFound;
  EXPECT_EQ(LoadSettings(fs, kPath), DefaultSettings());
  EXPECT_TRUE(Lines().empty());
  EXPECT_TRUE(fs.files.empty());
}

TEST_F(SettingsFile, ReadErrorsAreLoggedAndLeaveTheFile) {
  fs.files[kPath] = "{}";
  fs.readError = kErrorFileTooLarge;
  EXPECT_EQ(LoadSettings(fs, kPath), DefaultSettings());
  EXPECT_EQ(Lines(), std::vector<std::string>{"WARN  settings read_failed code=0x000000DF"});
  EXPECT_EQ(fs.files.count(kPath), 1u);
}

TEST_F(SettingsFile, ACorruptFileIsMovedToTheBackup) {
  fs.files[kPath] = "\xEF\xBB\xBF{}";
  fs.files[kPath + u".bak"] = "older backup";
  EXPECT_EQ(LoadSettings(fs, kPath), DefaultSettings());
  EXPECT_EQ(fs.files.count(kPath), 0u);
  EXPECT_EQ(fs.files[kPath + u".bak"], "\xEF\xBB\xBF{}");
  EXPECT_EQ(Lines(),
            std::vector<std::string>{
                "WARN  settings corrupt_file backup=C:\\data\\Lumetta\\settings.json.bak"});

  test::ClearCapturedEvents();
  fs.files[kPath] = "garbage";
  fs.moveError = 5;
  EXPECT_EQ(LoadSettings(fs, kPath), DefaultSettings());
  EXPECT_EQ(Lines(),
            std::vector<std::string>{"WARN  settings corrupt_file backup_failed code=0x00000005"});
}

TEST_F(SettingsFile, AGoodFileIsRead) {
  fs.files[kPath] = R"({"showClock":false,"displayScale":2})";
  const Settings s = LoadSettings(fs, kPath);
  EXPECT_FALSE(s.showClock);
  EXPECT_EQ(s.displayScale, 2.0);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(SettingsFile, SaveWritesTheExactTextAndLeavesNoTemporaryFile) {
  Settings s;
  s.showSelf = true;
  EXPECT_TRUE(SaveSettings(fs, kPath, s));
  EXPECT_EQ(fs.files, (std::map<std::u16string, std::string>{{kPath, SettingsToJson(s)}}));
  EXPECT_TRUE(Lines().empty());
}

TEST_F(SettingsFile, EveryFailedSaveIsLoggedAndCleansUp) {
  fs.files[kPath] = "previous";
  fs.writeError = 112;
  EXPECT_FALSE(SaveSettings(fs, kPath, DefaultSettings()));
  fs.writeError = 0;
  fs.moveError = 5;
  EXPECT_FALSE(SaveSettings(fs, kPath, DefaultSettings()));
  EXPECT_EQ(fs.files, (std::map<std::u16string, std::string>{{kPath, "previous"}}));
  fs.moveError = 0;
  fs.corruptAfterMove = true;
  EXPECT_FALSE(SaveSettings(fs, kPath, DefaultSettings()));
  fs.corruptAfterMove = false;
  fs.readError = 32;
  EXPECT_FALSE(SaveSettings(fs, kPath, DefaultSettings()));
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "ERROR settings write_failed code=0x00000070",
                         "ERROR settings replace_failed code=0x00000005",
                         "ERROR settings verify_failed code=0x00000000",
                         "ERROR settings verify_failed code=0x00000020",
                     }));
  EXPECT_EQ(fs.files.count(kPath + u".tmp"), 0u);
}

}  // namespace
}  // namespace lumetta
