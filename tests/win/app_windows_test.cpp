// The program's own windows and resources under Wine: the card's creation, its tray icon,
// the version the program reads from itself and its string tables.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "app/log_win.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "app/version.h"
#include "base/owner_win.h"
#include "base/program_path_win.h"
#include "base/wide.h"
#include "card/card_notifications_win.h"
#include "card/card_painter.h"
#include "card/card_window.h"
#include "card/tray_icon.h"
#include "dialogs/settings_panel.h"
#include "draw/renderer.h"
#include "support/card_in_process.h"
#include "support/factories.h"
#include "support/logging_test.h"
#include "support/rc_texts.h"
#include "support/test_files.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

TEST(Version, TextsFromTheShippedResource) {
  EXPECT_EQ(ProductVersionText(), u"0.9.0");
  EXPECT_EQ(DisplayVersionText(), u"0.9.0 (2)");
}

// A program path of MAX_PATH characters or more: GetModuleFileNameW fills the buffer it is given,
// truncated, and says so only by returning the buffer's size.
DWORD WINAPI LongModuleName(HMODULE, LPWSTR buffer, DWORD size) {
  const std::wstring path = L"C:\\" + std::wstring(400, L'x') + L"\\lumetta.exe";
  const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
  path.copy(buffer, copied);
  buffer[copied] = L'\0';
  return copied < path.size() ? size : static_cast<DWORD>(copied);
}

TEST(Version, AProgramPathPastMaxPathIsReadWhole) {
  const std::optional<std::wstring> path = ProgramPath(&LongModuleName);
  ASSERT_TRUE(path);
  EXPECT_EQ(std::pair(path->size(), path->ends_with(L"\\lumetta.exe")),
            std::pair(std::size_t{3 + 400 + 12}, true));
  EXPECT_EQ(ProgramPath(), std::optional<std::wstring>(test::SelfPath()));
}

class Strings : public test::LoggingTest {
 protected:
  static void Choose(const wchar_t* value) {
    SetEnvironmentVariableW(L"LUMETTA_LANG", value);
    ChooseLanguage();
  }
  void TearDown() override { Choose(nullptr); }
};

// Both string tables through the loader, each text as its resource file has it, the table chosen
// by the variable in any letter case; a missing id shows "?" and is logged.
TEST_F(Strings, EachTableHoldsItsResourceFilesTextsAndAMissingIdIsLogged) {
  for (const auto& [variable, language, locale] :
       {std::tuple(L"EN", "en", u"en-US"), std::tuple(L"Ja", "ja", u"ja-JP")}) {
    Choose(variable);
    EXPECT_EQ(LocaleName(), std::u16string_view(locale));
    const test::RcTexts texts(language);
    for (const TextId id : kAllTextIds) {
      EXPECT_EQ(LoadText(id), texts.Text(id)) << id;
    }
    // A failed save sends the user to the log file itself.
    EXPECT_NE(LoadText(kTextSettingsSaveFailed).find(uR"(%LOCALAPPDATA%\Lumetta\Logs\app.log)"),
              std::u16string::npos)
        << language;
  }
  // Before the first text of a block, after its last, and in no block at all.
  for (const std::uint32_t id : {999u, 1035u, 4000u}) {
    EXPECT_EQ(LoadText(id), u"?") << id;
  }
  EXPECT_EQ(
      Events("strings"),
      (std::vector<std::string>{"INFO  strings language lang=en", "INFO  strings language lang=ja",
                                "ERROR strings missing id=999", "ERROR strings missing id=1035",
                                "ERROR strings missing id=4000"}));
}

