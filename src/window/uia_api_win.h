// UI Automation as the windows use it: the declarations the MinGW headers lack (control-pattern
// interfaces, ids of control types, patterns, properties and events) and uiautomationcore.dll's
// functions, resolved at run time (MinGW has no import library for it) behind a table that
// tests replace to see the events raised.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <uiautomationcore.h>

namespace lumetta::uia {

inline constexpr LONG kRootObjectId = -25;  // UiaRootObjectId
inline constexpr int kAppendRuntimeId = 3;

enum ControlType : LONG {
  kButton = 50000,
  kCheckBox = 50002,
  kHyperlink = 50005,
  kListItem = 50007,
  kList = 50008,
  kSlider = 50015,
  kText = 50020,
};

enum Pattern : PATTERNID {
  kInvokePattern = 10000,
  kSelectionPattern = 10001,
  kValuePattern = 10002,
  kRangeValuePattern = 10003,
  kSelectionItemPattern = 10010,
  kScrollItemPattern = 10017,
  kTogglePattern = 10015,
};

enum Property : PROPERTYID {
  kRuntimeIdProperty = 30000,
  kBoundingRectangleProperty = 30001,
  kControlTypeProperty = 30003,
  kNameProperty = 30005,
  kHasKeyboardFocusProperty = 30008,
  kIsKeyboardFocusableProperty = 30009,
  kIsEnabledProperty = 30010,
  kAutomationIdProperty = 30011,
  kIsControlElementProperty = 30016,
  kIsContentElementProperty = 30017,
  kIsOffscreenProperty = 30022,
  kValueValueProperty = 30045,
  kValueIsReadOnlyProperty = 30046,
  kRangeValueValueProperty = 30047,
  kSelectionItemIsSelectedProperty = 30079,
  kToggleStateProperty = 30086,
  kLiveSettingProperty = 30135,
};

enum Event : EVENTID {
  kPropertyChangedEvent = 20004,
  kFocusChangedEvent = 20005,
  kInvokedEvent = 20009,
  kElementSelectedEvent = 20012,
  kLiveRegionChangedEvent = 20024,
  kNotificationEvent = 20035,
};
inline constexpr int kLivePolite = 1;           // LiveSetting
inline constexpr int kNotificationOther = 4;    // NotificationKind
inline constexpr int kImportantMostRecent = 1;  // NotificationProcessing

enum ToggleState { kToggleOff = 0, kToggleOn = 1 };
inline constexpr int kChildrenInvalidated = 2;  // StructureChangeType

// The error codes clients expect from providers.
inline constexpr HRESULT kElementNotEnabled = static_cast<HRESULT>(0x80040200);
inline constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201);
inline constexpr HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509);
inline constexpr HRESULT kTimeout = static_cast<HRESULT>(0x80131505);

// uiautomationcore.dll's provider functions; any may be null where the system lacks it.
struct Functions {
  LRESULT(WINAPI* returnRawElementProvider)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
  HRESULT(WINAPI* hostProviderFromHwnd)(HWND, IRawElementProviderSimple**);
  HRESULT(WINAPI* raiseAutomationEvent)(IRawElementProviderSimple*, EVENTID);
  HRESULT(WINAPI* raisePropertyChangedEvent)
  (IRawElementProviderSimple*, PROPERTYID, VARIANT, VARIANT);
  HRESULT(WINAPI* raiseStructureChangedEvent)(IRawElementProviderSimple*, int, int*, int);
  BOOL(WINAPI* clientsAreListening)();
  HRESULT(WINAPI* disconnectProvider)(IRawElementProviderSimple*);
  // From Windows 10 1709 on.
  HRESULT(WINAPI* raiseNotificationEvent)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
};

// The system's functions, looked up once; or the table a test set with UseFunctions.
[[nodiscard]] const Functions& Api();
// Test seam: a table that replaces the system's until it is called with null.
void UseFunctions(const Functions* functions);

}  // namespace lumetta::uia

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

MIDL_INTERFACE("54fcb24b-e18e-47a2-b4d3-eccbe77599a2")
IInvokeProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke() = 0;
};

MIDL_INTERFACE("56d00bd0-c4f4-433c-a836-1a52a57e0892")
IToggleProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Toggle() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ToggleState(int* state) = 0;
};

MIDL_INTERFACE("c7935180-6fb3-4201-b174-7df73adbf64a")
IValueProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetValue(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Value(BSTR * value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL * readOnly) = 0;
};

MIDL_INTERFACE("36dc7aef-33e6-4691-afe1-2be7274b3d33")
IRangeValueProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetValue(double value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL * readOnly) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Maximum(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Minimum(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LargeChange(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SmallChange(double* value) = 0;
};

MIDL_INTERFACE("fb8b03af-3bdf-48d4-bd36-1a65793be168")
ISelectionProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY * *selection) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL * multiple) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL * required) = 0;
};

MIDL_INTERFACE("2acad808-b2d4-452d-a407-91ff1ad167b2")
ISelectionItemProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Select() = 0;
  virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL * selected) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple *
                                                           *container) = 0;
};

MIDL_INTERFACE("2360c714-4bf1-4b26-ba65-9b21316127eb")
IScrollItemProvider : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ScrollIntoView() = 0;
};

#pragma GCC diagnostic pop

__CRT_UUID_DECL(IInvokeProvider, 0x54fcb24b, 0xe18e, 0x47a2, 0xb4, 0xd3, 0xec, 0xcb, 0xe7, 0x75,
                0x99, 0xa2)
__CRT_UUID_DECL(IToggleProvider, 0x56d00bd0, 0xc4f4, 0x433c, 0xa8, 0x36, 0x1a, 0x52, 0xa5, 0x7e,
                0x08, 0x92)
__CRT_UUID_DECL(IValueProvider, 0xc7935180, 0x6fb3, 0x4201, 0xb1, 0x74, 0x7d, 0xf7, 0x3a, 0xdb,
                0xf6, 0x4a)
__CRT_UUID_DECL(IRangeValueProvider, 0x36dc7aef, 0x33e6, 0x4691, 0xaf, 0xe1, 0x2b, 0xe7, 0x27, 0x4b,
                0x3d, 0x33)
__CRT_UUID_DECL(ISelectionProvider, 0xfb8b03af, 0x3bdf, 0x48d4, 0xbd, 0x36, 0x1a, 0x65, 0x79, 0x3b,
                0xe1, 0x68)
__CRT_UUID_DECL(IScrollItemProvider, 0x2360c714, 0x4bf1, 0x4b26, 0xba, 0x65, 0x9b, 0x21, 0x31, 0x61,
                0x27, 0xeb)
__CRT_UUID_DECL(ISelectionItemProvider, 0x2acad808, 0xb2d4, 0x452d, 0xa4, 0x07, 0x91, 0xff, 0x1a,
                0xd1, 0x67, 0xb2)
