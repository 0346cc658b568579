#include "card/tray_icon.h"

#include <cwchar>

#include "app/log.h"
#include "base/win_error.h"

namespace lumetta {
namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW Identity(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kIconId;
  return data;
}

}  // namespace

TrayIcon::~TrayIcon() {
  Remove();
}

void TrayIcon::Init(HWND owner, UINT callbackMessage) {
  owner_ = owner;
  callbackMessage_ = callbackMessage;
  if (!icon_) {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForSystem());
    icon_.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
  }
  Add();
}

bool TrayIcon::Add() {
  NOTIFYICONDATAW data = Identity(owner_);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_ ? icon_.get() : LoadIconW(nullptr, IDI_APPLICATION);
  wcsncpy(data.szTip, L"Lumetta", sizeof data.szTip / sizeof data.szTip[0] - 1);
  // After "TaskbarCreated" the shell may still hold the icon; it is then updated in place, so
  // that exactly one icon exists and it is the one removed at exit.
  requested_ = true;
  if (!notify_(NIM_ADD, &data)) {
    const std::uint32_t error = LastErrorCode();
    if (!notify_(NIM_MODIFY, &data)) {
      LogEvent(kWarn, "tray", "add_failed", CodeDetail(error));
      added_ = false;
      return false;
    }
  }
  data.uVersion = NOTIFYICON_VERSION_4;
  notify_(NIM_SETVERSION, &data);
  added_ = true;
  return true;
}

void TrayIcon::Readd() {
  if (owner_ != nullptr) {
    added_ = false;
    Add();
  }
}

void TrayIcon::Remove() {
  if (requested_) {
    NOTIFYICONDATAW data = Identity(owner_);
    notify_(NIM_DELETE, &data);
    added_ = requested_ = false;
  }
}

}  // namespace lumetta
