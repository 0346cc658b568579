// What a screen reader in another process finds, through the system's UI Automation client
// (Wine 8's reaches properties and fragment navigation; pattern calls are not carried) and
// through MSAA.
#include <windows.h>
#include <oleacc.h>
#include <uiautomationcore.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/owner_win.h"
#include "e2e/harness.h"
#include "support/probe.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kTimeoutMs = 30000;

DECLARE_HANDLE(HUIANODE);
struct Condition {
  int type;  // ConditionType_True
};
struct CacheRequest {
  Condition* view;
  int scope;  // TreeScope_Element
  PROPERTYID* properties;
  int propertyCount;
  PATTERNID* patterns;
  int patternCount;
  int mode;  // AutomationElementMode_Full
};

// The client half of uiautomationcore.dll, which MinGW does not declare.
class UiaClient {
 public:
  UiaClient() : module_(LoadLibraryW(L"uiautomationcore.dll")) {
    Resolve("UiaNodeFromHandle", fromHandle_);
    Resolve("UiaGetPropertyValue", getProperty_);
    Resolve("UiaNavigate", navigate_);
    Resolve("UiaHUiaNodeFromVariant", fromVariant_);
    Resolve("UiaNodeRelease", release_);
    // oleacc's import library clashes with uuid's over IID_IAccessible.
    AccessibleObjectFromWindow =
        reinterpret_cast<decltype(AccessibleObjectFromWindow)>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
  }

  HRESULT(WINAPI* AccessibleObjectFromWindow)(HWND, DWORD, REFIID, void**) = nullptr;

  struct Element {
    std::wstring name;
    LONG controlType;
    bool read;  // every property answered
  };
  // The first `count` elements under a window's root, in order.
  std::vector<Element> Children(HWND window, std::size_t count = 100) const {
    std::vector<Element> children;
    HUIANODE node = nullptr;
    if (FAILED(fromHandle_(window, &node))) {
      return children;
    }
    NavigateDirection direction = NavigateDirection_FirstChild;
    while (node != nullptr && children.size() < count) {
      HUIANODE next = Navigate(node, direction);
      release_(node);
      node = next;
      direction = NavigateDirection_NextSibling;
      if (node != nullptr) {
        children.push_back(Read(node));
      }
    }
    if (node != nullptr) {
      release_(node);
    }
    return children;
  }

