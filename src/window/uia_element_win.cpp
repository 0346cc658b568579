#include "window/uia_element_win.h"

#include <oleauto.h>

#include <cwchar>
#include <new>
#include <string>
#include <string_view>

#include "base/printf.h"
#include "base/wide.h"
#include "window/uia_api_win.h"
#include "window/uia_provider_win.h"

#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace lumetta {

void UiaBridge::Run(const std::function<void()>& call) {
  if (GetCurrentThreadId() == thread) {
    call();
    return;
  }
  WPARAM key = 0;
  {
    const std::lock_guard lock(mutex);
    key = ++lastCall;
    calls[key] = {&call, false};
  }
  DWORD_PTR answered = 0;
  SendMessageTimeoutW(hwnd, UiaProviders::CallMessage(), key, 0, SMTO_NORMAL, kUiaCallTimeoutMs,
                      &answered);
  // A call the window began after the time-out still uses `call`: it is waited for.
  std::unique_lock lock(mutex);
  finished.wait(lock, [&] { return !calls[key].running; });
  calls.erase(key);
}

bool UiaBridge::RunCall(WPARAM key) {
  const std::function<void()>* call = nullptr;
  {
    const std::lock_guard lock(mutex);
    const auto found = calls.find(key);
    if (found != calls.end()) {
      call = found->second.call;
      found->second.running = true;
    }
  }
  if (call == nullptr) {
    return false;
  }
  (*call)();
  {
    const std::lock_guard lock(mutex);
    calls[key].running = false;
  }
  finished.notify_all();
  return true;
}

namespace {

using Microsoft::WRL::ComPtr;

LONG ControlTypeOf(A11yRole role) {
  switch (role) {
    case A11yRole::Button:
      return uia::kButton;
    case A11yRole::Link:
      return uia::kHyperlink;
    case A11yRole::CheckBox:
      return uia::kCheckBox;
    case A11yRole::List:
      return uia::kList;
    case A11yRole::ListItem:
      return uia::kListItem;
    case A11yRole::Slider:
      return uia::kSlider;
    case A11yRole::Text:
      break;
  }
  return uia::kText;
}

bool HasPattern(const A11yNode& node, PATTERNID pattern) {
  switch (pattern) {
    case uia::kInvokePattern:
      // A button that toggles supports Toggle alone (the Button control type's rule).
      return (node.role == A11yRole::Button && !node.toggled) || node.role == A11yRole::Link;
    case uia::kTogglePattern:
      return node.toggled.has_value();
    case uia::kValuePattern:
      return !node.value.empty();
    case uia::kRangeValuePattern:
      return node.range.has_value();
    case uia::kSelectionPattern:
      return node.role == A11yRole::List;
    case uia::kSelectionItemPattern:
    case uia::kScrollItemPattern:
      return node.role == A11yRole::ListItem;
    default:
      return false;
  }
}

HRESULT FromOutcome(A11yOutcome outcome) {
  switch (outcome) {
    case A11yOutcome::Done:
      return S_OK;
    case A11yOutcome::Disabled:
      return uia::kElementNotEnabled;
    case A11yOutcome::OutOfRange:
      return E_INVALIDARG;
    case A11yOutcome::NotSupported:
      break;
  }
  return uia::kInvalidOperation;
}

}  // namespace

