// The UI Automation stand-in under Wine, seen through the platform's COM interfaces exactly as
// the program sees it, over the sample application's window.
#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/foreground_lock.h"
#include "uia_standin/standin_api.h"
#include "win/sample_app_process.h"
#include "windows/uia_patterns.h"

namespace vantro::test_support {
namespace {

using Microsoft::WRL::ComPtr;
namespace standin = uia_standin;

constexpr DWORD kClsctxAll = 0x17;  // CLSCTX_ALL as the program passes it
constexpr DWORD kOutputTimeoutMs = 5000;

// The sample application's window comes to the foreground, which would close a menu or take
// the keys of another test: one such test process at a time.
class UiaStandin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(foreground_lock_.held()) << "foreground lock not acquired in time";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    const HRESULT hr = CoCreateInstance(__uuidof(CUIAutomation), nullptr, kClsctxAll, __uuidof(IUIAutomation),
                                        reinterpret_cast<void**>(automation_.GetAddressOf()));
    ASSERT_EQ(hr, S_OK)
        << "CUIAutomation is not registered in this Wine prefix (scripts/lib/wine-env.sh registers "
           "the stand-in after it is built)";
    ASSERT_NE(automation_, nullptr);
    const HMODULE module = GetModuleHandleW(standin::kModuleName);
    ASSERT_NE(module, nullptr) << "CUIAutomation was not served by the stand-in";
    live_objects_ = reinterpret_cast<standin::LiveObjectsFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, standin::kLiveObjectsExport)));
    ASSERT_NE(live_objects_, nullptr);
  }

  void TearDown() override {
    automation_.Reset();
    if (live_objects_ != nullptr) {
      EXPECT_EQ(live_objects_(), 0) << "a COM object of the stand-in leaked";
    }
    CoUninitialize();
  }

  void start(const std::wstring& arguments) {
    std::optional<SampleAppProcess> started = SampleAppProcess::start(arguments);
    ASSERT_TRUE(started) << "the sample application did not start";
    app_.emplace(std::move(*started));
  }

  // The control with that id anywhere below the sample application's window.
  HWND find(int id) const { return find_control(app_->window(), id); }

  bool sees(std::string_view line) {
    return app_->wait_for_line(line, std::chrono::milliseconds(kOutputTimeoutMs)).has_value();
  }

  ComPtr<IUIAutomationElement> element_of(HWND window) {
    ComPtr<IUIAutomationElement> element;
    EXPECT_EQ(automation_->ElementFromHandle(window, element.GetAddressOf()), S_OK);
    return element;
  }

  ComPtr<IUIAutomationElement> control(int id) {
    HWND window = find(id);
    EXPECT_NE(window, nullptr) << "no control " << id;
    return element_of(window);
  }

  template <class Pattern>
  static ComPtr<Pattern> pattern(IUIAutomationElement* element, PATTERNID id) {
    return windows::current_pattern<Pattern>(element, id);
  }

  ForegroundLock foreground_lock_;
  ComPtr<IUIAutomation> automation_;
  standin::LiveObjectsFunction live_objects_ = nullptr;
  std::optional<SampleAppProcess> app_;
};

struct Node {
  int depth;
  int id;
  CONTROLTYPEID type;
  std::wstring name;
  RECT rect;
  BOOL enabled;
  BOOL offscreen;
  BOOL focusable;
};

void walk(IUIAutomationTreeWalker* walker, IUIAutomationElement* element, int depth, std::vector<Node>& out) {
  Node node{depth};
  UIA_HWND window = nullptr;
  EXPECT_EQ(element->get_CurrentNativeWindowHandle(&window), S_OK);
  node.id = GetDlgCtrlID(static_cast<HWND>(window));
  EXPECT_EQ(element->get_CurrentControlType(&node.type), S_OK);
  BSTR name = nullptr;
  EXPECT_EQ(element->get_CurrentName(&name), S_OK);
  node.name.assign(name, SysStringLen(name));
  SysFreeString(name);
  EXPECT_EQ(element->get_CurrentBoundingRectangle(&node.rect), S_OK);
  EXPECT_EQ(element->get_CurrentIsEnabled(&node.enabled), S_OK);
  EXPECT_EQ(element->get_CurrentIsOffscreen(&node.offscreen), S_OK);
  EXPECT_EQ(element->get_CurrentIsKeyboardFocusable(&node.focusable), S_OK);
  out.push_back(node);
  ComPtr<IUIAutomationElement> child;
  ASSERT_EQ(walker->GetFirstChildElement(element, child.GetAddressOf()), S_OK);
  while (child) {
    walk(walker, child.Get(), depth + 1, out);
    ComPtr<IUIAutomationElement> next;
    ASSERT_EQ(walker->GetNextSiblingElement(child.Get(), next.GetAddressOf()), S_OK);
    child = next;
  }
}

