#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <tuple>
#include <vector>

#include "app/log.h"
#include "settings/login_item.h"
#include "settings/settings_file.h"
#include "support/log_capture.h"

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
  EXPECT_EQ(Read(R"({"showCpu":"false","showClock":0,"showSsid":null,"showBattery":1})"),
            DefaultSettings());
}

TEST(Settings, RoundTripKeepsKnownKeysInTableOrderAndOptInsOnlyWhileOn) {
  const Settings s = Read(R"({"windowY":-40,"zzz":1,"displayScale":1.5,"windowX":1722,
                              "showGpu":false,"updateIntervalSeconds":2,"extra":"x"})");
  EXPECT_FALSE(s.showGpu);
  const std::string text = SettingsToJson(s);
  EXPECT_EQ(text.find("zzz"), std::string::npos);
  EXPECT_EQ(text.find("extra"), std::string::npos);
  EXPECT_TRUE(
      text.ends_with("  \"displayScale\": 1.5,\n  \"windowX\": 1722,\n"
                     "  \"windowY\": -40\n}\n"))
      << text;
  EXPECT_EQ(Read(text), s);
  // With no opt-in on, the file is the one written before they existed (this, for the defaults).
  EXPECT_EQ(SettingsToJson(DefaultSettings()),
            "{\n  \"showClock\": true,\n  \"showClockYear\": false,\n  \"showCpu\": true,\n"
            "  \"showCoreBars\": true,\n  \"showHardwareDetails\": true,\n  \"showGpu\": true,\n"
            "  \"showMemory\": true,\n  \"showNetwork\": true,\n  \"showSsid\": true,\n"
            "  \"showDisk\": true,\n  \"showSelf\": false,\n  \"snapToEdges\": true,\n"
            "  \"alwaysOnTop\": true,\n  \"updateIntervalSeconds\": 1,\n"
            "  \"diskAlertThreshold\": 0.9,\n  \"displayScale\": 1\n}\n");
  Settings on;  // one more switched on each time, then all
  for (const SettingsBool& entry : kOptInBools) {
    on.*entry.field = true;
    const std::string written = SettingsToJson(on);
    EXPECT_NE(written.find("  \"" + std::string(entry.key) + "\": true,\n"), std::string::npos);
    EXPECT_EQ(Read(written), on) << entry.key;
  }
}

TEST(Settings, StepDisplayScaleClampsToTheTable) {
  EXPECT_EQ((std::vector{StepDisplayScale(2.0, +1), StepDisplayScale(0.75, -1),
                         StepDisplayScale(1.1, +1), StepDisplayScale(1.0, -1),
                         StepDisplayScale(0.9, +3), StepDisplayScale(1.0, -100)}),
            (std::vector{2.0, 0.75, 1.25, 0.9, 1.5, 0.75}));
}

