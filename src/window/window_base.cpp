#include "window/window_base.h"

#include <cmath>

#include "app/log.h"
#include "base/printf.h"
#include "base/rounding.h"
#include "base/win_error.h"
#include "draw/palette.h"

namespace lumetta {
namespace {

void NoteFailedMessage(UINT message) noexcept {
  try {
    LogEvent(kError, "window", "message_failed", StringPrintf("message=0x%04X", message));
  } catch (...) {  // the log cannot be written either
  }
}

}  // namespace

HRESULT WindowCreation::HResult() const {
  return Ok() ? S_OK : HRESULT_FROM_WIN32(error);  // an HRESULT such as E_FAIL passes as it is
}

WindowBase::WindowBase(ID2D1Factory* factory, IDWriteFactory* writeFactory, WindowFrame frame)
    : renderer_(factory, writeFactory), palette_(PaletteFor(true)), frame_(frame) {
  renderer_.palette = &palette_;
}

WindowBase::~WindowBase() {
  DestroyBoundWindow();
}

float WindowBase::Dpi() const {
  return hwnd_ != nullptr ? static_cast<float>(GetDpiForWindow(hwnd_)) : 96.0f;
}

void WindowBase::Invalidate() {
  if (hwnd_ != nullptr) {
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

WindowCreation WindowBase::CreateBoundWindow(const wchar_t* className, DWORD exStyle, DWORD style,
                                             const wchar_t* title, const ScreenRect& place) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance, className, &windowClass)) {
    windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowBase::Thunk;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
      return {WindowCreation::Failed::RegisterClass, LastErrorCode()};
    }
  }
  if (CreateWindowExW(exStyle, className, title, style, place.x, place.y, place.w, place.h, nullptr,
                      nullptr, instance, this) == nullptr) {
    return {WindowCreation::Failed::CreateWindow, LastErrorCode()};
  }
  renderer_.hwnd = hwnd_;
  created_ = true;
  SetUpFrame();
  return {};
}

void WindowBase::DestroyBoundWindow() {
  uia_.reset();
  if (hwnd_ != nullptr) {
    HWND window = hwnd_;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    DestroyWindow(window);
  }
}

IRawElementProviderSimple* WindowBase::AccessibilityRoot() {
  if (hwnd_ == nullptr || !created_) {
    return nullptr;
  }
  if (!uia_) {
    tree_ = BuildAccessibilityTree();
    uia_ = std::make_unique<UiaProviders>(static_cast<AccessibilityHost&>(*this));
  }
  return uia_->Root();
}

void WindowBase::RefreshAccessibility() {
  if (uia_) {
    tree_ = BuildAccessibilityTree();
  }
}

void WindowBase::AccessibilityChanged() {
  if (!uia_) {
    return;
  }
  tree_ = BuildAccessibilityTree();
  // No outbound COM call while a sent message is handled (a reader's call carried here, or a
  // WM_CLOSE from another process): the events wait until it has returned.
  if (InSendMessage()) {
    changePosted_ =
        changePosted_ || PostMessageW(hwnd_, kAccessibilityChangedMessage, 0, 0) != FALSE;
    return;
  }
  uia_->Changed();
}

A11yOutcome WindowBase::HandleAccessibilityRequest(const A11yRequest& request) {
  if (request.verb == A11yVerb::Invoke) {
    // Invoking opens windows and pages; clients expect the call to return first.
    const A11yNode* node = tree_.Find(request.id);
    if (node == nullptr || (node->role != A11yRole::Button && node->role != A11yRole::Link)) {
      return A11yOutcome::NotSupported;
    }
    if (!node->enabled) {
      return A11yOutcome::Disabled;
    }
    return PostMessageW(hwnd_, kAccessibilityInvokeMessage, request.id, 0) ? A11yOutcome::Done
                                                                           : A11yOutcome::Disabled;
  }
  const A11yOutcome outcome = OnAccessibilityRequest(request);
  if (outcome == A11yOutcome::Done) {
    AccessibilityChanged();
    Invalidate();
  }
  return outcome;
}

RECT WindowBase::ScreenRectOf(const RectF& dips) const {
  const float pixelsPerDip = Dpi() / 96.0f * renderer_.scale;
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  const auto at = [pixelsPerDip](float dip, LONG offset) {
    return offset + static_cast<LONG>(RoundHalfAway(dip * pixelsPerDip));
  };
  return {at(dips.left, origin.x), at(dips.top, origin.y), at(dips.right, origin.x),
          at(dips.bottom, origin.y)};
}

PointF WindowBase::DipsAtScreen(double x, double y) const {
  POINT point{static_cast<LONG>(std::floor(x)), static_cast<LONG>(std::floor(y))};
  ScreenToClient(hwnd_, &point);
  return ToDips(point.x, point.y);
}