TEST_F(UiaStandin, WalkYieldsTheControlsInZOrderWithTheirProperties) {
  start(
      L"--title walk button,id=101,text=Press,x=10,y=10,w=100,h=24 checkbox,id=102,text=Check "
      L"radio,id=103,text=Radio edit,id=104,text=Field label,id=105,text=Label,notab combo,id=106 "
      L"list,id=107 "
      L"tree,id=108 button,id=109,text=Off,disabled button,id=110,text=Ghost,hidden group,id=200,text=Outer "
      L"group,id=201,text=Inner,parent=200 button,id=202,text=Deep,parent=201");
  ComPtr<IUIAutomationTreeWalker> walker;
  ASSERT_EQ(automation_->get_ControlViewWalker(walker.GetAddressOf()), S_OK);
  ComPtr<IUIAutomationElement> root = element_of(app_->window());
  std::vector<Node> nodes;
  walk(walker.Get(), root.Get(), 0, nodes);

  struct Expected {
    int depth;
    int id;
    CONTROLTYPEID type;
    const wchar_t* name;
    bool enabled;
    bool offscreen;
    bool focusable;
  };
  const Expected expected[] = {
      {0, 0, UIA_WindowControlTypeId, L"walk", true, false, false},
      {1, 101, UIA_ButtonControlTypeId, L"Press", true, false, true},
      {1, 102, UIA_CheckBoxControlTypeId, L"Check", true, false, true},
      {1, 103, UIA_RadioButtonControlTypeId, L"Radio", true, false, true},
      {1, 104, UIA_EditControlTypeId, L"Field", true, false, true},
      {1, 105, UIA_TextControlTypeId, L"Label", true, false, false},
      {1, 106, UIA_ComboBoxControlTypeId, L"", true, false, true},
      {1, 107, UIA_ListControlTypeId, L"", true, false, true},
      {1, 108, UIA_TreeControlTypeId, L"", true, false, true},
      {1, 109, UIA_ButtonControlTypeId, L"Off", false, false, true},
      {1, 110, UIA_ButtonControlTypeId, L"Ghost", true, true, true},
      {1, 200, UIA_GroupControlTypeId, L"Outer", true, false, false},
      {2, 201, UIA_GroupControlTypeId, L"Inner", true, false, false},
      {3, 202, UIA_ButtonControlTypeId, L"Deep", true, false, true},
  };
  ASSERT_EQ(nodes.size(), std::size(expected));
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const Node& node = nodes[i];
    const Expected& want = expected[i];
    SCOPED_TRACE("node " + std::to_string(i) + " id " + std::to_string(want.id));
    EXPECT_EQ(node.depth, want.depth);
    if (want.depth > 0) {
      EXPECT_EQ(node.id, want.id);
      EXPECT_EQ(node.focusable != FALSE, want.focusable);
    }
    EXPECT_EQ(node.type, want.type);
    EXPECT_EQ(node.name, want.name);
    EXPECT_EQ(node.enabled != FALSE, want.enabled);
    EXPECT_EQ(node.offscreen != FALSE, want.offscreen);
    HWND window = want.depth == 0 ? app_->window() : find(want.id);
    RECT rect{};
    if (!want.offscreen) {
      ASSERT_TRUE(GetWindowRect(window, &rect));
    }
    EXPECT_TRUE(EqualRect(&node.rect, &rect))
        << node.rect.left << "," << node.rect.top << "," << node.rect.right << "," << node.rect.bottom;
  }
  // The explicitly placed button sits where the sample application was told to put it.
  POINT origin{0, 0};
  ASSERT_TRUE(ClientToScreen(app_->window(), &origin));
  const RECT button{origin.x + 10, origin.y + 10, origin.x + 110, origin.y + 34};
  EXPECT_TRUE(EqualRect(&nodes[1].rect, &button));
}

