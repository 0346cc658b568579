// A UI Automation client's view of a provider: the events it raised (through a replaced function
// table in which somebody always listens), and an element's properties and children.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "window/uia_api_win.h"

namespace lumetta::test {

using Microsoft::WRL::ComPtr;

// A property as text, or as a number (a Boolean as 0 or -1): tests compare values, not VARIANTs.
inline std::wstring Text(IRawElementProviderSimple* element, PROPERTYID property) {
  VARIANT v;
  VariantInit(&v);
  element->GetPropertyValue(property, &v);
  std::wstring text = v.vt == VT_BSTR ? v.bstrVal : L"";
  VariantClear(&v);
  return text;
}
inline long Number(IRawElementProviderSimple* element, PROPERTYID property) {
  VARIANT v;
  VariantInit(&v);
  element->GetPropertyValue(property, &v);
  return v.vt == VT_I4 ? v.lVal : v.vt == VT_BOOL ? v.boolVal : -99;
}
inline std::wstring AutomationId(IRawElementProviderSimple* element) {
  return Text(element, uia::kAutomationIdProperty);
}

struct RaisedEvent {
  RaisedEvent(int event, std::wstring on, double value = 0, std::wstring text = {})
      : id(event), element(std::move(on)), newValue(value), newText(std::move(text)) {}
  int id;  // an event id, or a property id for a property change
  std::wstring element;
  double newValue;
  std::wstring newText;  // a string property's
  friend bool operator==(const RaisedEvent&, const RaisedEvent&) = default;
  friend void PrintTo(const RaisedEvent& event, std::ostream* out) {
    *out << event.id << " on " << std::string(event.element.begin(), event.element.end()) << " = "
         << event.newValue;
  }
};

class UiaRecorder {
 public:
  UiaRecorder() : system_(uia::Api()) {
    current = this;
    table_ = system_;
    table_.clientsAreListening = [] { return TRUE; };
    table_.raiseAutomationEvent = [](IRawElementProviderSimple* element, EVENTID id) {
      current->inSent += InSendMessage() ? 1 : 0;
      current->events.push_back({id, AutomationId(element)});
      return S_OK;
    };
    table_.raisePropertyChangedEvent = [](IRawElementProviderSimple* element, PROPERTYID id,
                                          VARIANT, VARIANT now) {
      current->inSent += InSendMessage() ? 1 : 0;
      if (now.vt == VT_BSTR) {
        current->events.push_back({id, AutomationId(element), 0, now.bstrVal});
        return S_OK;
      }
      VARIANT value;
      VariantInit(&value);
      VariantChangeType(&value, &now, 0, VT_R8);
      current->events.push_back({id, AutomationId(element), value.dblVal});
      return S_OK;
    };
    table_.raiseStructureChangedEvent = [](IRawElementProviderSimple* element, int, int*, int) {
      current->events.push_back({0, AutomationId(element)});
      return S_OK;
    };
    table_.returnRawElementProvider = [](HWND hwnd, WPARAM wParam, LPARAM lParam,
                                         IRawElementProviderSimple* root) {
      current->objectIds.push_back(static_cast<LONG>(lParam));
      current->lastRoot = root;
      return current->system_.returnRawElementProvider(hwnd, wParam, lParam, root);
    };
    table_.raiseNotificationEvent = [](IRawElementProviderSimple* element, int, int, BSTR text,
                                       BSTR) {
      current->events.push_back({uia::kNotificationEvent, AutomationId(element), 0, text});
      return S_OK;
    };
    table_.disconnectProvider = [](IRawElementProviderSimple*) {
      ++current->disconnects;
      return S_OK;
    };
    uia::UseFunctions(&table_);
  }
  ~UiaRecorder() {
    uia::UseFunctions(nullptr);
    current = nullptr;
  }
  UiaRecorder(const UiaRecorder&) = delete;
  UiaRecorder& operator=(const UiaRecorder&) = delete;

  std::vector<RaisedEvent> events;
  std::vector<LONG> objectIds;                    // of each WM_GETOBJECT handed to UI Automation
  int inSent = 0;                                 // events raised while a sent message was handled
  IRawElementProviderSimple* lastRoot = nullptr;  // the last window's asked for
  int disconnects = 0;

 private:
  static inline UiaRecorder* current = nullptr;
  uia::Functions system_;
  uia::Functions table_{};
};

template <typename Interface>
ComPtr<Interface> Pattern(IRawElementProviderSimple* element, PATTERNID pattern) {
  ComPtr<IUnknown> unknown;
  ComPtr<Interface> provider;
  if (SUCCEEDED(element->GetPatternProvider(pattern, unknown.GetAddressOf())) && unknown) {
    unknown.As(&provider);
  }
  return provider;
}

// The element's children in order, as Navigate walks them.
inline std::vector<ComPtr<IRawElementProviderSimple>> Children(IRawElementProviderSimple* parent) {
  std::vector<ComPtr<IRawElementProviderSimple>> children;
  ComPtr<IRawElementProviderFragment> fragment, child, next;
  if (SUCCEEDED(parent->QueryInterface(IID_PPV_ARGS(&fragment)))) {
    fragment->Navigate(NavigateDirection_FirstChild, child.GetAddressOf());
  }
  for (; child; child = next) {
    ComPtr<IRawElementProviderSimple> simple;
    child.As(&simple);
    children.push_back(simple);
    child->Navigate(NavigateDirection_NextSibling, next.ReleaseAndGetAddressOf());
  }
  return children;
}

// The child with the automation id, or null.
inline ComPtr<IRawElementProviderSimple> Child(IRawElementProviderSimple* parent,
                                               const std::wstring& id) {
  const auto children = Children(parent);
  const auto found =
      std::ranges::find(children, id, [](const auto& c) { return AutomationId(c.Get()); });
  return found != children.end() ? *found : nullptr;
}

}  // namespace lumetta::test
