// The windows' UI Automation providers, in process, through their COM interfaces.
#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "app/strings.h"
#include "app/text_ids.h"
#include "base/wide.h"
#include "card/card_accessibility.h"
#include "card/card_window.h"
#include "dialogs/about_window.h"
#include "dialogs/settings_panel.h"
#include "dialogs/settings_window.h"
#include "support/card_in_process.h"
#include "support/factories.h"
#include "support/logging_test.h"
#include "support/test_files.h"
#include "support/test_window.h"
#include "support/uia_client.h"

namespace lumetta {
namespace {

using Microsoft::WRL::ComPtr;
using test::Children;
using test::Number;
using test::Pattern;
using test::Text;

std::wstring Id(std::uint32_t id) {
  return std::to_wstring(id);
}

template <typename Interface>
ComPtr<Interface> As(IUnknown* unknown) {
  ComPtr<Interface> result;
  unknown->QueryInterface(IID_PPV_ARGS(&result));
  return result;
}

class SettingsProviders : public testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    dialog_ = std::make_unique<SettingsWindow>(factories_.d2d.Get(), factories_.dwrite.Get(),
                                               [this](const Settings& s) { last_ = s; });
    dialog_->Open(nullptr, Settings{});
    test::Pump();
    root_ = dialog_->AccessibilityRoot();
    ASSERT_NE(root_, nullptr);
  }
  ComPtr<IRawElementProviderSimple> Element(std::uint32_t id) const {
    return test::Child(root_, Id(id));
  }
  long Type(std::uint32_t id) const { return Number(Element(id).Get(), uia::kControlTypeProperty); }

  test::UiaRecorder recorder_;
  test::Factories factories_;
  std::unique_ptr<SettingsWindow> dialog_;
  Settings last_;
  IRawElementProviderSimple* root_ = nullptr;
};