TEST_F(UiaStandin, MissingChildOrSiblingIsSuccessWithoutElement) {
  start(L"button,id=101,text=Only");
  ComPtr<IUIAutomationTreeWalker> walker;
  ASSERT_EQ(automation_->get_ControlViewWalker(walker.GetAddressOf()), S_OK);
  ComPtr<IUIAutomationElement> button = control(101);
  ComPtr<IUIAutomationElement> none;
  EXPECT_EQ(walker->GetFirstChildElement(button.Get(), none.GetAddressOf()), S_OK);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(walker->GetNextSiblingElement(button.Get(), none.GetAddressOf()), S_OK);
  EXPECT_EQ(none, nullptr);
}

TEST_F(UiaStandin, ClickablePointIsTheCentreAndAbsentWhenHiddenOrRefused) {
  start(
      L"button,id=101,text=Here,x=20,y=30,w=41,h=21 button,id=102,text=Ghost,hidden "
      L"button,id=103,text=Pointless,fail=point");
  POINT origin{0, 0};
  ASSERT_TRUE(ClientToScreen(app_->window(), &origin));
  POINT point{};
  BOOL got = FALSE;
  ASSERT_EQ(control(101)->GetClickablePoint(&point, &got), S_OK);
  EXPECT_TRUE(got);
  EXPECT_EQ(point.x, origin.x + 20 + 20);
  EXPECT_EQ(point.y, origin.y + 30 + 10);
  for (int id : {102, 103}) {
    SCOPED_TRACE(id);
    got = TRUE;
    ASSERT_EQ(control(id)->GetClickablePoint(&point, &got), S_OK);
    EXPECT_FALSE(got);
  }
}

TEST_F(UiaStandin, PatternsOfferedByControlTypeWithLegacyRoles) {
  start(
      L"button,id=101,text=B checkbox,id=102,text=C radio,id=103,text=R combo,id=104 edit,id=105 "
      L"label,id=106,text=L group,id=107,text=G");
  struct Case {
    int id;
    bool invoke, toggle, select, expand;
    DWORD role;
  };
  const Case cases[] = {
      {101, true, false, false, false, ROLE_SYSTEM_PUSHBUTTON},
      {102, false, true, false, false, ROLE_SYSTEM_CHECKBUTTON},
      {103, false, false, true, false, ROLE_SYSTEM_RADIOBUTTON},
      {104, false, false, false, true, ROLE_SYSTEM_COMBOBOX},
      {105, false, false, false, false, ROLE_SYSTEM_TEXT},
      {106, false, false, false, false, ROLE_SYSTEM_STATICTEXT},
      {107, false, false, false, false, ROLE_SYSTEM_GROUPING},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ComPtr<IUIAutomationElement> element = control(c.id);
    EXPECT_EQ(pattern<IUIAutomationInvokePattern>(element.Get(), UIA_InvokePatternId) != nullptr, c.invoke);
    EXPECT_EQ(pattern<IUIAutomationTogglePattern>(element.Get(), UIA_TogglePatternId) != nullptr, c.toggle);
    EXPECT_EQ(
        pattern<IUIAutomationSelectionItemPattern>(element.Get(), UIA_SelectionItemPatternId) != nullptr,
        c.select);
    EXPECT_EQ(
        pattern<IUIAutomationExpandCollapsePattern>(element.Get(), UIA_ExpandCollapsePatternId) != nullptr,
        c.expand);
    auto legacy =
        pattern<IUIAutomationLegacyIAccessiblePattern>(element.Get(), UIA_LegacyIAccessiblePatternId);
    ASSERT_NE(legacy, nullptr);
    DWORD role = 0;
    ASSERT_EQ(legacy->get_CurrentRole(&role), S_OK);
    EXPECT_EQ(role, c.role);
    // A missing pattern is S_OK with no object; a pattern object refuses other interfaces.
    ComPtr<IUnknown> object;
    EXPECT_EQ(element->GetCurrentPattern(UIA_ValuePatternId, object.GetAddressOf()), S_OK);
    EXPECT_EQ(object, nullptr);
    ComPtr<IUIAutomationTogglePattern> wrong;
    EXPECT_EQ(legacy.As(&wrong), E_NOINTERFACE);
  }
}

TEST_F(UiaStandin, InvokeMakesThePushButtonSendItsCommand) {
  start(L"button,id=101,text=Press");
  auto invoke = pattern<IUIAutomationInvokePattern>(control(101).Get(), UIA_InvokePatternId);
  ASSERT_NE(invoke, nullptr);
  EXPECT_EQ(invoke->Invoke(), S_OK);
  EXPECT_TRUE(sees("command id=101 code=0"));
}

