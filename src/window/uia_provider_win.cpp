#include "window/uia_provider_win.h"

#include <oleauto.h>

#include "base/wide.h"
#include "window/uia_api_win.h"
#include "window/uia_element_win.h"

namespace lumetta {

using Microsoft::WRL::ComPtr;

namespace {

// A string property's change; the strings are the event's only for the call.
void RaiseTextChange(IRawElementProviderSimple* element, PROPERTYID property,
                     std::u16string_view was, std::u16string_view now) {
  VARIANT old = StringVariant(was);
  VARIANT value = StringVariant(now);
  uia::Api().raisePropertyChangedEvent(element, property, old, value);
  VariantClear(&old);
  VariantClear(&value);
}

}  // namespace

UINT UiaProviders::CallMessage() {
  static const UINT kMessage = RegisterWindowMessageW(L"com.norvale.lumettawin.uia-call");
  return kMessage;
}

bool UiaProviders::RunCall(WPARAM key) {
  return bridge_->RunCall(key);
}

UiaProviders::UiaProviders(AccessibilityHost& window) : bridge_(std::make_shared<UiaBridge>()) {
  bridge_->hwnd = window.AccessibilityHwnd();
  bridge_->thread = GetWindowThreadProcessId(bridge_->hwnd, nullptr);
  bridge_->window = &window;
  root_ = MakeUiaElement(bridge_, 0);
  ComPtr<IRawElementProviderFragmentRoot> fragmentRoot;
  root_.As(&fragmentRoot);
  bridge_->root = fragmentRoot.Get();  // root_ holds it
  last_ = window.AccessibilityTree();
}

UiaProviders::~UiaProviders() {
  const uia::Functions& api = uia::Api();
  HWND hwnd = bridge_->hwnd;
  bridge_->window = nullptr;
  bridge_->root = nullptr;
  // Disconnecting calls out through COM, which a sent message (WM_CLOSE from another process)
  // must not: its sender is answered first.
  if (InSendMessage()) {
    ReplyMessage(0);
  }
  // Lets UI Automation drop what it holds for the window, and tells clients it has gone.
  if (api.returnRawElementProvider != nullptr) {
    api.returnRawElementProvider(hwnd, 0, 0, nullptr);
  }
  if (api.disconnectProvider != nullptr) {
    api.disconnectProvider(root_.Get());
  }
}

std::optional<LRESULT> UiaProviders::OnGetObject(WPARAM wParam, LPARAM lParam) {
  // Every id goes to UI Automation as it came: for MSAA's it answers through its bridge to the
  // same elements, and with 0 for what it leaves to the window's default.
  const auto answer = uia::Api().returnRawElementProvider;
  if (answer == nullptr) {
    return std::nullopt;
  }
  const LRESULT result = answer(bridge_->window->AccessibilityHwnd(), wParam, lParam, root_.Get());
  return result != 0 ? std::optional(result) : std::nullopt;
}

IRawElementProviderSimple* UiaProviders::Root() const {
  return root_.Get();
}

void UiaProviders::Changed() {
  A11yTree now = bridge_->window->AccessibilityTree();
  const auto listening = uia::Api().clientsAreListening;
  if (listening != nullptr && listening()) {
    for (const A11yChange& change : A11yChanges(last_, now)) {
      Raise(change, last_, now);
    }
  }
  last_ = std::move(now);
}

void UiaProviders::Invoked(std::uint32_t id) {
  const uia::Functions& api = uia::Api();
  if (api.clientsAreListening != nullptr && api.clientsAreListening() &&
      api.raiseAutomationEvent != nullptr) {
    ComPtr<IRawElementProviderSimple> element;
    element = MakeUiaElement(bridge_, id);
    api.raiseAutomationEvent(element.Get(), uia::kInvokedEvent);
  }
}

void UiaProviders::Raise(const A11yChange& change, const A11yTree& before, const A11yTree& after) {
  const uia::Functions& api = uia::Api();
  ComPtr<IRawElementProviderSimple> element;
  if (change.id == 0) {
    element = root_;
  } else {
    element = MakeUiaElement(bridge_, change.id);
  }
  const A11yNode* was = before.Find(change.id);
  const A11yNode* now = after.Find(change.id);
  switch (change.kind) {
    case A11yChangeKind::Focus:
      if (api.raiseAutomationEvent != nullptr &&
          GetFocus() == bridge_->window->AccessibilityHwnd()) {
        api.raiseAutomationEvent(element.Get(), uia::kFocusChangedEvent);
      }
      return;
    case A11yChangeKind::Toggled:
      if (api.raisePropertyChangedEvent != nullptr) {
        api.raisePropertyChangedEvent(
            element.Get(), uia::kToggleStateProperty,
            IntVariant(was->toggled.value_or(false) ? uia::kToggleOn : uia::kToggleOff),
            IntVariant(*now->toggled ? uia::kToggleOn : uia::kToggleOff));
      }
      return;
    case A11yChangeKind::Selected:
      if (api.raiseAutomationEvent != nullptr) {
        api.raiseAutomationEvent(element.Get(), uia::kElementSelectedEvent);
      }
      if (api.raisePropertyChangedEvent != nullptr) {
        api.raisePropertyChangedEvent(element.Get(), uia::kSelectionItemIsSelectedProperty,
                                      BoolVariant(false), BoolVariant(true));
      }
      return;
    case A11yChangeKind::Value:
      if (api.raisePropertyChangedEvent != nullptr) {
        api.raisePropertyChangedEvent(element.Get(), uia::kRangeValueValueProperty,
                                      DoubleVariant(was->range->value),
                                      DoubleVariant(now->range->value));
        // Its Value pattern says the same as text ("85%"), and a reader may follow either.
        RaiseTextChange(element.Get(), uia::kValueValueProperty, was->value, now->value);
      }
      return;
    case A11yChangeKind::Announce:
      if (api.raiseAutomationEvent != nullptr) {
        api.raiseAutomationEvent(element.Get(), uia::kLiveRegionChangedEvent);
      }
      // Where the system has it, the text itself goes with the notification.
      if (api.raiseNotificationEvent != nullptr) {
        BSTR text =
            SysAllocStringLen(AsWide(now->name.data()), static_cast<UINT>(now->name.size()));
        BSTR activity = SysAllocString(L"lumetta.notice");
        api.raiseNotificationEvent(element.Get(), uia::kNotificationOther,
                                   uia::kImportantMostRecent, text, activity);
        SysFreeString(text);
        SysFreeString(activity);
      }
      return;
    case A11yChangeKind::Enabled:
    case A11yChangeKind::Offscreen:
      if (api.raisePropertyChangedEvent != nullptr) {
        const bool enabled = change.kind == A11yChangeKind::Enabled;
        api.raisePropertyChangedEvent(element.Get(),
                                      enabled ? uia::kIsEnabledProperty : uia::kIsOffscreenProperty,
                                      BoolVariant(enabled ? was->enabled : was->offscreen),
                                      BoolVariant(enabled ? now->enabled : now->offscreen));
      }
      return;
    case A11yChangeKind::Name:
      if (api.raisePropertyChangedEvent != nullptr) {
        RaiseTextChange(element.Get(), uia::kNameProperty, was->name, now->name);
      }
      return;
    case A11yChangeKind::Structure:
      if (api.raiseStructureChangedEvent != nullptr) {
        api.raiseStructureChangedEvent(element.Get(), uia::kChildrenInvalidated, nullptr, 0);
      }
      return;
  }
}

}  // namespace lumetta