 private:
  [[nodiscard]] Element Read(HUIANODE node) const {
    const LONG type = Int(node, 30003);
    const std::wstring name = String(node, 30005);
    return {name, type, type != -1 && !name.empty()};
  }
  template <typename Function>
  void Resolve(const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  HUIANODE Navigate(HUIANODE node, NavigateDirection direction) const {
    Condition all{0};
    PROPERTYID none = 30005;
    CacheRequest request{&all, 1, &none, 1, nullptr, 0, 1};
    SAFEARRAY* data = nullptr;
    BSTR tree = nullptr;
    if (FAILED(navigate_(node, direction, &all, &request, &data, &tree)) || data == nullptr) {
      return nullptr;
    }
    LONG first[2] = {0, 0};
    VARIANT v;
    VariantInit(&v);
    SafeArrayGetElement(data, first, &v);
    HUIANODE found = nullptr;
    fromVariant_(&v, &found);
    SafeArrayDestroy(data);
    SysFreeString(tree);
    return found;
  }
  std::wstring String(HUIANODE node, PROPERTYID property) const {
    VARIANT v;
    VariantInit(&v);
    getProperty_(node, property, &v);
    std::wstring text = v.vt == VT_BSTR ? v.bstrVal : L"";
    VariantClear(&v);
    return text;
  }
  LONG Int(HUIANODE node, PROPERTYID property) const {
    VARIANT v;
    VariantInit(&v);
    getProperty_(node, property, &v);
    return v.vt == VT_I4 ? v.lVal : v.vt == VT_BOOL ? (v.boolVal ? 1 : 0) : -1;
  }

  HMODULE module_;
  HRESULT(WINAPI* fromHandle_)(HWND, HUIANODE*) = nullptr;
  HRESULT(WINAPI* getProperty_)(HUIANODE, PROPERTYID, VARIANT*) = nullptr;
  HRESULT(WINAPI* navigate_)
  (HUIANODE, NavigateDirection, Condition*, CacheRequest*, SAFEARRAY**, BSTR*) = nullptr;
  HRESULT(WINAPI* fromVariant_)(VARIANT*, HUIANODE*) = nullptr;
  BOOL(WINAPI* release_)(HUIANODE) = nullptr;
};

// Wine 8's cross-process UI Automation now and then fails inside its own COM, more often the
// busier the machine: a release racing a call between the two processes deadlocks (no
// Lumetta code on either side's stacks), or a node stops answering without the call reaching
// Lumetta. Each reading therefore runs on a thread of its own, and one that has not returned
// in time, or came back incomplete, is given up: the test starts over with a fresh card.
template <typename Result, typename Read>
std::optional<Result> Within(Read read) {
  // The thread is left behind when it stalls: it owns what it touches.
  struct Reading {
    UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    Result result{};
  };
  auto reading = std::make_shared<Reading>();
  std::thread([reading, read] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    reading->result = read();
    SetEvent(reading->done.get());
  }).detach();
  if (WaitForSingleObject(reading->done.get(), 20000) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  return reading->result;
}

using Elements = std::vector<UiaClient::Element>;

bool Complete(const std::optional<Elements>& elements) {
  return elements && !elements->empty() &&
         std::all_of(elements->begin(), elements->end(),
                     [](const UiaClient::Element& element) { return element.read; });
}

constexpr int kAttempts = 3;

class ScreenReader : public E2eTest {
 protected:
  UiaClient client_;
};

TEST_F(ScreenReader, FindsEveryCardSectionInTheCardsLanguage) {
  for (const wchar_t* lang : {L"en", L"ja"}) {
    const bool ja = std::wstring(lang) == L"ja";
    std::optional<Elements> children;
    for (int attempt = 0; attempt < kAttempts && !Complete(children); ++attempt) {
      Lumetta app(lang);
      HWND card = probe::WaitForCard(kTimeoutMs);
      ASSERT_NE(card, nullptr);
      children = Within<Elements>([client = client_, card] { return client.Children(card); });
      if (Complete(children)) {
        // MSAA clients meet the window itself (Windows bridges them to the same elements).
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccessible* accessible = nullptr;
        ASSERT_EQ(client_.AccessibleObjectFromWindow(card, static_cast<DWORD>(OBJID_CLIENT),
                                                     IID_IAccessible,
                                                     reinterpret_cast<void**>(&accessible)),
                  S_OK);
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        accessible->get_accName(self, &name);
        EXPECT_STREQ(name, L"Lumetta");
        SysFreeString(name);
        accessible->Release();
      }
    }
    ASSERT_TRUE(Complete(children)) << "Wine's UI Automation stalled " << kAttempts << " times";
    EXPECT_GE(CountLogLines(std::string(" INFO  strings language lang=") + (ja ? "ja" : "en")), 1);
    std::vector<std::wstring> names;
    std::vector<LONG> types;
    for (const UiaClient::Element& element : *children) {
      names.push_back(element.name);
      types.push_back(element.controlType);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{ja ? L"時計" : L"Clock", L"CPU", L"GPU", L"Memory",
                                                L"Network", L"Disk", ja ? L"設定…" : L"Settings…",
                                                ja ? L"常に手前に表示" : L"Always on top"}));
    EXPECT_EQ(types, (std::vector<LONG>{50020, 50020, 50020, 50020, 50020, 50020, 50000, 50000}));
  }
}

}  // namespace
}  // namespace lumetta::e2e