VARIANT BoolVariant(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT IntVariant(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT DoubleVariant(double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  return v;
}

VARIANT StringVariant(std::u16string_view text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(AsWide(text.data()), static_cast<UINT>(text.size()));
  return v;
}

namespace {

// One element of the tree (id 0: the window's root). It holds no copy of the tree: every call
// reads the window's tree as it is then, so an element that has gone says so.
class UiaElement final : public IRawElementProviderSimple,
                         public IRawElementProviderFragment,
                         public IRawElementProviderFragmentRoot,
                         public IInvokeProvider,
                         public IToggleProvider,
                         public IValueProvider,
                         public IRangeValueProvider,
                         public ISelectionProvider,
                         public ISelectionItemProvider,
                         public IScrollItemProvider {
 public:
  UiaElement(std::shared_ptr<UiaBridge> bridge, std::uint32_t id)
      : bridge_(std::move(bridge)), id_(id) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = nullptr;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IRawElementProviderSimple)) {
      *out = static_cast<IRawElementProviderSimple*>(this);
    } else if (iid == __uuidof(IRawElementProviderFragment)) {
      *out = static_cast<IRawElementProviderFragment*>(this);
    } else if (iid == __uuidof(IRawElementProviderFragmentRoot) && id_ == 0) {
      *out = static_cast<IRawElementProviderFragmentRoot*>(this);
    } else if (const PATTERNID pattern = PatternOf(iid); pattern != 0) {
      // A pattern interface only while the element has the pattern.
      bool has = false;
      Serve([&] {
        has = Has(pattern);
        return S_OK;
      });
      if (has) {
        *out = PatternInterface(pattern);
      }
    }
    if (*out == nullptr) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // IRawElementProviderSimple
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) noexcept override {
    if (options == nullptr) {
      return E_POINTER;
    }
    // COM threading, as documented for providers made on a window's thread: UI Automation
    // then calls on that thread. A system that calls from another thread anyway has each call
    // carried to the window's with a time-out (see Serve); the thread a call arrives on
    // decides, never which system this is.
    *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider |
                                            ProviderOptions_UseComThreading);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern,
                                               IUnknown** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      const A11yTree& tree = Tree();
      const A11yNode* node = tree.Find(id_);
      if (window() == nullptr || (node == nullptr && id_ != 0)) {
        return uia::kElementNotAvailable;
      }
      if (node != nullptr && HasPattern(*node, pattern)) {
        *out = PatternInterface(pattern);
        AddRef();
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      VariantInit(out);
      const A11yTree& tree = Tree();
      const A11yNode* node = tree.Find(id_);
      if (window() == nullptr || (node == nullptr && id_ != 0)) {
        return uia::kElementNotAvailable;
      }
      if (node == nullptr) {
        return S_OK;  // the root: the window's host provider answers for it
      }
      switch (property) {
        case uia::kControlTypeProperty:
          *out = IntVariant(ControlTypeOf(node->role));
          break;
        case uia::kNameProperty:
          *out = StringVariant(node->name);
          break;
        case uia::kAutomationIdProperty:
          *out = StringVariant(AsciiToU16(std::to_string(node->id)));
          break;
        case uia::kIsEnabledProperty:
          *out = BoolVariant(node->enabled);
          break;
        case uia::kIsKeyboardFocusableProperty:
          *out = BoolVariant(node->focusable && node->enabled);
          break;
        case uia::kHasKeyboardFocusProperty:
          *out = BoolVariant(tree.focused == id_ && ::GetFocus() == window()->AccessibilityHwnd());
          break;
        case uia::kIsOffscreenProperty:
          *out = BoolVariant(node->offscreen);
          break;
        case uia::kLiveSettingProperty:
          *out = IntVariant(node->live ? uia::kLivePolite : 0);
          break;
        case uia::kIsControlElementProperty:
        case uia::kIsContentElementProperty:
          *out = BoolVariant(true);
          break;
        default:
          break;
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE
  get_HostRawElementProvider(IRawElementProviderSimple** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      if (id_ != 0) {
        return S_OK;
      }
      AccessibilityHost* w = window();
      const auto host = uia::Api().hostProviderFromHwnd;
      if (w == nullptr) {
        return uia::kElementNotAvailable;
      }
      return host != nullptr ? host(w->AccessibilityHwnd(), out) : S_OK;
    });
  }

  // IRawElementProviderFragment
  HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction,
                                     IRawElementProviderFragment** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      const A11yTree& tree = Tree();
      if (window() == nullptr || (id_ != 0 && tree.Find(id_) == nullptr)) {
        return uia::kElementNotAvailable;
      }
      std::uint32_t next = 0;
      switch (direction) {
        case NavigateDirection_Parent:
          if (id_ != 0) {
            return Element(tree.Parent(id_), out);
          }
          return S_OK;  // the host's parent
        case NavigateDirection_NextSibling:
          next = id_ != 0 ? tree.NextSibling(id_) : 0;
          break;
        case NavigateDirection_PreviousSibling:
          next = id_ != 0 ? tree.PreviousSibling(id_) : 0;
          break;
        case NavigateDirection_FirstChild:
          next = tree.FirstChild(id_);
          break;
        case NavigateDirection_LastChild:
          next = tree.LastChild(id_);
          break;
      }
      return next != 0 ? Element(next, out) : S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      if (id_ == 0) {
        return S_OK;  // the host's
      }
      const int parts[2] = {uia::kAppendRuntimeId, static_cast<int>(id_)};
      *out = SafeArrayCreateVector(VT_I4, 0, 2);
      if (*out == nullptr) {
        return E_OUTOFMEMORY;
      }
      for (LONG i = 0; i < 2; ++i) {
        SafeArrayPutElement(*out, &i, const_cast<int*>(&parts[i]));
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = {};
      const A11yTree& tree = Tree();
      const A11yNode* node = tree.Find(id_);
      if (window() == nullptr || (node == nullptr && id_ != 0)) {
        return uia::kElementNotAvailable;
      }
      // Scrolled out of view, a row keeps its place (outside the window) and says it is off
      // the screen.
      if (node != nullptr) {
        const RECT r = window()->ScreenRectOf(node->bounds);
        *out = {static_cast<double>(r.left), static_cast<double>(r.top),
                static_cast<double>(r.right - r.left), static_cast<double>(r.bottom - r.top)};
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** out) noexcept override {
    if (out != nullptr) {
      *out = nullptr;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetFocus() noexcept override { return Request({A11yVerb::Focus, id_}); }
  HRESULT STDMETHODCALLTYPE
  get_FragmentRoot(IRawElementProviderFragmentRoot** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = bridge_->root;
      if (*out == nullptr) {
        return uia::kElementNotAvailable;
      }
      (*out)->AddRef();
      return S_OK;
    });
  }

  // IRawElementProviderFragmentRoot
  HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(
      double x, double y, IRawElementProviderFragment** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      AccessibilityHost* w = window();
      if (w == nullptr) {
        return uia::kElementNotAvailable;
      }
      const std::uint32_t hit = Tree().ElementAt(w->DipsAtScreen(x, y));
      return hit != 0 ? Element(hit, out) : S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      if (window() == nullptr) {
        return uia::kElementNotAvailable;
      }
      const std::uint32_t focused = Tree().focused;
      return focused != 0 ? Element(focused, out) : S_OK;
    });
  }

  // IInvokeProvider
  HRESULT STDMETHODCALLTYPE Invoke() noexcept override { return Request({A11yVerb::Invoke, id_}); }

  // IToggleProvider
  HRESULT STDMETHODCALLTYPE Toggle() noexcept override { return Request({A11yVerb::Toggle, id_}); }
  HRESULT STDMETHODCALLTYPE get_ToggleState(int* state) noexcept override {
    return Read(uia::kTogglePattern, state, [](const A11yNode& node) {
      return node.toggled.value_or(false) ? uia::kToggleOn : uia::kToggleOff;
    });
  }

  // IValueProvider: text is read-only; a slider takes a number ("85" or "85%"), as its
  // IsReadOnly says.
  HRESULT STDMETHODCALLTYPE SetValue(LPCWSTR text) noexcept override {
    const std::wstring_view whole = text != nullptr ? std::wstring_view(text) : L"";
    wchar_t* end = nullptr;
    const double value = whole.empty() ? 0 : std::wcstod(whole.data(), &end);
    const std::size_t used = end != nullptr ? static_cast<std::size_t>(end - whole.data()) : 0;
    // A number, then nothing but spaces and a percent sign ("85 %").
    if (used == 0 || whole.find_first_not_of(L" %", used) != std::wstring_view::npos) {
      BOOL readOnly = TRUE;
      const HRESULT state = get_IsReadOnly(&readOnly);
      return FAILED(state) ? state : readOnly ? uia::kInvalidOperation : E_INVALIDARG;
    }
    return Request({A11yVerb::SetValue, id_, value});
  }
  HRESULT STDMETHODCALLTYPE get_Value(BSTR* value) noexcept override {
    return Read(uia::kValuePattern, value, [](const A11yNode& node) {
      return SysAllocStringLen(AsWide(node.value.data()), static_cast<UINT>(node.value.size()));
    });
  }
  HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* readOnly) noexcept override {
    // Both value patterns ask: text is read-only, a slider takes values while it is enabled.
    const HRESULT range = Read(uia::kRangeValuePattern, readOnly,
                               [](const A11yNode& node) { return node.enabled ? FALSE : TRUE; });
    return SUCCEEDED(range) || readOnly == nullptr
               ? range
               : Read(uia::kValuePattern, readOnly, [](const A11yNode&) { return TRUE; });
  }

  // IRangeValueProvider
  HRESULT STDMETHODCALLTYPE SetValue(double value) noexcept override {
    return Request({A11yVerb::SetValue, id_, value});
  }
  HRESULT STDMETHODCALLTYPE get_Value(double* value) noexcept override {
    return ReadRange(value, &A11yRange::value);
  }
  HRESULT STDMETHODCALLTYPE get_Maximum(double* value) noexcept override {
    return ReadRange(value, &A11yRange::maximum);
  }
  HRESULT STDMETHODCALLTYPE get_Minimum(double* value) noexcept override {
    return ReadRange(value, &A11yRange::minimum);
  }
  HRESULT STDMETHODCALLTYPE get_LargeChange(double* value) noexcept override {
    return ReadRange(value, &A11yRange::step);
  }
  HRESULT STDMETHODCALLTYPE get_SmallChange(double* value) noexcept override {
    return ReadRange(value, &A11yRange::step);
  }
  // ISelectionProvider
  HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      const A11yTree& tree = Tree();
      if (window() == nullptr || tree.Find(id_) == nullptr) {
        return uia::kElementNotAvailable;
      }
      // Made before the array, so that a failure leaves nothing behind.
      std::vector<ComPtr<IRawElementProviderSimple>> items;
      for (const std::uint32_t item : tree.Selection(id_)) {
        items.push_back(MakeUiaElement(bridge_, item));
      }
      *out = SafeArrayCreateVector(VT_UNKNOWN, 0, static_cast<ULONG>(items.size()));
      if (*out == nullptr) {
        return E_OUTOFMEMORY;
      }
      for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
        SafeArrayPutElement(*out, &i, items[static_cast<std::size_t>(i)].Get());
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* multiple) noexcept override {
    return Read(uia::kSelectionPattern, multiple, [](const A11yNode&) { return FALSE; });
  }
  HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* required) noexcept override {
    return Read(uia::kSelectionPattern, required, [](const A11yNode&) { return TRUE; });
  }

  // IScrollItemProvider
  HRESULT STDMETHODCALLTYPE ScrollIntoView() noexcept override {
    return Request({A11yVerb::ScrollIntoView, id_});
  }

  // ISelectionItemProvider
  HRESULT STDMETHODCALLTYPE Select() noexcept override { return Request({A11yVerb::Select, id_}); }
  HRESULT STDMETHODCALLTYPE AddToSelection() noexcept override {
    return Serve([&]() -> HRESULT {
      // One option is always chosen: adding the chosen one is the only addition there is.
      BOOL selected = FALSE;
      const HRESULT result = get_IsSelected(&selected);
      return FAILED(result) ? result : selected ? S_OK : uia::kInvalidOperation;
    });
  }
  HRESULT STDMETHODCALLTYPE RemoveFromSelection() noexcept override {
    return uia::kInvalidOperation;
  }
  HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* selected) noexcept override {
    return Read(uia::kSelectionItemPattern, selected,
                [](const A11yNode& node) { return node.selected ? TRUE : FALSE; });
  }
  HRESULT STDMETHODCALLTYPE
  get_SelectionContainer(IRawElementProviderSimple** out) noexcept override {
    return Serve([&]() -> HRESULT {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = nullptr;
      const A11yTree& tree = Tree();
      const A11yNode* node = tree.Find(id_);
      if (window() == nullptr || node == nullptr || node->parent == 0) {
        return uia::kElementNotAvailable;
      }
      *out = MakeUiaElement(bridge_, node->parent).Detach();
      return S_OK;
    });
  }

 private:
  static PATTERNID PatternOf(REFIID iid) {
    const struct {
      const IID& iid;
      PATTERNID pattern;
    } patterns[] = {
        {__uuidof(IInvokeProvider), uia::kInvokePattern},
        {__uuidof(IToggleProvider), uia::kTogglePattern},
        {__uuidof(IValueProvider), uia::kValuePattern},
        {__uuidof(IRangeValueProvider), uia::kRangeValuePattern},
        {__uuidof(ISelectionProvider), uia::kSelectionPattern},
        {__uuidof(ISelectionItemProvider), uia::kSelectionItemPattern},
        {__uuidof(IScrollItemProvider), uia::kScrollItemPattern},
    };
    for (const auto& entry : patterns) {
      if (iid == entry.iid) {
        return entry.pattern;
      }
    }
    return 0;
  }
  IUnknown* PatternInterface(PATTERNID pattern) {
    switch (pattern) {
      case uia::kInvokePattern:
        return static_cast<IInvokeProvider*>(this);
      case uia::kTogglePattern:
        return static_cast<IToggleProvider*>(this);
      case uia::kValuePattern:
        return static_cast<IValueProvider*>(this);
      case uia::kRangeValuePattern:
        return static_cast<IRangeValueProvider*>(this);
      case uia::kSelectionPattern:
        return static_cast<ISelectionProvider*>(this);
      case uia::kSelectionItemPattern:
        return static_cast<ISelectionItemProvider*>(this);
      case uia::kScrollItemPattern:
        return static_cast<IScrollItemProvider*>(this);
      default:
        return nullptr;
    }
  }
  // UI Automation may call from any thread; the window and its tree belong to the window's.
  // No exception leaves a call: it must not unwind through COM's frames, nor, when the call
  // was carried, through the window's.
  template <typename Call>
  HRESULT Serve(Call call) const noexcept {
    HRESULT result = uia::kElementNotAvailable;
    bool ran = false;  // also by a window that began it after the time-out
    try {
      bridge_->Run([&] {
        result = Answered(call);
        ran = true;
      });
    } catch (const std::bad_alloc&) {  // carrying the call failed
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
    return ran || !IsWindow(bridge_->hwnd) ? result : uia::kTimeout;
  }
  template <typename Call>
  static HRESULT Answered(Call& call) noexcept {
    try {
      return call();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }
  AccessibilityHost* window() const { return bridge_->window; }
  const A11yTree& Tree() const {
    static const A11yTree kNone;
    return window() != nullptr ? window()->AccessibilityTree() : kNone;
  }
  bool Has(PATTERNID pattern) const {
    const A11yTree& tree = Tree();
    const A11yNode* node = tree.Find(id_);
    return node != nullptr && HasPattern(*node, pattern);
  }
  // Reads a state of this element from the window's tree as it is now; the element may have
  // lost the pattern since the client asked for it.
  template <typename Out, typename Reader>
  HRESULT Read(PATTERNID pattern, Out* out, Reader reader) const {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = {};
    return Serve([&]() -> HRESULT {
      const A11yTree& tree = Tree();
      const A11yNode* node = tree.Find(id_);
      if (window() == nullptr || node == nullptr || !HasPattern(*node, pattern)) {
        return uia::kElementNotAvailable;
      }
      *out = static_cast<Out>(reader(*node));
      return S_OK;
    });
  }
  HRESULT ReadRange(double* out, double A11yRange::*field) const {
    return Read(uia::kRangeValuePattern, out,
                [field](const A11yNode& node) { return (*node.range).*field; });
  }
  HRESULT Request(const A11yRequest& request) {
    return Serve([&]() -> HRESULT {
      AccessibilityHost* w = window();
      if (w == nullptr || (id_ != 0 && w->AccessibilityTree().Find(id_) == nullptr)) {
        return uia::kElementNotAvailable;
      }
      return FromOutcome(w->HandleAccessibilityRequest(request));
    });
  }
  HRESULT Element(std::uint32_t id, IRawElementProviderFragment** out) const {
    if (id == 0) {
      return bridge_->root != nullptr ? bridge_->root->QueryInterface(IID_PPV_ARGS(out))
                                      : uia::kElementNotAvailable;
    }
    *out = new UiaElement(bridge_, id);
    return S_OK;
  }

  std::shared_ptr<UiaBridge> bridge_;
  std::uint32_t id_;
  LONG references_ = 1;
};

}  // namespace

Microsoft::WRL::ComPtr<IRawElementProviderSimple> MakeUiaElement(std::shared_ptr<UiaBridge> bridge,
                                                                 std::uint32_t id) {
  Microsoft::WRL::ComPtr<IRawElementProviderSimple> element;
  element.Attach(new UiaElement(std::move(bridge), id));
  return element;
}

}  // namespace lumetta
