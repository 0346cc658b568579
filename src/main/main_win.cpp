// Process entry: start-up and teardown in a fixed order on the one UI thread.
#include <windows.h>

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <memory>
#include <optional>
#include <string>

#include "app/build_version.h"
#include "app/folders_win.h"
#include "app/log.h"
#include "app/log_win.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "base/owner_win.h"
#include "base/printf.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "card/card_window.h"
#include "settings/login_item.h"

namespace lumetta {
namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kMutexName[] = L"Local\\com.norvale.lumettawin";

void ShowStartupFailure(TextId stage, HRESULT code) {
  const auto value = static_cast<std::uint32_t>(code);
  LogEvent(kError, "app", "startup_failed", CodeDetail(value));
  const std::u16string message =
      FormatText(kTextStartupFailed, {LoadText(stage), AsciiToU16(FormatCode(value))});
  MessageBoxW(nullptr, AsWide(message.c_str()), L"Lumetta", MB_OK | MB_ICONERROR);
}

int Run(HINSTANCE instance) {
  if (const std::optional<std::wstring> logs = LogsFolder()) {
    OpenLog(*logs + L"\\app.log");
  }
  LogEvent(kInfo, "app", "start",
           std::string("version=") + kProductVersion + " build=" + kBuildNumber);
  ChooseLanguage();

  // Declared in the reverse of the order they are given back in: COM first, then the mutex,
  // the window, the DirectWrite and the Direct2D factory, the settings path last.
  std::unique_ptr<std::wstring> settingsPath;
  ComPtr<ID2D1Factory> d2dFactory;
  ComPtr<IDWriteFactory> dwriteFactory;
  std::unique_ptr<CardWindow> window;
  UniqueHandle mutex;
  std::optional<ComScope> com;

  mutex.reset(CreateMutexW(nullptr, FALSE, kMutexName));
  if (!mutex) {
    LogEvent(kWarn, "app", "mutex_failed", CodeDetail(LastErrorCode()));
  } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
    LogEvent(kInfo, "app", "already_running");
    if (HWND running = FindWindowW(kCardWindowClass, nullptr)) {
      PostMessageW(running, RegisterWindowMessageW(kRevealMessageName), 0, 0);
    }
    return 0;
  }

  com.emplace(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (FAILED(com->result())) {
    LogEvent(kWarn, "app", "com_init_failed",
             CodeDetail(static_cast<std::uint32_t>(com->result())));
  }

  RepairLoginItem();

  if (const std::optional<std::wstring> appData = AppDataFolder()) {
    settingsPath = std::make_unique<std::wstring>(*appData + L"\\settings.json");
  } else {
    LogEvent(kWarn, "app", "app_data_unavailable");
  }

  HRESULT result = D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, d2dFactory.GetAddressOf());
  if (FAILED(result)) {
    ShowStartupFailure(kTextStageDirect2D, result);
    return 1;
  }
  result = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                               reinterpret_cast<IUnknown**>(dwriteFactory.GetAddressOf()));
  if (FAILED(result)) {
    ShowStartupFailure(kTextStageDirectWrite, result);
    return 1;
  }
  window = std::make_unique<CardWindow>(d2dFactory.Get(), dwriteFactory.Get(), settingsPath.get());
  result = window->Create(instance);
  if (FAILED(result)) {
    ShowStartupFailure(kTextStageWindow, result);
    return 1;
  }

  MSG message{};
  BOOL got = 0;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (got != 0) {
    LogEvent(kError, "app", "message_loop_failed", CodeDetail(LastErrorCode()));
    return 1;
  }
  LogEvent(kInfo, "app", "exit");
  return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace lumetta

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return lumetta::Run(instance);
}
