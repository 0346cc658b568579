#include "dialogs/about_window.h"

#include <shellapi.h>

#include "app/log.h"
#include "app/strings.h"
#include "app/text_ids.h"
#include "app/version.h"
#include "base/rounding.h"
#include "base/wide.h"
#include "window/window_geometry.h"

namespace lumetta {
AboutWindow::AboutWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory)
    : DialogWindow(factory, writeFactory), versionText_(DisplayVersionText()) {}

std::u16string AboutWindow::WindowTitle() const {
  return LoadText(kTextAboutTitle);
}

void AboutWindow::Text(Renderer& r, std::u16string_view text, TextStyle style, const RectF& box,
                       const ColorF& color, bool wrap) {
  if (drawing_) {
    r.DrawText(text, style, ToD2D(box), ToD2D(color), TextAlign::Leading, wrap);
  }
  tree_.Add(static_cast<std::uint32_t>(tree_.nodes.size() + 1), 0, A11yRole::Text,
            std::u16string(text), box);
}

A11yTree AboutWindow::BuildAccessibilityTree() {
  if (tree_.nodes.empty()) {
    Lay(renderer(), static_cast<float>(ClientSize().width), false);
  }
  A11yTree tree = tree_;
  tree.focused = GetFocus() == hwnd() ? std::uint32_t{kAboutElementLink} : 0;
  return tree;
}

LRESULT AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    AccessibilityChanged();  // the link gains or loses the focus with the window
  }
  return DialogWindow::OnMessage(message, wParam, lParam);
}

void AboutWindow::Lay(Renderer& r, float width, bool draw) {
  drawing_ = draw;
  const Palette& p = *r.palette;
  const float w = width;
  tree_ = {};
  if (draw) {
    if (!icon_) {
      const int size = static_cast<int>(RoundHalfAway(Dpi() * 64 / 96));
      icon_.reset(static_cast<HICON>(
          LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
    }
    const D2D1_RECT_F iconBox{24, 24, 88, 88};
    if (!r.DrawIcon(icon_.get(), iconBox)) {
      r.FillRect(iconBox, ToD2D(p.accent), 14);
      r.DrawText(u"L", TextStyle::TitleLarge, iconBox, ToD2D(p.onAccent), TextAlign::Center, false);
    }
    r.FillRect({24, 104, w - 24, 105}, ToD2D(p.divider), 0);
  }
  Text(r, u"Lumetta", TextStyle::Title, {104, 24, w - 24, 52}, p.textPrimary, false);
  Text(r, LoadText(kTextAboutTagline), TextStyle::Body, {104, 52, w - 24, 70}, p.textSecondary,
       false);
  Text(r, FormatText(kTextAboutVersion, {versionText_}), TextStyle::Body, {104, 70, w - 24, 88},
       p.textSecondary, false);
  const std::u16string description = LoadText(kTextAboutDescription);
  const float h1 = r.MeasureTextHeight(description, TextStyle::BodyLarge, w - 48);
  Text(r, description, TextStyle::BodyLarge, {24, 118, w - 24, 118 + h1}, p.textPrimary, true);
  const float y = 118 + h1 + 16;
  Text(r, LoadText(kTextAboutLicense), TextStyle::BodyStrong, {24, y, w - 24, y + 18},
       p.textSecondary, false);
  const float y2 = y + 22;
  const std::u16string licence = LoadText(kTextAboutNoThirdParty);
  const float h2 = r.MeasureTextHeight(licence, TextStyle::Body, w - 72);
  const float b = y2 + h2 + 44;
  if (draw) {
    r.FillRect({24, y2, w - 24, b}, ToD2D(p.panel), 6);
  }
  Text(r, kMakerLine, TextStyle::Body, {36, y2 + 8, w - 36, y2 + 26}, p.textPrimary, false);
  Text(r, licence, TextStyle::Body, {36, y2 + 28, w - 36, b - 8}, p.textSecondary, true);
  const float y3 = b + 16;
  const float linkWidth = r.MeasureTextWidth(HostOf(kMakerSite), TextStyle::Body);
  linkRect_ = {24, y3, 24 + linkWidth, y3 + 18};
  if (draw) {
    r.DrawText(HostOf(kMakerSite), TextStyle::Body, ToD2D(linkRect_), ToD2D(p.accent),
               TextAlign::Leading, false);
  }
  // The link is the window's one control: Enter opens it.
  tree_.Add(kAboutElementLink, 0, A11yRole::Link, std::u16string(HostOf(kMakerSite)), linkRect_)
      .focusable = true;
}

A11yOutcome AboutWindow::OnAccessibilityRequest(const A11yRequest& request) {
  if (request.id != kAboutElementLink ||
      (request.verb != A11yVerb::Invoke && request.verb != A11yVerb::Focus)) {
    return A11yOutcome::NotSupported;
  }
  if (request.verb == A11yVerb::Invoke) {
    OpenSite();
  } else {
    SetForegroundWindow(hwnd());
  }
  return A11yOutcome::Done;
}

void AboutWindow::OpenSite() {
  const std::u16string site(kMakerSite);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", AsWide(site.c_str()), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    LogEvent(kWarn, "about", "open_site_failed", "code=" + std::to_string(result));
  }
}

void AboutWindow::OnMouseUp(float x, float y) {
  if (IsClickableAt(x, y)) {
    OpenSite();
  }
}

bool AboutWindow::OnKeyDown(WPARAM key) {
  if (key != VK_RETURN) {
    return false;
  }
  OpenSite();
  return true;
}

bool AboutWindow::IsClickableAt(float x, float y) {
  return InsideInclusive(linkRect_, x, y);
}

}  // namespace lumetta