// Every Settings row's label and every notice, in both languages and at the longest, fits the
// space its row gives it: a text too long for one line wraps, and its row grows to hold it.
TEST_F(Strings, EverySettingsLabelAndNoticeFitsItsRow) {
  test::Factories factories;
  for (const wchar_t* language : {L"en", L"ja"}) {
    Choose(language);
    Renderer renderer(factories.d2d.Get(), factories.dwrite.Get());
    // So does the card's update line, however long the version.
    for (const std::u16string_view version : {u"1.2.3", u"10.20.300-beta.4"}) {
      CardView view;
      BuildCardView({.snapshot = Snapshot{},
                     .settings = Settings{},
                     .updateState = UpdateState::Required,
                     .updateVersion = version},
                    CardWords(ProgramTexts()), view);
      const float needed = CardPainter::UpdateTextHeight(renderer, view);
      EXPECT_GE(StackSections(CardSections(Settings{}, UpdateState::Required, std::nullopt, needed))
                    .sections[0]
                    .height,
                std::max(needed, 16.0f));
    }
    SettingsPanel panel({});
    panel.saveFailed = true;
    panel.loginState = LoginItemState::DisabledInWindows;
    for (const bool noDataFolder : {false, true}) {
      panel.noDataFolder = noDataFolder;
      panel.BuildRows([&](std::uint32_t id, TextStyle style, float width) {
        return renderer.MeasureTextHeight(LoadText(id), style, width);
      });
      for (const SettingsRow& row : panel.rows) {
        const RowLabel label = LabelOf(row);
        const float needed =
            renderer.MeasureTextHeight(LoadText(row.textId), label.style, label.box.width());
        EXPECT_GT(needed, 0) << row.textId;
        EXPECT_LE(needed, label.box.height() + row.labelGrowth) << row.textId;
      }
    }
  }
}

// Refuses every window creation on this thread, as a system short of resources may, without
// leaving an error code behind.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(CardWindow, AFailedCreationWithoutAnErrorCodeIsStillAFailure) {
  test::Factories factories;
  CardWindow card(factories.d2d.Get(), factories.dwrite.Get(), nullptr);
  HHOOK hook = SetWindowsHookExW(WH_CBT, &RefuseCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  SetLastError(0);
  const HRESULT created = card.Create(GetModuleHandleW(nullptr));
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(std::pair(FAILED(created), card.hwnd()), std::pair(true, HWND{}))
      << std::hex << created;
}

// Modifies (`NIM_MODIFY`: succeeds only while it exists) or deletes the card's icon, id 1.
bool Icon(DWORD action, HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = 1;
  return Shell_NotifyIconW(action, &data) != FALSE;
}

// In process, the card pauses measuring while the session is locked or the display is off
// (dimmed counts as on), keeps a one-second clock timer beside slower sampling, moves and
// resizes for a new DPI, stays on the screen as it grows, and re-adds its tray icon when the
// taskbar is created again.
using CardMessages = test::LoggingTest;

