// The Settings dialog: every option as a scrolling list of custom-drawn rows; each change is
// handed to the card at once.
#pragma once

#include <functional>

#include "dialogs/dialog_window.h"
#include "dialogs/settings_panel.h"

namespace lumetta {

class SettingsWindow final : public DialogWindow {
 public:
  SettingsWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory,
                 std::function<void(const Settings&)> onChanged);

  void Open(HWND ownerWindow, const Settings& settings);
  // The card changed the settings itself (Ctrl+wheel, the menu): show the truth.
  void SetSettings(const Settings& settings);
  void SetSaveFailed(bool failed, bool noDataFolder);

 protected:
  const wchar_t* ClassName() const override { return L"LumettaSettingsWindow"; }
  std::u16string WindowTitle() const override;
  DipSize ClientSize() const override { return {400, 660}; }
  void Paint(Renderer& renderer, float width, float height) override;
  void OnCreated() override { panel_.OnCreated(); }
  void OnMouseMove(float x, float y) override;
  void OnMouseLeave() override;
  void OnMouseDown(float x, float y) override;
  void OnMouseUp(float x, float y) override;
  void OnMouseWheel(float notches) override;
  void OnCaptureLost() override { panel_.CancelInput(); }
  bool OnKeyDown(WPARAM key) override;
  bool IsClickableAt(float x, float y) override { return panel_.IsClickableAt(x, y); }
  A11yTree BuildAccessibilityTree() override;
  A11yOutcome OnAccessibilityRequest(const A11yRequest& request) override;

 private:
  // Rows follow the settings at once, also before the next paint, so that input between a
  // change and its repaint meets the rows it will see.
  void BuildRows();
  void PaintRow(Renderer& r, const SettingsRow& row, float top, float bottom);

  std::function<void(const Settings&)> onChanged_;
  SettingsPanel panel_;
};

}  // namespace lumetta