TEST(LoginItem, StateFromTheRunEntryAndWindowsSwitch) {
  using Bytes = std::vector<std::uint8_t>;
  const Bytes three = {3, 0, 0, 0};
  EXPECT_EQ((std::vector{LoginStateFrom(false, three), LoginStateFrom(true, three),
                         LoginStateFrom(true, Bytes{2, 0, 0, 0}), LoginStateFrom(true, Bytes{6}),
                         LoginStateFrom(true, std::nullopt)}),
            (std::vector{LoginItemState::Off, LoginItemState::DisabledInWindows, LoginItemState::On,
                         LoginItemState::On, LoginItemState::On}));
  EXPECT_EQ(std::pair(IsDisabledInWindows(LoginItemState::DisabledInWindows),
                      IsDisabledInWindows(LoginItemState::On)),
            std::pair(true, false));
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

// An in-memory file system whose operations can be made to fail.
class ScriptedFiles final : public SettingsFileSystem {
 public:
  std::map<std::u16string, std::string> files;
  std::deque<std::uint32_t> readErrors;  // one per read, then `readError` for good
  std::uint32_t readError = 0, writeError = 0, moveError = 0;
  std::u16string heldFile;  // moves of it fail as shared
  bool corruptAfterMove = false;
  std::vector<std::uint32_t> pauses;
  std::vector<bool> writeThrough;  // of each move

  FileRead ReadFileText(const std::u16string& path) override {
    std::uint32_t error = readError;
    if (!readErrors.empty()) {
      error = readErrors.front();
      readErrors.pop_front();
    }
    const auto found = files.find(path);
    if (error != 0 || found == files.end()) {
      return {std::nullopt, error != 0 ? error : kErrorFileNotFound};
    }
    return {found->second, 0};
  }
  std::uint32_t WriteNewFile(const std::u16string& path, std::string_view text) override {
    files[path] = std::string(text.substr(0, writeError != 0 ? text.size() / 2 : text.size()));
    return writeError;
  }
  std::uint32_t MoveReplacing(const std::u16string& from, const std::u16string& to,
                              bool flush) override {
    writeThrough.push_back(flush);
    if (moveError != 0 || from == heldFile || !files.contains(from)) {
      return moveError != 0     ? moveError
             : from == heldFile ? kErrorSharingViolation
                                : kErrorFileNotFound;
    }
    files[to] = files[from] + (corruptAfterMove ? "x" : "");
    files.erase(from);
    return 0;
  }
  void RemoveFile(const std::u16string& path) override { files.erase(path); }
  bool Exists(const std::u16string& path) override { return files.contains(path); }
  void Pause(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
};

const std::u16string kPath = u"C:\\data\\Lumetta\\settings.json";
const std::u16string kBackup = kPath + u".bak";

const auto kLines = [] { return test::CapturedLines(); };

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override { test::ClearCapturedEvents(); }
  ScriptedFiles fs_;
};

// A file another program holds is read again a few times before it counts as unread; without a
// data folder there is nothing to read and every save fails (the card then shows its notice).
TEST_F(SettingsFile, AHeldFileIsReadAgainAndNoDataFolderFailsEverySave) {
  fs_.files[kPath] = R"({"showClock":false})";
  fs_.readErrors = {kErrorSharingViolation, kErrorLockViolation};
  const LoadedSettings loaded = LoadSettings(fs_, kPath);
  EXPECT_EQ(std::pair(loaded.settings.showClock, loaded.unread), std::pair(false, false));
  EXPECT_EQ(fs_.pauses, (std::vector<std::uint32_t>{100, 100}));
  EXPECT_TRUE(kLines().empty());
  fs_.pauses.clear();
  fs_.readError = kErrorSharingViolation;
  EXPECT_TRUE(LoadSettings(fs_, kPath).unread);
  EXPECT_EQ(fs_.pauses.size(), 4u);  // five attempts in all
  EXPECT_EQ(kLines(), std::vector<std::string>{"WARN  settings read_failed code=0x00000020"});

  fs_.files.clear();
  SettingsStore store(fs_, std::nullopt);
  EXPECT_EQ(store.Load(), DefaultSettings());
  EXPECT_FALSE(store.Save(DefaultSettings()));
  EXPECT_TRUE(fs_.files.empty());
}

// A file that exists but could not be read is moved aside by the first save, never overwritten.
TEST_F(SettingsFile, TheFirstSaveKeepsAnUnreadFileAsTheBackup) {
  fs_.files[kPath] = R"({"showGpu":false})";
  for (const std::uint32_t error : {5u, kErrorFileTooLarge}) {
    test::ClearCapturedEvents();
    fs_.readError = error;
    SettingsStore store(fs_, kPath);
    EXPECT_EQ(store.Load(), DefaultSettings());
    EXPECT_TRUE(fs_.pauses.empty());
    fs_.readError = 0;
    fs_.moveError = 32;  // still held: the save fails and writes nothing
    EXPECT_FALSE(store.Save(DefaultSettings()));
    EXPECT_EQ(fs_.files, (std::map<std::u16string, std::string>{{kPath, R"({"showGpu":false})"}}));
    fs_.moveError = 0;
    Settings next;
    next.showSelf = true;
    EXPECT_TRUE(store.Save(next));
    EXPECT_EQ(std::pair(fs_.files[kBackup], fs_.files[kPath]),
              std::pair(std::string(R"({"showGpu":false})"), SettingsToJson(next)));
    fs_.files[kBackup] = "older";
    EXPECT_TRUE(store.Save(DefaultSettings()));  // moved once only
    EXPECT_TRUE(fs_.writeThrough.back());        // a saved record must reach the disk
    EXPECT_EQ(fs_.files[kBackup], "older");
    EXPECT_EQ(kLines(),
              (std::vector<std::string>{
                  "WARN  settings read_failed " + CodeDetail(error),
                  "WARN  settings corrupt_file backup_failed code=0x00000020",
                  "WARN  settings corrupt_file backup=C:\\data\\Lumetta\\settings.json.bak"}));
    fs_.files = {{kPath, R"({"showGpu":false})"}};
  }
}

// Each corrupt file found is kept: the newest as ".bak", older ones aged to ".bak.1" and
// ".bak.2", and only the oldest beyond three dropped. One that cannot be moved aside (another
// program holds it) stays the user's: unread, so that no save replaces it before it is moved.
TEST_F(SettingsFile, CorruptFilesAreKeptNewestFirst) {
  for (const char* first : {"\xEF\xBB\xBF{}", "two", "three", "four"}) {
    fs_.files[kPath] = first;
    const LoadedSettings loaded = LoadSettings(fs_, kPath);
    EXPECT_EQ(loaded.settings, DefaultSettings());
    EXPECT_FALSE(loaded.unread);  // nothing left to protect
  }
  EXPECT_EQ(fs_.files,
            (std::map<std::u16string, std::string>{
                {kBackup, "four"}, {kBackup + u".1", "three"}, {kBackup + u".2", "two"}}));
  EXPECT_TRUE(std::ranges::none_of(fs_.writeThrough, std::identity{}));  // need not reach the disk
  const std::vector<std::string> lines = kLines();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "WARN  settings corrupt_file backup=C:\\data\\Lumetta\\settings.json.bak");
  EXPECT_EQ(std::vector(lines.end() - 3, lines.end()),
            (std::vector<std::string>{
                "INFO  settings backup_aged backup=C:\\data\\Lumetta\\settings.json.bak.2",
                "INFO  settings backup_aged backup=C:\\data\\Lumetta\\settings.json.bak.1",
                "WARN  settings corrupt_file backup=C:\\data\\Lumetta\\settings.json.bak"}));

  test::ClearCapturedEvents();
  fs_.files = {{kPath, "garbage"}, {kBackup, "older"}, {kBackup + u".1", "oldest"}};
  fs_.heldFile = kBackup;  // a backup that cannot age is not replaced either
  EXPECT_TRUE(LoadSettings(fs_, kPath).unread);
  EXPECT_EQ(fs_.files[kBackup], "older");
  fs_.heldFile = kPath;
  SettingsStore store(fs_, kPath);
  EXPECT_EQ(store.Load(), DefaultSettings());
  EXPECT_FALSE(store.Save(DefaultSettings()));
  EXPECT_FALSE(store.Save(DefaultSettings()));
  EXPECT_EQ(fs_.files[kPath], "garbage");
  fs_.heldFile.clear();
  EXPECT_TRUE(store.Save(DefaultSettings()));
  EXPECT_EQ(fs_.files,
            (std::map<std::u16string, std::string>{{kPath, SettingsToJson(DefaultSettings())},
                                                   {kBackup, "garbage"},
                                                   {kBackup + u".1", "older"},
                                                   {kBackup + u".2", "oldest"}}));
  EXPECT_EQ(kLines()[1], "WARN  settings corrupt_file backup_failed code=0x00000020");
}