TEST_F(CardMessages, PausesTimersDpiAndTheTaskbarsReturn) {
  test::CardInProcess inProcess;
  CardWindow& card = inProcess.card;
  ASSERT_EQ(card.Create(GetModuleHandleW(nullptr)), S_OK);
  alignas(POWERBROADCAST_SETTING) unsigned char buffer[sizeof(POWERBROADCAST_SETTING) + 4] = {};
  auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
  const auto changed = [&](const GUID& guid, DWORD state) {
    setting->PowerSetting = guid;
    setting->DataLength = sizeof state;
    std::memcpy(setting->Data, &state, sizeof state);
    return reinterpret_cast<LPARAM>(setting);
  };
  const auto display = [&](DWORD state) {
    SendMessageW(card.hwnd(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                 changed(GUID_CONSOLE_DISPLAY_STATE, state));
    return card.IsMeasuringPaused();
  };
  // The battery is read again when its charge or the power source changes, not otherwise.
  EXPECT_EQ(
      (std::vector{
          IsBatteryChange(PBT_POWERSETTINGCHANGE, changed(GUID_BATTERY_PERCENTAGE_REMAINING, 80)),
          IsBatteryChange(PBT_POWERSETTINGCHANGE, changed(GUID_ACDC_POWER_SOURCE, 0)),
          IsBatteryChange(PBT_APMPOWERSTATUSCHANGE, 0),
          IsBatteryChange(PBT_POWERSETTINGCHANGE, changed(GUID_CONSOLE_DISPLAY_STATE, 1)),
          IsBatteryChange(PBT_APMRESUMEAUTOMATIC, 0)}),
      (std::vector{true, true, true, false, false}));
  const auto session = [&](WPARAM change) {
    return SendMessageW(card.hwnd(), WM_WTSSESSION_CHANGE, change, 0), card.IsMeasuringPaused();
  };
  EXPECT_FALSE(card.IsMeasuringPaused());
  EXPECT_EQ(std::vector<bool>({session(WTS_SESSION_LOCK), session(WTS_SESSION_UNLOCK), display(0),
                               display(0), display(2)}),
            std::vector<bool>({true, false, true, true, false}));
  EXPECT_EQ(
      Events("window"),
      (std::vector<std::string>{
          "DEBUG window paused reason=session_lock", "DEBUG window resumed reason=session_unlock",
          "DEBUG window paused reason=display", "DEBUG window resumed reason=display"}));

  Settings settings;
  settings.updateIntervalSeconds = 2;
  card.ApplySettings(settings);
  EXPECT_TRUE(KillTimer(card.hwnd(), 2));  // the clock's, started again for the next check
  card.RestartTimers();
  settings.updateIntervalSeconds = 1;
  card.ApplySettings(settings);
  EXPECT_FALSE(KillTimer(card.hwnd(), 2));

  // A new DPI: the window takes the suggested place, and its width from the DPI it now has
  // (under Wine always the system's): 190 pixels at 96 DPI, 285 at 144.
  RECT suggested{300, 260, 300 + 285, 260 + 120};
  SendMessageW(card.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  const RECT placed = test::RectOf(card.hwnd());
  const UINT dpi = GetDpiForWindow(card.hwnd());
  ASSERT_TRUE(dpi == 96 || dpi == 144) << dpi;
  EXPECT_EQ(std::vector<LONG>({placed.left, placed.top, placed.right - placed.left}),
            std::vector<LONG>({300, 260, dpi == 96 ? 190 : 285}));

  // More sections grow a card on, near or across the bottom edge upwards; one higher, downwards.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(card.hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  Settings few = settings;
  few.showCpu = few.showMemory = few.showNetwork = false;
  for (const LONG above : {0, 8, 40, 600}) {  // the bottom edge's distance from the work area's
    card.ApplySettings(few);
    const RECT rect = test::RectOf(card.hwnd());
    const LONG top = monitor.rcWork.bottom - above - (rect.bottom - rect.top);
    SetWindowPos(card.hwnd(), nullptr, rect.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    card.ApplySettings(settings);
    const RECT grown = test::RectOf(card.hwnd());
    EXPECT_GT(grown.bottom - grown.top, rect.bottom - rect.top);
    EXPECT_EQ(above == 600 ? grown.top : grown.bottom,
              above == 600 ? top : monitor.rcWork.bottom - above);
  }

  // The buttons show while the pointer is over the card, and go when a window covers it there.
  const RECT rect = test::RectOf(card.hwnd());
  POINT gear{rect.left + 1, rect.top + 1};
  SetCursorPos(gear.x, gear.y);
  SendMessageW(card.hwnd(), WM_MOUSEMOVE, 0, 0);
  while (card.HitTestButton(gear) == HoverButton::None && gear.y < rect.bottom) {
    gear = gear.x + 4 < rect.right ? POINT{gear.x + 4, gear.y} : POINT{rect.left + 1, gear.y + 4};
  }
  ASSERT_NE(card.HitTestButton(gear), HoverButton::None);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"BUTTON", L"",
                               WS_POPUP | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
  SetCursorPos(gear.x, gear.y);
  SendMessageW(card.hwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(card.HitTestButton(gear), HoverButton::None);
  DestroyWindow(cover);

  ASSERT_TRUE(Icon(NIM_DELETE, card.hwnd()));  // as when the taskbar restarts
  SendMessageW(card.hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(Icon(NIM_MODIFY, card.hwnd()));
}

// The menu a thread timer finds shown: where, and its last item's text; closed at once.
struct ShownMenu {
  RECT rect{};
  std::wstring last;
  UniqueHandle seen{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
} gMenu;
void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu != nullptr && IsWindowVisible(menu)) {
    GetWindowRect(menu, &gMenu.rect);
    auto* items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    wchar_t text[64] = {};
    GetMenuStringW(items, static_cast<UINT>(GetMenuItemCount(items) - 1), text, 64, MF_BYPOSITION);
    gMenu.last = text;
    KillTimer(nullptr, timer);
    EndMenu();
    SetEvent(gMenu.seen.get());
  }
}

// The card's own menu, never the system menu, for a right-click on its body (a caption area)
// and for the Menu key, whose menu opens at the card's corner.
TEST_F(CardMessages, TheMenuOpensForARightClickAnywhereAndTheMenuKey) {
  test::CardInProcess inProcess;
  CardWindow& card = inProcess.card;
  ASSERT_EQ(card.Create(GetModuleHandleW(nullptr)), S_OK);
  const RECT rect = test::RectOf(card.hwnd());
  const auto opened = [&](auto open) {
    ResetEvent(gMenu.seen.get());
    gMenu.last.clear();
    SetTimer(nullptr, 0, 10, &CloseShownMenu);
    open();
    EXPECT_TRUE(test::PumpUntilSet(gMenu.seen.get(), 10000));
    return gMenu.last == std::wstring(AsWide(LoadText(kTextMenuExit).c_str()));
  };
  EXPECT_TRUE(opened([&] {
    SetCursorPos(rect.left + 60, rect.top + 150);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, click, sizeof(INPUT));
  }));
  EXPECT_TRUE(opened([&] {
    PostMessageW(card.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(card.hwnd()), -1);
  }));
  const RECT& menu = gMenu.rect;
  EXPECT_TRUE((menu.left == rect.left || menu.right == rect.left) &&
              (menu.top == rect.top || menu.bottom == rect.top))
      << menu.left << "," << menu.top << " " << rect.left << "," << rect.top;
}

// A shell under load that answers the add and the modify with failures may have added the icon.
std::vector<DWORD> gAsked;
BOOL WINAPI FailingShell(DWORD message, NOTIFYICONDATAW*) {
  gAsked.push_back(message);
  SetLastError(ERROR_TIMEOUT);
  return message == NIM_DELETE;
}

// "TaskbarCreated" while the shell still holds the icon: it is modified in place, so that exactly
// one icon exists, and that one goes at exit, as does one the shell said it could not add. (Wine
// drops the icons of a destroyed window, so the owner here outlives the icon.)
TEST_F(CardMessages, AHeldTrayIconIsModifiedInPlaceAndRemovedAtExit) {
  const HWND owner = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr);
  {
    TrayIcon tray;
    tray.Init(owner, WM_APP);
    ASSERT_TRUE(tray.added()) << "no notification area";
    tray.Readd();
    EXPECT_TRUE(tray.added());
  }
  EXPECT_FALSE(Icon(NIM_MODIFY, owner));
  EXPECT_TRUE(Events("tray").empty());
  DestroyWindow(owner);
  TrayIcon(&FailingShell).Init(nullptr, WM_APP);
  EXPECT_EQ(gAsked, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_DELETE}));
  EXPECT_EQ(Events("tray"), std::vector<std::string>{"WARN  tray add_failed code=0x000005B4"});
}

}  // namespace
}  // namespace lumetta
