// probe COMMAND [TIMEOUT_MS]: a command-line handle on a running card for scripts.
//   find    wait for the card; print "left top right bottom"
//   close   post WM_CLOSE, wait for the process to end; print and exit with its exit code
//   reveal  post the registered reveal message
//   wait    wait for the card's process to end; print and exit with its exit code
//   painted [CLASS]  wait until the card (or the shown window of CLASS) shows a painted frame
//                    (its pixels are not all alike)
//   menu N CLASS  choose the Nth item of the card's menu until a window of CLASS is shown;
//                 print its client area's "left top right bottom" on the screen
// Exit code 3 when there is no card, 4 when the process did not end in time.
#include <cstdio>
#include <cwchar>
#include <string_view>

#include "probe/probe.h"

namespace {

constexpr int kNoCard = 3;
constexpr int kTimedOut = 4;

int Finish(HWND card, bool close, DWORD timeoutMs) {
  lumetta::UniqueHandle owner = lumetta::probe::OpenOwner(card);
  if (close) {
    lumetta::probe::PostClose(card);
  }
  const std::optional<DWORD> code =
      owner ? lumetta::probe::WaitForExit(owner.get(), timeoutMs) : std::nullopt;
  if (!code) {
    std::fprintf(stderr, "probe: the process did not end in time\n");
    return kTimedOut;
  }
  std::printf("exit=%lu\n", *code);
  return static_cast<int>(*code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: probe find|close|reveal|wait [TIMEOUT_MS]\n");
    return 2;
  }
  const std::wstring_view command = argv[1];
  const DWORD timeoutMs = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 10000;
  HWND card = lumetta::probe::WaitForCard(timeoutMs);
  if (card == nullptr) {
    std::fprintf(stderr, "probe: no window of class LumettaMonitorWindow\n");
    return kNoCard;
  }
  if (command == L"find") {
    const std::optional<RECT> rect = lumetta::probe::CardRect(card);
    if (!rect) {
      return kNoCard;
    }
    std::printf("%ld %ld %ld %ld\n", rect->left, rect->top, rect->right, rect->bottom);
    return 0;
  }
  if (command == L"painted") {
    // The first frame can take seconds on a busy machine (software rasteriser start-up).
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    const auto target = [&] { return argc > 3 ? FindWindowW(argv[3], nullptr) : card; };
    while (target() == nullptr || !lumetta::probe::ShowsAFrame(target())) {
      if (GetTickCount64() >= deadline) {
        std::fprintf(stderr, "probe: the window shows no painted frame\n");
        return kTimedOut;
      }
      Sleep(50);
    }
    return 0;
  }
  if (command == L"reveal") {
    return lumetta::probe::PostReveal(card) ? 0 : 1;
  }
  if (command == L"menu" && argc > 3) {
    const int item = static_cast<int>(std::wcstoul(argv[2], nullptr, 10));
    const wchar_t* windowClass = argv[3];
    // Wine sometimes cancels a menu loop as it starts: try again until the window shows.
    const auto poll = [](auto&& condition, ULONGLONG ms) {
      for (const ULONGLONG end = GetTickCount64() + ms; !condition(); Sleep(20)) {
        if (GetTickCount64() >= end) {
          return false;
        }
      }
      return true;
    };
    for (int attempt = 0; attempt < 5; ++attempt) {
      PostMessageW(card, WM_RBUTTONUP, 0, MAKELPARAM(40, 40));
      if (!poll([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; }, 5000)) {
        continue;
      }
      PostMessageW(card, WM_KEYDOWN, VK_HOME, 0);
      for (int i = 1; i < item; ++i) {
        PostMessageW(card, WM_KEYDOWN, VK_DOWN, 0);
      }
      PostMessageW(card, WM_KEYDOWN, VK_RETURN, 0);
      HWND shown = nullptr;
      if (poll([&] { return IsWindowVisible(shown = FindWindowW(windowClass, nullptr)) != FALSE; },
               2000)) {
        RECT rect{};
        POINT origin{0, 0};
        GetClientRect(shown, &rect);
        ClientToScreen(shown, &origin);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, origin.x + rect.right,
                    origin.y + rect.bottom);
        return 0;
      }
      PostMessageW(card, WM_KEYDOWN, VK_ESCAPE, 0);
      poll([] { return !IsWindowVisible(FindWindowW(L"#32768", nullptr)); }, 2000);
    }
    return 1;
  }
  if (command == L"close" || command == L"wait") {
    return Finish(card, command == L"close", timeoutMs);
  }
  std::fprintf(stderr, "probe: unknown command\n");
  return 2;
}