TEST_F(UiaStandin, DefaultActionClicksAButton) {
  start(L"button,id=101,text=Press");
  auto legacy =
      pattern<IUIAutomationLegacyIAccessiblePattern>(control(101).Get(), UIA_LegacyIAccessiblePatternId);
  ASSERT_NE(legacy, nullptr);
  EXPECT_EQ(legacy->DoDefaultAction(), S_OK);
  EXPECT_TRUE(sees("command id=101 code=0"));
}

TEST_F(UiaStandin, ToggleChangesTheCheckBoxState) {
  start(L"checkbox,id=102,text=Check");
  HWND box = find(102);
  auto toggle = pattern<IUIAutomationTogglePattern>(control(102).Get(), UIA_TogglePatternId);
  ASSERT_NE(toggle, nullptr);
  ToggleState state = ToggleState_Indeterminate;
  ASSERT_EQ(toggle->get_CurrentToggleState(&state), S_OK);
  EXPECT_EQ(state, ToggleState_Off);
  ASSERT_EQ(toggle->Toggle(), S_OK);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_EQ(toggle->get_CurrentToggleState(&state), S_OK);
  EXPECT_EQ(state, ToggleState_On);
  EXPECT_TRUE(sees("command id=102 code=0"));
  ASSERT_EQ(toggle->Toggle(), S_OK);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(UiaStandin, SelectChecksTheRadioButton) {
  start(L"radio,id=103,text=One radio,id=104,text=Two");
  auto select = pattern<IUIAutomationSelectionItemPattern>(control(104).Get(), UIA_SelectionItemPatternId);
  ASSERT_NE(select, nullptr);
  BOOL selected = TRUE;
  ASSERT_EQ(select->get_CurrentIsSelected(&selected), S_OK);
  EXPECT_FALSE(selected);
  ASSERT_EQ(select->Select(), S_OK);
  ASSERT_EQ(select->get_CurrentIsSelected(&selected), S_OK);
  EXPECT_TRUE(selected);
  EXPECT_EQ(SendMessageW(find(104), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(UiaStandin, ExpandShowsTheComboBoxDropDown) {
  start(L"combo,id=104");
  auto expand = pattern<IUIAutomationExpandCollapsePattern>(control(104).Get(), UIA_ExpandCollapsePatternId);
  ASSERT_NE(expand, nullptr);
  ExpandCollapseState state = ExpandCollapseState_LeafNode;
  ASSERT_EQ(expand->get_CurrentExpandCollapseState(&state), S_OK);
  EXPECT_EQ(state, ExpandCollapseState_Collapsed);
  ASSERT_EQ(expand->Expand(), S_OK);
  ASSERT_EQ(expand->get_CurrentExpandCollapseState(&state), S_OK);
  EXPECT_EQ(state, ExpandCollapseState_Expanded);
  ASSERT_EQ(expand->Collapse(), S_OK);
  ASSERT_EQ(expand->get_CurrentExpandCollapseState(&state), S_OK);
  EXPECT_EQ(state, ExpandCollapseState_Collapsed);
}

TEST_F(UiaStandin, FailurePropertyMakesTheChosenCallsFail) {
  start(
      L"button,id=101,text=Broken,fail=invoke checkbox,id=102,text=Broken,fail=toggle+default "
      L"button,id=103,text=Fine");
  auto invoke = pattern<IUIAutomationInvokePattern>(control(101).Get(), UIA_InvokePatternId);
  ASSERT_NE(invoke, nullptr);
  EXPECT_EQ(invoke->Invoke(), E_FAIL);
  auto toggle = pattern<IUIAutomationTogglePattern>(control(102).Get(), UIA_TogglePatternId);
  ASSERT_NE(toggle, nullptr);
  EXPECT_EQ(toggle->Toggle(), E_FAIL);
  auto legacy =
      pattern<IUIAutomationLegacyIAccessiblePattern>(control(102).Get(), UIA_LegacyIAccessiblePatternId);
  ASSERT_NE(legacy, nullptr);
  EXPECT_EQ(legacy->DoDefaultAction(), E_FAIL);
  EXPECT_EQ(SendMessageW(find(102), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // The default action of the broken push button still works: only the chosen calls fail.
  auto button_legacy =
      pattern<IUIAutomationLegacyIAccessiblePattern>(control(101).Get(), UIA_LegacyIAccessiblePatternId);
  ASSERT_NE(button_legacy, nullptr);
  EXPECT_EQ(button_legacy->DoDefaultAction(), S_OK);
  EXPECT_TRUE(sees("command id=101 code=0"));
}

TEST_F(UiaStandin, DisabledOrDestroyedControlsRefuseToAct) {
  start(L"button,id=101,text=Off,disabled button,id=102,text=Gone");
  auto invoke = pattern<IUIAutomationInvokePattern>(control(101).Get(), UIA_InvokePatternId);
  ASSERT_NE(invoke, nullptr);
  EXPECT_EQ(invoke->Invoke(), static_cast<HRESULT>(0x80040200));  // UIA_E_ELEMENTNOTENABLED
  ComPtr<IUIAutomationElement> gone = control(102);
  HWND window = app_->window();
  app_->stop();
  ASSERT_FALSE(IsWindow(window));
  CONTROLTYPEID type = 0;
  EXPECT_EQ(gone->get_CurrentControlType(&type),
            static_cast<HRESULT>(0x80040201));  // UIA_E_ELEMENTNOTAVAILABLE
  ComPtr<IUIAutomationElement> none;
  EXPECT_EQ(automation_->ElementFromHandle(window, none.GetAddressOf()), static_cast<HRESULT>(0x80040201));
  EXPECT_EQ(none, nullptr);
}

TEST_F(UiaStandin, UnmodelledCallsAnswerNotImplemented) {
  ComPtr<IUIAutomationElement> root;
  EXPECT_EQ(automation_->GetRootElement(root.GetAddressOf()), E_NOTIMPL);
  ComPtr<IUIAutomationTreeWalker> walker;
  EXPECT_EQ(automation_->get_RawViewWalker(walker.GetAddressOf()), E_NOTIMPL);
}

TEST_F(UiaStandin, LiveObjectCountFollowsReferences) {
  start(L"button,id=101,text=Count");
  const long before = live_objects_();
  EXPECT_EQ(before, 1) << "only the automation object is alive";
  {
    ComPtr<IUIAutomationElement> element = control(101);
    auto invoke = pattern<IUIAutomationInvokePattern>(element.Get(), UIA_InvokePatternId);
    EXPECT_EQ(live_objects_(), before + 2);
    ComPtr<IUIAutomationElement> copy = element;
    EXPECT_EQ(live_objects_(), before + 2) << "a second reference is not a second object";
  }
  EXPECT_EQ(live_objects_(), before);
}

TEST_F(UiaStandin, CanUnloadOnlyWhenNothingIsAlive) {
  using CanUnload = HRESULT(__stdcall*)();
  const auto can_unload = reinterpret_cast<CanUnload>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(standin::kModuleName), "DllCanUnloadNow")));
  ASSERT_NE(can_unload, nullptr);
  EXPECT_EQ(can_unload(), S_FALSE) << "the automation object is alive";
  automation_.Reset();
  EXPECT_EQ(can_unload(), S_OK);
}

TEST_F(UiaStandin, SampleApplicationReadsADescriptionFile) {
  wchar_t folder[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring path =
      std::wstring(folder) + L"vantro-sample-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  const char description[] =
      "# a comment line, then one control per line\r\n"
      "group,id=300,text=Box\r\n"
      "\r\n"
      "checkbox,id=301,text=Inside,parent=300\n"
      "button,id=302,text=After\n";
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, description, sizeof description - 1, &written, nullptr));
  CloseHandle(file);
  start(L"--title described --file \"" + path + L"\"");
  DeleteFileW(path.c_str());
  HWND group = find(300);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(GetParent(find(301)), group);
  EXPECT_EQ(GetParent(find(302)), app_->window());
  CONTROLTYPEID type = 0;
  ASSERT_EQ(control(301)->get_CurrentControlType(&type), S_OK);
  EXPECT_EQ(type, UIA_CheckBoxControlTypeId);
  // A control inside a group box still reports its WM_COMMAND through the window.
  auto toggle = pattern<IUIAutomationTogglePattern>(control(301).Get(), UIA_TogglePatternId);
  ASSERT_NE(toggle, nullptr);
  ASSERT_EQ(toggle->Toggle(), S_OK);
  EXPECT_TRUE(sees("command id=301 code=0"));
}

}  // namespace
}  // namespace vantro::test_support