void WindowBase::SetRenderScale(float scale) {
  if (scale != renderer_.scale) {
    renderer_.DiscardDeviceResources();
    renderer_.scale = scale;
  }
}

PointF WindowBase::ToDips(int x, int y) const {
  const float pixelsPerDip = Dpi() / 96.0f * renderer_.scale;
  return {static_cast<float>(x) / pixelsPerDip, static_cast<float>(y) / pixelsPerDip};
}

void WindowBase::SetUpFrame() {
  const WindowLook look = SetUpWindowFrame(hwnd_, frame_);
  palette_ = look.palette;
  plainBackdrop_ = look.plainBackdrop;
}

void WindowBase::Retheme() {
  SetUpFrame();
  OnFrameChanged();
  Invalidate();
}

LRESULT CALLBACK WindowBase::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (self == nullptr) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  // An exception must not unwind through user32's frames: a message whose handling failed
  // (out of memory) gets the default answer, and the window goes on.
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (...) {
    NoteFailedMessage(message);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT WindowBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void WindowBase::PaintFrame() {
  PAINTSTRUCT paint{};
  BeginPaint(hwnd_, &paint);
  DrawFrame();
  EndPaint(hwnd_, &paint);
}

void WindowBase::DrawFrame() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (renderer_.BeginFrame()) {
    const PointF size = ToDips(client.right, client.bottom);
    if (plainBackdrop_) {
      renderer_.FillRect({0, 0, size.x, size.y}, ToD2D(palette_.backdrop), 0);
    }
    Paint(renderer_, size.x, size.y);
    renderer_.EndFrame();
  }
}

// PrintWindow's callers (thumbnails, magnifiers, screenshot tools) get the window's own pixels
// in their DC, whatever covers it; the window's target is made again at its next paint.
void WindowBase::PrintClient(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  renderer_.PrintTo(dc, client);
  DrawFrame();
  renderer_.PrintTo(nullptr, {});
}

LRESULT WindowBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == UiaProviders::CallMessage() && message != 0) {
    return uia_ && uia_->RunCall(wParam) ? 1 : 0;
  }
  switch (message) {
    case WM_SIZE:
      renderer_.Resize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT:
      PaintFrame();
      return 0;
    case WM_PRINTCLIENT:
      PrintClient(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETTINGCHANGE:
      if (IsThemeChangeNotice(static_cast<std::uint32_t>(wParam),
                              reinterpret_cast<const char16_t*>(lParam))) {
        Retheme();
      }
      return OnMessage(message, wParam, lParam);
    case WM_SYSCOLORCHANGE:
      Retheme();
      return OnMessage(message, wParam, lParam);
    case WM_DWMCOMPOSITIONCHANGED:
      Retheme();
      return 0;
    case WM_DPICHANGED: {
      renderer_.DiscardDeviceResources();
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      OnDpiChanged();
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
      const bool nonClient = message == WM_NCMOUSEMOVE;
      bool& tracking = trackingLeave_[nonClient ? 1 : 0];
      if (!tracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE | (nonClient ? TME_NONCLIENT : 0);
        track.hwndTrack = hwnd_;
        tracking = TrackMouseEvent(&track) != FALSE;
      }
      return OnMessage(message, wParam, lParam);
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE: {
      const bool nonClient = message == WM_NCMOUSELEAVE;
      trackingLeave_[nonClient ? 1 : 0] = false;
      OnMouseLeft(nonClient);
      return 0;
    }
    case WM_GETOBJECT:
      if (AccessibilityRoot() != nullptr) {
        if (const std::optional<LRESULT> answer = uia_->OnGetObject(wParam, lParam)) {
          return *answer;
        }
      }
      return OnMessage(message, wParam, lParam);
    case kAccessibilityChangedMessage:
      changePosted_ = false;
      AccessibilityChanged();
      return 0;
    case kAccessibilityInvokeMessage: {
      const auto id = static_cast<std::uint32_t>(wParam);
      if (OnAccessibilityRequest({A11yVerb::Invoke, id}) == A11yOutcome::Done && uia_) {
        uia_->Invoked(id);
      }
      AccessibilityChanged();
      Invalidate();
      return 0;
    }
    case WM_DESTROY:
      // Screen readers are told the window is going before it goes, and not served again.
      uia_.reset();
      tree_ = {};
      created_ = false;
      return OnMessage(message, wParam, lParam);
    case WM_NCDESTROY: {
      uia_.reset();
      tree_ = {};
      created_ = false;
      renderer_.DiscardDeviceResources();
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      HWND closing = hwnd_;
      hwnd_ = nullptr;
      trackingLeave_[0] = trackingLeave_[1] = false;
      return DefWindowProcW(closing, message, wParam, lParam);
    }
    default:
      return OnMessage(message, wParam, lParam);
  }
}

}  // namespace lumetta
