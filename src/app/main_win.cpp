// Process entry: start-up and teardown in a fixed order on the one UI thread.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>
#include <objbase.h>

#include <memory>
#include <optional>
#include <string>

#include "app/folders_win.h"
#include "app/log.h"
#include "app/log_win.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "base/printf.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "card/monitor_window.h"
#include "settings/login_item.h"

namespace lumetta {
namespace {

constexpr wchar_t kMutexName[] = L"Local\\com.norvale.lumettawin";

void ShowStartupFailure(std::uint32_t stageTextId, HRESULT code) {
  const auto value = static_cast<std::uint32_t>(code);
  LogEvent(kError, "app", "startup_failed", CodeDetail(value));
  const std::u16string stage = LoadText(stageTextId);
  const std::u16string message =
      FormatText(kTextStartupFailed, {stage, AsciiToU16(FormatCode(value))});
  MessageBoxW(nullptr, AsWide(message.c_str()), L"Lumetta", MB_OK | MB_ICONERROR);
}

// Releases a COM reference if one is held.
template <typename T>
void Release(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}

int Run(HINSTANCE instance) {
  if (const std::optional<std::wstring> logs = LogsFolder()) {
    OpenLog(*logs + L"\\app.log");
  }
  LogEvent(kInfo, "app", "start", "version=0.9.0 build=2");
  ChooseLanguage();

  HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
  if (mutex == nullptr) {
    LogEvent(kWarn, "app", "mutex_failed", CodeDetail(LastErrorCode()));
  } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
    LogEvent(kInfo, "app", "already_running");
    if (HWND running = FindWindowW(kMonitorWindowClass, nullptr)) {
      PostMessageW(running, RegisterWindowMessageW(kRevealMessageName), 0, 0);
    }
    CloseHandle(mutex);
    return 0;
  }

  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (FAILED(com)) {
    LogEvent(kWarn, "app", "com_init_failed", CodeDetail(static_cast<std::uint32_t>(com)));
  }

  RepairLoginItem();

  std::unique_ptr<std::wstring> settingsPath;
  if (const std::optional<std::wstring> appData = AppDataFolder()) {
    settingsPath = std::make_unique<std::wstring>(*appData + L"\\settings.json");
  } else {
    LogEvent(kWarn, "app", "app_data_unavailable");
  }

  ID2D1Factory* d2dFactory = nullptr;
  IDWriteFactory* dwriteFactory = nullptr;
  std::unique_ptr<MonitorWindow> window;
  // Start-up failures leave the mutex and COM to process exit.
  auto fail = [&](std::uint32_t stage, HRESULT code) {
    ShowStartupFailure(stage, code);
    window.reset();
    Release(dwriteFactory);
    Release(d2dFactory);
    return 1;
  };

  HRESULT result = D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory),
                                     nullptr, reinterpret_cast<void**>(&d2dFactory));
  if (FAILED(result)) {
    return fail(kTextStageDirect2D, result);
  }
  result = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                               reinterpret_cast<IUnknown**>(&dwriteFactory));
  if (FAILED(result)) {
    return fail(kTextStageDirectWrite, result);
  }
  window = std::make_unique<MonitorWindow>(d2dFactory, dwriteFactory, settingsPath.get());
  result = window->Create(instance);
  if (FAILED(result)) {
    return fail(kTextStageWindow, result);
  }

  int exitCode = 1;
  MSG message{};
  BOOL got = 0;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (got == 0) {
    LogEvent(kInfo, "app", "exit");
    if (SUCCEEDED(com)) {
      CoUninitialize();
    }
    if (mutex != nullptr) {
      CloseHandle(mutex);
    }
    exitCode = static_cast<int>(message.wParam);
  } else {
    LogEvent(kError, "app", "message_loop_failed", CodeDetail(LastErrorCode()));
  }
  window.reset();
  Release(dwriteFactory);
  Release(d2dFactory);
  return exitCode;
}

}  // namespace
}  // namespace lumetta

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return lumetta::Run(instance);
}