TEST_F(SettingsFile, EveryFailedSaveIsLoggedAndCleansUp) {
  fs_.files[kPath] = "previous";
  fs_.writeError = 112;
  EXPECT_FALSE(SaveSettings(fs_, kPath, DefaultSettings()));
  fs_.writeError = 0;
  fs_.moveError = 5;
  EXPECT_FALSE(SaveSettings(fs_, kPath, DefaultSettings()));
  EXPECT_EQ(fs_.files, (std::map<std::u16string, std::string>{{kPath, "previous"}}));
  fs_.moveError = 0;
  fs_.corruptAfterMove = true;
  EXPECT_FALSE(SaveSettings(fs_, kPath, DefaultSettings()));
  fs_.corruptAfterMove = false;
  fs_.readError = 32;
  EXPECT_FALSE(SaveSettings(fs_, kPath, DefaultSettings()));
  EXPECT_EQ(kLines(), (std::vector<std::string>{"ERROR settings write_failed code=0x00000070",
                                                "ERROR settings replace_failed code=0x00000005",
                                                "ERROR settings verify_failed code=0x00000000",
                                                "ERROR settings verify_failed code=0x00000020"}));
  EXPECT_EQ(fs_.files.count(kPath + u".tmp"), 0u);
}

}  // namespace
}  // namespace lumetta