TEST_F(SettingsProviders, EveryRowHasItsControlTypeNameAndPlace) {
  // Answered through the real uiautomationcore, as a client in another process would ask.
  EXPECT_NE(SendMessageW(dialog_->hwnd(), WM_GETOBJECT, 0, uia::kRootObjectId), 0);
  const auto rows = Children(root_);
  ASSERT_GT(rows.size(), 20u);
  EXPECT_EQ(test::AutomationId(rows[0].Get()), Id(kTextSettingsShow));
  EXPECT_EQ(Text(rows[0].Get(), uia::kNameProperty), L"Show");
  EXPECT_EQ(
      std::vector<long>(
          {Number(rows[0].Get(), uia::kControlTypeProperty), Type(kControlClock),
           Type(kControlProcesses), Type(kControlScale), Type(kControlDiskAlert),
           Number(Children(Element(kControlScale).Get())[0].Get(), uia::kControlTypeProperty)}),
      std::vector<long>(
          {uia::kText, uia::kCheckBox, uia::kCheckBox, uia::kList, uia::kSlider, uia::kListItem}));

  // The clock's row on the screen, found again at its middle; its parent is the root.
  const auto clock = As<IRawElementProviderFragment>(Element(kControlClock).Get());
  UiaRect box{};
  ASSERT_EQ(clock->get_BoundingRectangle(&box), S_OK);
  POINT origin{0, 0};
  ClientToScreen(dialog_->hwnd(), &origin);
  EXPECT_EQ(std::vector<double>({box.left, box.top, box.width}),
            std::vector<double>({origin.x + 16.0, origin.y + 40.0, 368}));
  const auto fragmentRoot = As<IRawElementProviderFragmentRoot>(root_);
  ComPtr<IRawElementProviderFragment> hit, parent;
  fragmentRoot->ElementProviderFromPoint(box.left + 100, box.top + 20, hit.GetAddressOf());
  ASSERT_TRUE(hit);
  EXPECT_EQ(test::AutomationId(As<IRawElementProviderSimple>(hit.Get()).Get()), Id(kControlClock));
  clock->Navigate(NavigateDirection_Parent, parent.GetAddressOf());
  EXPECT_EQ(As<IUnknown>(parent.Get()).Get(), As<IUnknown>(root_).Get());

  // COM threading is asked for; a system that still calls from threads of its own has each call
  // served on the window's thread, whose events wait until the call has returned. A window that
  // does not answer times the call out. The message that carries a call runs nothing for a key
  // it did not hand out.
  ProviderOptions options{};
  root_->get_ProviderOptions(&options);
  EXPECT_EQ(options, ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
  const auto row = Element(kControlClock);
  struct Calls {
    std::wstring name;
    HRESULT toggled = E_FAIL, unanswered = E_FAIL;
    UniqueHandle served{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  };
  // Detached, with what it uses: a call never served fails the test instead of hanging it.
  const auto calls = std::make_shared<Calls>();
  const auto call = [&](auto body) {
    ResetEvent(calls->served.get());
    std::thread([calls, row, body] {
      body(*calls, row.Get());
      SetEvent(calls->served.get());
    }).detach();
  };
  call([](Calls& c, IRawElementProviderSimple* e) {
    c.name = Text(e, uia::kNameProperty);
    c.toggled = Pattern<IToggleProvider>(e, uia::kTogglePattern)->Toggle();
  });
  ASSERT_TRUE(test::PumpUntilSet(calls->served.get()));
  test::Pump();
  EXPECT_EQ(
      std::tuple(calls->name, calls->toggled, recorder_.events.size(), recorder_.inSent),
      std::tuple(std::wstring(L"Clock"), S_OK, std::size_t{2}, 0));  // toggled, and a row dimmed
  call([](Calls& c, IRawElementProviderSimple* e) {
    VARIANT v;
    c.unanswered = e->GetPropertyValue(uia::kNameProperty, &v);
  });
  ASSERT_EQ(WaitForSingleObject(calls->served.get(), 10000), WAIT_OBJECT_0);  // not pumping
  EXPECT_EQ(calls->unanswered, uia::kTimeout);
  test::Pump();
  EXPECT_EQ(SendMessageW(dialog_->hwnd(), UiaProviders::CallMessage(), 12345, 0), 0);
}

TEST_F(SettingsProviders, PatternsActAndRaiseTheirEvents) {
  const auto clock = Pattern<IToggleProvider>(Element(kControlClock).Get(), uia::kTogglePattern);
  ASSERT_TRUE(clock);
  int before = -1, after = -1;
  clock->get_ToggleState(&before);
  ASSERT_EQ(clock->Toggle(), S_OK);
  clock->get_ToggleState(&after);
  EXPECT_EQ(std::vector<int>({before, after}), std::vector<int>({uia::kToggleOn, uia::kToggleOff}));
  EXPECT_FALSE(last_.showClock);
  EXPECT_FALSE(Pattern<IInvokeProvider>(Element(kControlClock).Get(), uia::kInvokePattern));
  // "Show year" is dimmed now.
  const auto year = Element(kControlClockYear);
  EXPECT_EQ(Number(year.Get(), uia::kIsEnabledProperty), VARIANT_FALSE);
  EXPECT_EQ(Pattern<IToggleProvider>(year.Get(), uia::kTogglePattern)->Toggle(),
            uia::kElementNotEnabled);

  const auto scale = Element(kControlScale);
  const auto options = Children(scale.Get());
  ASSERT_EQ(options.size(), kDisplayScaleSteps.size());
  const auto item = Pattern<ISelectionItemProvider>(options[3].Get(), uia::kSelectionItemPattern);
  ASSERT_EQ(item->Select(), S_OK);
  EXPECT_EQ(last_.displayScale, 1.25);
  BOOL selected = FALSE;
  item->get_IsSelected(&selected);
  EXPECT_TRUE(selected);
  EXPECT_EQ(item->RemoveFromSelection(), uia::kInvalidOperation);  // one is always chosen
  SAFEARRAY* selection = nullptr;
  ASSERT_EQ(
      Pattern<ISelectionProvider>(scale.Get(), uia::kSelectionPattern)->GetSelection(&selection),
      S_OK);
  LONG index = 0;
  IUnknown* chosen = nullptr;
  SafeArrayGetElement(selection, &index, &chosen);
  EXPECT_EQ(test::AutomationId(As<IRawElementProviderSimple>(chosen).Get()),
            Id(OptionElement(kControlScale, 3)));
  chosen->Release();
  SafeArrayDestroy(selection);

  const auto slider =
      Pattern<IRangeValueProvider>(Element(kControlDiskAlert).Get(), uia::kRangeValuePattern);
  double minimum = 0, maximum = 0, step = 0, value = 0;
  slider->get_Minimum(&minimum);
  slider->get_Maximum(&maximum);
  slider->get_SmallChange(&step);
  slider->get_Value(&value);
  EXPECT_EQ(std::vector<double>({minimum, maximum, step, value}),
            std::vector<double>({50, 95, 5, 90}));
  EXPECT_EQ(slider->SetValue(62), S_OK);
  EXPECT_EQ(last_.diskAlertThreshold, 0.6);
  EXPECT_EQ(slider->SetValue(20), E_INVALIDARG);
  // Its Value pattern is as writable as it says.
  const auto text = Pattern<IValueProvider>(Element(kControlDiskAlert).Get(), uia::kValuePattern);
  BOOL readOnly = TRUE;
  text->get_IsReadOnly(&readOnly);
  EXPECT_EQ(std::pair(readOnly, text->SetValue(L"85%")), std::pair(FALSE, S_OK));
  EXPECT_EQ(std::pair(last_.diskAlertThreshold, text->SetValue(L"85 high")),
            std::pair(0.85, E_INVALIDARG));

  // A row out of view keeps its place and says so; an option scrolls it into view.
  const auto interval = Children(Element(kControlInterval).Get());
  UiaRect box{};
  As<IRawElementProviderFragment>(interval[0].Get())->get_BoundingRectangle(&box);
  EXPECT_EQ(std::pair(Number(interval[0].Get(), uia::kIsOffscreenProperty), box.height > 0),
            std::pair(long{VARIANT_TRUE}, true));
  ASSERT_EQ(
      Pattern<IScrollItemProvider>(interval[0].Get(), uia::kScrollItemPattern)->ScrollIntoView(),
      S_OK);
  EXPECT_EQ(Number(interval[0].Get(), uia::kIsOffscreenProperty), VARIANT_FALSE);

  std::erase_if(recorder_.events, [](const auto& e) {
    return e.id == uia::kIsOffscreenProperty && e.element != Id(kControlInterval);
  });
  EXPECT_EQ(recorder_.events,
            (std::vector<test::RaisedEvent>{
                {uia::kToggleStateProperty, Id(kControlClock), uia::kToggleOff},
                {uia::kIsEnabledProperty, Id(kControlClockYear), 0},
                {uia::kElementSelectedEvent, Id(OptionElement(kControlScale, 3))},
                {uia::kSelectionItemIsSelectedProperty, Id(OptionElement(kControlScale, 3)), -1},
                {uia::kRangeValueValueProperty, Id(kControlDiskAlert), 60},
                {uia::kValueValueProperty, Id(kControlDiskAlert), 0, L"60%"},
                {uia::kRangeValueValueProperty, Id(kControlDiskAlert), 85},
                {uia::kValueValueProperty, Id(kControlDiskAlert), 0, L"85%"},
                {uia::kIsOffscreenProperty, Id(kControlInterval), 0}}));

  // A notice is spoken when it appears, with its text where the system takes one.
  recorder_.events.clear();
  dialog_->SetSaveFailed(true, false);
  const std::wstring notice = Id(kTextSettingsSaveFailed);
  EXPECT_EQ(Number(Element(kTextSettingsSaveFailed).Get(), uia::kLiveSettingProperty),
            uia::kLivePolite);
  std::erase_if(recorder_.events, [&](const auto& e) { return e.element != notice; });
  EXPECT_EQ(recorder_.events,
            (std::vector<test::RaisedEvent>{
                {uia::kLiveRegionChangedEvent, notice},
                {uia::kNotificationEvent, notice, 0,
                 std::wstring(AsWide(LoadText(kTextSettingsSaveFailed).c_str()))}}));
}

TEST_F(SettingsProviders, KeyboardFocusIsReportedAndFollowedUntilTheWindowCloses) {
  SetForegroundWindow(dialog_->hwnd());
  SetFocus(dialog_->hwnd());
  SendMessageW(dialog_->hwnd(), WM_KEYDOWN, VK_TAB, 0);
  SendMessageW(dialog_->hwnd(), WM_KEYDOWN, VK_TAB, 0);
  ASSERT_EQ(GetFocus(), dialog_->hwnd());
  EXPECT_EQ(std::pair(Number(Element(kControlClockYear).Get(), uia::kHasKeyboardFocusProperty),
                      Number(Element(kControlClock).Get(), uia::kHasKeyboardFocusProperty)),
            std::pair(long{VARIANT_TRUE}, long{VARIANT_FALSE}));
  EXPECT_EQ(recorder_.events,
            (std::vector<test::RaisedEvent>{{uia::kFocusChangedEvent, Id(kControlClock)},
                                            {uia::kFocusChangedEvent, Id(kControlClockYear)}}));

  // A reader moving the focus scrolls the row into view.
  ASSERT_EQ(As<IRawElementProviderFragment>(Element(kControlInterval).Get())->SetFocus(), S_OK);
  EXPECT_EQ(Number(Element(kControlInterval).Get(), uia::kIsOffscreenProperty), VARIANT_FALSE);
  ComPtr<IRawElementProviderFragment> focused;
  As<IRawElementProviderFragmentRoot>(root_)->GetFocus(focused.GetAddressOf());
  EXPECT_EQ(test::AutomationId(As<IRawElementProviderSimple>(focused.Get()).Get()),
            Id(kControlInterval));

  // An element outlives its window in the client's hands: it then answers "not available".
  const auto clock = Element(kControlClock);
  const auto toggle = Pattern<IToggleProvider>(clock.Get(), uia::kTogglePattern);
  SendMessageW(dialog_->hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(std::pair(dialog_->hwnd(), recorder_.disconnects), std::pair(HWND{}, 1));
  VARIANT v;
  EXPECT_EQ(std::pair(clock->GetPropertyValue(uia::kNameProperty, &v), toggle->Toggle()),
            std::pair(uia::kElementNotAvailable, uia::kElementNotAvailable));
}

// The card itself, made in this process: its sections read as sentences, its buttons act.
TEST(CardProviders, SectionsReadAsSentencesAndTheButtonsAct) {
  test::CardInProcess inProcess;
  CardWindow& card = inProcess.card;
  test::UiaRecorder recorder;
  ASSERT_EQ(card.Create(GetModuleHandleW(nullptr)), S_OK);
  test::Pump();
  IRawElementProviderSimple* root = card.AccessibilityRoot();
  ASSERT_NE(root, nullptr);
  EXPECT_NE(SendMessageW(card.hwnd(), WM_GETOBJECT, 0, uia::kRootObjectId), 0);
  // MSAA's ids reach UI Automation too (Wine's leaves them to the window's object, its title).
  const auto fromWindow =
      reinterpret_cast<HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**)>(reinterpret_cast<void*>(
          GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
  ComPtr<IAccessible> msaa;
  ASSERT_EQ(fromWindow(card.hwnd(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                       reinterpret_cast<void**>(msaa.GetAddressOf())),
            S_OK);
  VARIANT self{};
  self.vt = VT_I4;  // CHILDID_SELF
  BSTR title = nullptr;
  msaa->get_accName(self, &title);
  EXPECT_STREQ(title, L"Lumetta");
  SysFreeString(title);
  ASSERT_GE(recorder.objectIds.size(), 2u);
  EXPECT_EQ(std::vector(recorder.objectIds.begin(), recorder.objectIds.begin() + 2),
            (std::vector<LONG>{uia::kRootObjectId, OBJID_CLIENT}));

  std::wstring ids;
  for (const auto& child : Children(root)) {
    ids += test::AutomationId(child.Get()) + L" ";
  }
  EXPECT_EQ(ids, L"2 3 4 5 6 7 " + Id(kCardElementSettings) + L" " + Id(kCardElementPin) + L" ");
  // A section says its figures in its name: a Text element has no value to read.
  const auto memory = test::Child(root, Id(SectionElement(SectionId::Memory)));
  EXPECT_TRUE(Text(memory.Get(), uia::kNameProperty).starts_with(L"Memory, ")) << "measured";
  EXPECT_EQ(Pattern<IValueProvider>(memory.Get(), uia::kValuePattern), nullptr);

  // The pin toggles and is not invoked.
  const auto pinElement = test::Child(root, Id(kCardElementPin));
  EXPECT_EQ(Pattern<IInvokeProvider>(pinElement.Get(), uia::kInvokePattern), nullptr);
  const auto pin = Pattern<IToggleProvider>(pinElement.Get(), uia::kTogglePattern);
  ASSERT_EQ(pin->Toggle(), S_OK);
  EXPECT_EQ(GetWindowLongPtrW(card.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);  // unpinned
  int state = -1;
  pin->get_ToggleState(&state);
  EXPECT_EQ(state, uia::kToggleOff);
  ASSERT_EQ(Pattern<IInvokeProvider>(test::Child(root, Id(kCardElementSettings)).Get(),
                                     uia::kInvokePattern)
                ->Invoke(),
            S_OK);
  test::Pump();
  HWND dialog = test::FindWindowOf(GetCurrentProcessId(), L"LumettaSettingsWindow");
  EXPECT_TRUE(dialog != nullptr && IsWindowVisible(dialog));
  std::erase_if(recorder.events, [](const auto& e) { return e.id == uia::kNameProperty; });
  EXPECT_EQ(recorder.events, (std::vector<test::RaisedEvent>{
                                 {uia::kToggleStateProperty, Id(kCardElementPin), uia::kToggleOff},
                                 {uia::kInvokedEvent, Id(kCardElementSettings)}}));

  // New figures are told as the section's new name. Without a data folder the change is not
  // kept, and Settings says so without naming a log file.
  Settings fewer;
  fewer.showHardwareDetails = false;
  card.ApplySettings(fewer);
  SendMessageW(dialog, WM_GETOBJECT, 0, uia::kRootObjectId);
  EXPECT_EQ(test::AutomationId(Children(recorder.lastRoot)[0].Get()),
            Id(kTextSettingsNoDataFolder));
  const std::wstring cpu = Id(SectionElement(SectionId::Cpu));
  const auto told = std::find_if(recorder.events.begin(), recorder.events.end(),
                                 [&](const auto& e) { return e.element == cpu; });
  ASSERT_NE(told, recorder.events.end());
  EXPECT_EQ(
      std::pair(told->id, told->newText),
      std::pair(int{uia::kNameProperty}, Text(test::Child(root, cpu).Get(), uia::kNameProperty)));
}

TEST(AboutProviders, TextsTheLinkInvokedAfterTheCallReturnsAndOneWindow) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  test::UiaRecorder recorder;
  test::Factories factories;
  AboutWindow about(factories.d2d.Get(), factories.dwrite.Get());
  about.Show(nullptr);
  // Read before its first frame.
  IRawElementProviderSimple* root = about.AccessibilityRoot();
  ASSERT_NE(root, nullptr);
  std::vector<std::wstring> names;
  for (const auto& child : Children(root)) {
    names.push_back(Text(child.Get(), uia::kNameProperty));
  }
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(names[0] + L"|" + names[5] + L"|" + names[7], L"Lumetta|Made by Norvale|norvale.com");
  const auto link = test::Child(root, Id(kAboutElementLink));
  EXPECT_EQ(std::pair(Number(link.Get(), uia::kControlTypeProperty),
                      Number(link.Get(), uia::kIsKeyboardFocusableProperty)),
            std::pair(long{uia::kHyperlink}, long{VARIANT_TRUE}));
  test::Pump();
  // The focus reaches the link with the window, and a reader is told.
  SetFocus(nullptr);
  recorder.events.clear();
  SetFocus(about.hwnd());
  EXPECT_EQ(recorder.events,
            (std::vector<test::RaisedEvent>{{uia::kFocusChangedEvent, Id(kAboutElementLink)}}));
  ASSERT_EQ(Pattern<IInvokeProvider>(link.Get(), uia::kInvokePattern)->Invoke(), S_OK);
  // Taken off the queue before it opens a browser: the call only posted it.
  MSG posted{};
  ASSERT_TRUE(PeekMessageW(&posted, about.hwnd(), kAccessibilityInvokeMessage,
                           kAccessibilityInvokeMessage, PM_REMOVE));
  EXPECT_EQ(posted.wParam, kAboutElementLink);
  EXPECT_EQ(Pattern<IInvokeProvider>(test::Child(root, L"1").Get(), uia::kInvokePattern), nullptr);

  // Shown again while minimized: the same window, restored. Escape closes it.
  HWND first = about.hwnd();
  ShowWindow(first, SW_MINIMIZE);
  about.Show(nullptr);
  EXPECT_EQ(std::pair(about.hwnd(), IsIconic(first)), std::pair(first, FALSE));
  SendMessageW(first, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(std::pair(IsWindow(first), about.hwnd()), std::pair(FALSE, HWND{}));
}

// Each allocation of a call failing in turn, until the call makes no more: its answers, the last
// with memory to spare.
template <typename Call>
std::vector<long long> EachAllocationFailing(Call call) {
  std::vector<long long> answers;
  answers.reserve(4096);  // the answers never allocate
  for (long nth = 0; answers.empty() || test::AllocationFailed(); ++nth) {
    test::FailAllocation(nth);
    answers.push_back(static_cast<long long>(call()));
  }
  test::FailAllocation(-1);
  return answers;
}

// An allocation failing inside a message or a provider's call is answered as Windows and COM
// expect, never thrown through their frames: a message gets the default answer, a call
// E_OUTOFMEMORY, also one carried from another thread. With memory again, the next works.
class EntryPoints : public test::LoggingTest {};
TEST_F(EntryPoints, AnAllocationFailingInsideIsAnsweredNotThrown) {
  {
    test::CardInProcess inProcess;  // a tick of the card's, failing anywhere
    ASSERT_EQ(inProcess.card.Create(GetModuleHandleW(nullptr)), S_OK);
    // Each tick is painted: a view left half built by a failure is still drawn safely.
    const std::vector<long long> ticks = EachAllocationFailing([&] {
      const LRESULT answer = SendMessageW(inProcess.card.hwnd(), WM_TIMER, 1, 0);
      UpdateWindow(inProcess.card.hwnd());
      return answer;
    });
    EXPECT_GT(ticks.size(), 2u);  // the first tick sizes the view's strings
    EXPECT_EQ(Events("window").size(), ticks.size() - 1);
    EXPECT_EQ(Events("window").at(0), "ERROR window message_failed message=0x0113");
  }
  test::Factories factories;
  AboutWindow about(factories.d2d.Get(), factories.dwrite.Get());
  about.Show(nullptr);
  test::Pump();

  struct Caller {
    ComPtr<IRawElementProviderFragment> root, child;
    HRESULT answer = S_FALSE;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HRESULT FirstChild() {
      return answer = root->Navigate(NavigateDirection_FirstChild, child.ReleaseAndGetAddressOf());
    }
  };
  const auto caller = std::make_shared<Caller>();
  caller->root = As<IRawElementProviderFragment>(about.AccessibilityRoot());
  const std::vector<long long> answers =
      EachAllocationFailing([&] { return caller->FirstChild(); });
  EXPECT_EQ(answers, (std::vector<long long>{E_OUTOFMEMORY, E_OUTOFMEMORY, S_OK}));
  // The window's thread fails to make the element another thread asked for.
  std::thread([caller] {
    caller->FirstChild();
    SetEvent(caller->done);
  }).detach();
  test::FailAllocation(0);  // served only while this thread pumps
  ASSERT_TRUE(test::PumpUntilSet(caller->done));
  EXPECT_EQ(std::pair(test::AllocationFailed(), caller->answer), std::pair(true, E_OUTOFMEMORY));
  test::FailAllocation(-1);
}

// A steady second of the card, measured and drawn, makes no heap allocation: the default card
// and the card with every addition on.
TEST_F(EntryPoints, ASteadySecondAllocatesNothing) {
  test::CardInProcess inProcess;
  ASSERT_EQ(inProcess.card.Create(GetModuleHandleW(nullptr)), S_OK);
  const HWND card = inProcess.card.hwnd();
  const auto second = [card] {
    SendMessageW(card, WM_TIMER, 1, 0);  // a sample
    SendMessageW(card, WM_TIMER, 2, 0);  // the clock
    return UpdateWindow(card);
  };
  Settings everything;
  everything.showSelf = true;
  for (const SettingsBool& entry : kOptInBools) {
    everything.*entry.field = true;
  }
  for (const Settings& settings : {Settings{}, everything}) {
    inProcess.card.ApplySettings(settings);
    for (int i = 0; i < 3; ++i) {
      second();
    }
    EXPECT_EQ(EachAllocationFailing(second).size() - 1, 0u) << settings.showProcesses;
  }
}

// The mouse taken away mid-drag (Alt+Tab, another window's capture, a menu) ends the drag: a
// later move over the slider changes nothing. Kept, the capture lets the drag follow the move.
TEST_F(SettingsProviders, LosingTheMouseCaptureEndsASliderDrag) {
  const auto slider = As<IRawElementProviderFragment>(Element(kControlDiskAlert).Get());
  ASSERT_EQ(slider->SetFocus(), S_OK);  // scrolled into view
  UiaRect box{};
  ASSERT_EQ(slider->get_BoundingRectangle(&box), S_OK);
  POINT left{static_cast<LONG>(box.left) + 2, static_cast<LONG>(box.top + box.height / 2)};
  ScreenToClient(dialog_->hwnd(), &left);
  const LPARAM start = MAKELPARAM(left.x, left.y);
  const LPARAM end = MAKELPARAM(left.x + static_cast<LONG>(box.width) - 5, left.y);
  const struct {
    UINT loss;  // 0: none
    LPARAM press, move;
    double pressed, moved;
  } cases[] = {{WM_CAPTURECHANGED, start, end, 0.5, 0.5},
               {WM_CANCELMODE, end, start, 0.95, 0.95},
               {0, end, start, 0.95, 0.5}};
  for (const auto& c : cases) {
    SendMessageW(dialog_->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, c.press);
    ASSERT_EQ(last_.diskAlertThreshold, c.pressed) << c.loss;
    if (c.loss == WM_CAPTURECHANGED) {
      ReleaseCapture();
    } else if (c.loss == WM_CANCELMODE) {
      SendMessageW(dialog_->hwnd(), WM_CANCELMODE, 0, 0);
    }
    SendMessageW(dialog_->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, c.move);
    EXPECT_EQ(last_.diskAlertThreshold, c.moved) << c.loss;
    SendMessageW(dialog_->hwnd(), WM_LBUTTONUP, 0, c.move);
  }
}

}  // namespace
}  // namespace lumetta
