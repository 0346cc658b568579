// The About dialog: icon, name, version, description, licence note and the maker's link.
#pragma once

#include <string>

#include "base/owner_win.h"
#include "dialogs/dialog_window.h"

namespace lumetta {

// The maker's web site: opened by the link, and shown as its host name.
inline constexpr std::u16string_view kMakerSite = u"https://norvale.com/lumetta";
inline constexpr std::u16string_view kMakerLine = u"Made by Norvale";

// "norvale.com" of "https://norvale.com/lumetta".
[[nodiscard]] constexpr std::u16string_view HostOf(std::u16string_view address) {
  const std::size_t scheme = address.find(u"://");
  const std::u16string_view rest =
      scheme == std::u16string_view::npos ? address : address.substr(scheme + 3);
  return rest.substr(0, rest.find(u'/'));
}
static_assert(HostOf(u"https://norvale.com/lumetta") == u"norvale.com");

enum AboutElement : std::uint32_t { kAboutElementLink = 100 };

class AboutWindow final : public DialogWindow {
 public:
  AboutWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory);

  void OpenSite();
  [[nodiscard]] const RectF& linkRect() const { return linkRect_; }

 protected:
  const wchar_t* ClassName() const override { return L"LumettaAboutWindow"; }
  std::u16string WindowTitle() const override;
  DipSize ClientSize() const override { return {400, 420}; }
  void Paint(Renderer& renderer, float width, float) override { Lay(renderer, width, true); }
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnMouseUp(float x, float y) override;
  bool OnKeyDown(WPARAM key) override;
  bool IsClickableAt(float x, float y) override;
  // What the window shows, laid out without drawing before its first frame; the texts do not
  // change while it is open. The link has the focus while the window has.
  A11yTree BuildAccessibilityTree() override;
  A11yOutcome OnAccessibilityRequest(const A11yRequest& request) override;

 private:
  // Lays the window out for screen readers, and draws it too when `draw`.
  void Lay(Renderer& r, float width, bool draw);
  // Draws a text when drawing, and records it for screen readers.
  void Text(Renderer& r, std::u16string_view text, TextStyle style, const RectF& box,
            const ColorF& color, bool wrap);

  A11yTree tree_;
  RectF linkRect_;
  std::u16string versionText_;
  UniqueIcon icon_;
  bool drawing_ = false;
};

}  // namespace lumetta
