// The UI Automation client against real windows under Wine, through the test prefix's UI
// Automation stand-in (tests/support/uia_standin).
#include "windows/uia_client.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "support/code_texts.h"
#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/sample_app/getobject_report.h"
#include "support/system_text.h"
#include "win/sample_app_process.h"
#include "windows/hwnd_text.h"
#include "windows/wide.h"

namespace vantro::picking {
void PrintTo(const ElementInfo& e, std::ostream* out) {
  *out << debug_text(e.id) << ' ' << role_name(e.role) << " (" << e.x << ", " << e.y << ") " << e.width << 'x'
       << e.height;
}
}  // namespace vantro::picking

namespace vantro::windows {
namespace {

using picking::ElementId;
using picking::ElementInfo;
using picking::Role;
using test_support::SampleAppProcess;

constexpr wchar_t kAutomationServerKey[] = L"CLSID\\{FF48DBA4-60EF-4201-AA87-54103EEF594E}\\InprocServer32";

bool automation_server_registered() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kAutomationServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

#define REQUIRE_AUTOMATION_SERVER()    \
  if (!automation_server_registered()) \
  GTEST_SKIP() << "no UI Automation server in this prefix (Wine has none; register the stand-in)"
// For the tests whose sample application must keep the foreground.
#define HOLD_FOREGROUND()                        \
  test_support::ForegroundLock foreground_lock_; \
  ASSERT_TRUE(foreground_lock_.held()) << "foreground lock not acquired in time"

// The stand-in's count of its live COM objects.
long standin_live_objects() {
  HMODULE module = GetModuleHandleW(L"uia_standin.dll");
  if (module == nullptr) return -1;
  auto count = reinterpret_cast<long(__stdcall*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "uia_standin_live_objects")));
  return count == nullptr ? -1 : count();
}

// The inclusive record the client should give for a control window.
ElementInfo expected_record(HWND control, std::uint64_t id, Role role) {
  RECT r{};
  GetWindowRect(control, &r);
  return {ElementId{id}, r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1, role};
}

// A copy of the sample application under another image name, in a folder of its own.
class RenamedSampleApp {
 public:
  explicit RenamedSampleApp(const wchar_t* name) {
    const std::wstring sample = test_support::support_file(L"vantro_sample_app.exe");
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"vantro-browser-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir_.c_str(), nullptr);
    path_ = dir_ + L"\\" + name;
    copied_ = CopyFileW(sample.c_str(), path_.c_str(), FALSE) != FALSE;
  }
  ~RenamedSampleApp() {
    DeleteFileW(path_.c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  [[nodiscard]] bool copied() const { return copied_; }
  [[nodiscard]] std::optional<SampleAppProcess> start(const std::wstring& arguments) const {
    return SampleAppProcess::start_program(path_, arguments, std::chrono::seconds(20));
  }

 private:
  std::wstring dir_, path_;
  bool copied_ = false;
};

bool sample_app_built() {
  return GetFileAttributesW(test_support::support_file(L"vantro_sample_app.exe").c_str()) !=
         INVALID_FILE_ATTRIBUTES;
}

// One WM_GETOBJECT as the sample application received it.
struct GetObjectMessage {
  HWND window;
  WPARAM wparam;
  LPARAM lparam;
  friend bool operator==(const GetObjectMessage&, const GetObjectMessage&) = default;
};

void PrintTo(const GetObjectMessage& m, std::ostream* out) {
  *out << "WM_GETOBJECT to " << hwnd_text(m.window) << " wParam " << m.wparam << " lParam " << m.lparam;
}

// The WM_GETOBJECT messages that an application started with --record-getobject received
// since it last reported them; nothing when it does not answer in time.
std::optional<std::vector<GetObjectMessage>> received_getobject(SampleAppProcess& app) {
  namespace report = test_support::sample_app;
  if (!PostMessageW(app.window(), report::kReportGetObjectMessage, 0, 0)) return std::nullopt;
  std::vector<GetObjectMessage> received;
  for (;;) {
    const auto line = app.wait_for_line(report::kGetObjectLinePrefix, std::chrono::seconds(10));
    if (!line) return std::nullopt;
    if (line->starts_with(report::kGetObjectEndPrefix)) {
      if (std::stoull(line->substr(std::string_view(report::kGetObjectEndPrefix).size())) != received.size())
        return std::nullopt;
      return received;
    }
    unsigned long long window = 0, wparam = 0;
    long long lparam = 0;
    if (std::sscanf(line->c_str(), "getobject hwnd=0x%llx wparam=%llu lparam=%lld", &window, &wparam,
                    &lparam) != 3)
      return std::nullopt;
    received.push_back({reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)),
                        static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam)});
  }
}

// The window and its descendants, in the order EnumChildWindows gives them.
std::vector<HWND> window_and_descendants(HWND window) {
  std::vector<HWND> windows{window};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The two window kinds and their walk limits.
struct WindowKind {
  const char* name;
  bool browser;  // started as a copy named chrome.exe
  std::size_t depth_limit;
  std::size_t element_limit;
};
constexpr WindowKind kWindowKinds[] = {{"ordinary window", false, 12, 500}, {"browser", true, 32, 800}};

// One enumeration of the sample application started as a window of the given kind: the list,
// the fields of the DEBUG event "enumerate_foreground done", and the WM_GETOBJECT messages the
// application received meanwhile.
class KindEnumeration {
 public:
  void run(const WindowKind& kind, const std::wstring& arguments) {
    const std::wstring recorded = L"--record-getobject " + arguments;
    if (kind.browser) {
      copy_.emplace(L"chrome.exe");
      ASSERT_TRUE(copy_->copied()) << GetLastError();
      app_ = copy_->start(recorded);
    } else {
      app_ = SampleAppProcess::start(recorded);
    }
    ASSERT_TRUE(app_.has_value()) << "sample application did not start";
    ASSERT_TRUE(app_->bring_to_foreground()) << "sample application did not come to the foreground";
    auto before = received_getobject(*app_);
    ASSERT_TRUE(before.has_value()) << "no report of WM_GETOBJECT messages";
    ASSERT_TRUE(before->empty()) << testing::PrintToString(*before);

    auto client = UiaClient::create();
    ASSERT_TRUE(client.has_value()) << client.error().alternate();
    test_support::LogCapture capture(log::Level::Debug);
    auto list = client->enumerate_foreground();
    ASSERT_TRUE(list.has_value()) << list.error().alternate();
    list_ = std::move(*list);
    EXPECT_EQ(client->is_browser(), kind.browser);
    const auto* done = capture.find("enumerate_foreground done");
    ASSERT_NE(done, nullptr);
    done_ = *done;
    auto received = received_getobject(*app_);
    ASSERT_TRUE(received.has_value()) << "no report of WM_GETOBJECT messages";
    received_ = std::move(*received);
  }

  [[nodiscard]] SampleAppProcess& app() { return *app_; }
  // The control with that id anywhere below the window; the map is made in one pass, as a
  // search per control takes seconds over hundreds of windows of another process under Wine.
  [[nodiscard]] HWND control(int id) {
    if (controls_.empty()) {
      for (HWND window : window_and_descendants(app_->window()))
        controls_.emplace(GetDlgCtrlID(window), window);
    }
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
  }
  [[nodiscard]] const std::vector<ElementInfo>& list() const { return list_; }
  [[nodiscard]] std::string field(std::string_view name) const {
    const std::string* value = done_.field(name);
    return value == nullptr ? "<missing>" : *value;
  }

  // A browser's window and each of its `descendants` receive UiaRootObjectId (-25), then
  // OBJID_CLIENT (-4), with wParam 0, window by window; any other window receives none.
  void expect_wake_up(const WindowKind& kind, std::size_t descendants) {
    const std::vector<HWND> windows = window_and_descendants(app_->window());
    ASSERT_EQ(windows.size(), 1 + descendants);
    std::vector<GetObjectMessage> expected;
    if (kind.browser) {
      for (HWND window : windows) {
        expected.push_back({window, 0, -25});
        expected.push_back({window, 0, -4});
      }
    }
    EXPECT_EQ(received_, expected);
  }

 private:
  // Declared before the application, which must end before its copy is deleted.
  std::optional<RenamedSampleApp> copy_;
  std::optional<SampleAppProcess> app_;
  std::vector<ElementInfo> list_;
  test_support::CapturedEvent done_{};
  std::vector<GetObjectMessage> received_;
  std::map<int, HWND> controls_;
};

TEST(BrowserWindow, DecidedByTheProcessImageFileName) {
  if (!sample_app_built()) GTEST_SKIP() << "sample application not built";
  HOLD_FOREGROUND();  // the copies take the foreground when they start
  const std::pair<const wchar_t*, bool> cases[] = {{L"CHROME.EXE", true},
                                                   {L"firefox.exe", true},
                                                   {L"chromium.exe", false},
                                                   {L"vantro_sample_app.exe", false}};
  for (const auto& [name, browser] : cases) {
    SCOPED_TRACE(narrow(name));
    RenamedSampleApp copy(name);
    ASSERT_TRUE(copy.copied()) << GetLastError();
    auto app = copy.start(L"button,id=1,text=A");
    ASSERT_TRUE(app.has_value()) << "copy did not start";
    EXPECT_EQ(is_browser_window(app->window()), browser);
  }
  EXPECT_FALSE(is_browser_window(nullptr));
  EXPECT_FALSE(is_browser_window(GetDesktopWindow()));
}

TEST(UiaClient, BrowserWindowsGetTheBrowserRule) {
  REQUIRE_AUTOMATION_SERVER();
  if (!sample_app_built()) GTEST_SKIP() << "sample application not built";
  HOLD_FOREGROUND();
  RenamedSampleApp copy(L"msedge.exe");
  ASSERT_TRUE(copy.copied()) << GetLastError();
  // A button 8 pixels tall (9 in the inclusive measure) is too small for the browser rule;
  // the ordinary rule takes it.
  auto app = copy.start(L"--title \"browser\" button,id=1,text=Big,w=80,h=30 button,id=2,text=s,w=40,h=8");
  ASSERT_TRUE(app.has_value()) << "copy did not start";
  ASSERT_TRUE(app->bring_to_foreground());

  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  test_support::LogCapture capture(log::Level::Debug);
  auto list = client->enumerate_foreground();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();
  EXPECT_TRUE(client->is_browser());
  // The window's own element is large and focusable: the browser rule takes it as a Button.
  const std::vector<ElementInfo> expected = {expected_record(app->window(), 0, Role::Button),
                                             expected_record(app->control(1), 1, Role::Button)};
  EXPECT_EQ(*list, expected);
  const auto* kind = capture.find("enumerate_foreground: detected window kind");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(*kind->field("is_browser"), "true");
}

TEST(UiaClient, CreationFailsOnASingleThreadedApartment) {
  // A thread that already belongs to a single-threaded apartment cannot join the
  // multithreaded one.
  auto outcome = std::async(std::launch::async, [] {
    const HRESULT sta = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto client = UiaClient::create();
    if (SUCCEEDED(sta)) CoUninitialize();
    return client.has_value() ? std::string("created") : client.error().alternate();
  });
  const std::string text = outcome.get();
  EXPECT_TRUE(text.starts_with("initializing UI Automation client: ")) << text;
  EXPECT_TRUE(text.ends_with(
      ": " + test_support::system_text_or(static_cast<DWORD>(RPC_E_CHANGED_MODE), "error 0x80010106")))
      << text;
}

// What the user reads of an element-layer error is the system's message for the failed call
// alone, or where the system has none, the code (the box shows the context, the log's debug
// form the message below it); the HRESULT travels with the error as data.
TEST(UiaClient, ElementLayerErrorReadsAsTheSystemsMessageAlone) {
  auto outcome = std::async(std::launch::async, []() -> std::optional<Error> {
    const HRESULT sta = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto client = UiaClient::create();  // cannot join the multithreaded apartment now
    if (SUCCEEDED(sta)) CoUninitialize();
    if (client) return std::nullopt;
    return client.error();
  });
  const std::optional<Error> error = outcome.get();
  ASSERT_TRUE(error.has_value()) << "created on a single-threaded apartment";
  const std::string message =
      test_support::system_text_or(static_cast<DWORD>(RPC_E_CHANGED_MODE), "error 0x80010106");
  EXPECT_EQ(error->plain(), "initializing UI Automation client");
  EXPECT_EQ(error->alternate(), "initializing UI Automation client: " + message);
  EXPECT_EQ(error->debug(), "initializing UI Automation client\n\nCaused by:\n    " + message);
  EXPECT_EQ(error->hresult_code(), std::optional<std::int32_t>(RPC_E_CHANGED_MODE));
}

// Where the thread's error information has no text, the element layer's text names a UI
// Automation code whatever the system's message table says of that number (on Windows, texts of
// the COM+ event system's codes); any other code reads as the system's text, or as the code.
TEST(UiaClient, ElementLayerErrorWithoutSystemTextNamesTheCode) {
  for (const test_support::CodeText& c : test_support::kCodeTexts) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(SetErrorInfo(0, nullptr), S_OK);
    const Error error = uia_error(static_cast<HRESULT>(c.code));
    const bool named = !std::string_view(c.text).starts_with("error 0x");
    EXPECT_EQ(error.alternate(), named ? std::string(c.text) : test_support::system_text_or(c.code, c.text));
    EXPECT_EQ(error.hresult_code(), std::optional<std::int32_t>(static_cast<std::int32_t>(c.code)));
  }

  // The description that the failed call left in the thread's error information comes first.
  ComPtr<ICreateErrorInfo> create;
  ASSERT_EQ(CreateErrorInfo(create.GetAddressOf()), S_OK);
  ASSERT_EQ(create->SetDescription(const_cast<LPOLESTR>(L"Element is gone (told by its provider)")), S_OK);
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(create.As(&info), S_OK);
  ASSERT_EQ(SetErrorInfo(0, info.Get()), S_OK);
  EXPECT_EQ(uia_error(static_cast<HRESULT>(0x80040201)).alternate(),
            "Element is gone (told by its provider)");
}

TEST(UiaClient, CreatedWithTheRegisteredServer) {
  REQUIRE_AUTOMATION_SERVER();
  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  EXPECT_NE(client->automation(), nullptr);
  EXPECT_FALSE(client->is_browser());
  EXPECT_EQ(client->stored_count(), 0u);
  EXPECT_EQ(client->element(ElementId{0}), nullptr);
  // Joining the apartment again is fine.
  auto second = UiaClient::create();
  EXPECT_TRUE(second.has_value()) << second.error().alternate();
}

TEST(UiaClient, EnumeratesTheSampleApplicationsEnabledVisibleControls) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app = SampleAppProcess::start(
      L"--title \"uia enumeration\" --pos 40,40 --size 420,360 "
      L"button,id=101,text=One button,id=102,text=Two checkbox,id=103,text=Check "
      L"button,id=104,text=Hidden,hidden button,id=105,text=Off,disabled edit,id=106 label,id=107,text=Label "
      L"group,id=110,text=Box button,id=111,text=Inner,parent=110");
  ASSERT_TRUE(app.has_value()) << "sample application did not start";
  ASSERT_TRUE(app->bring_to_foreground()) << "sample application did not come to the foreground";

  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  test_support::LogCapture capture(log::Level::Debug);
  auto list = client->enumerate_foreground();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();

  const std::vector<ElementInfo> expected = {
      expected_record(app->control(101), 0, Role::Button),
      expected_record(app->control(102), 1, Role::Button),
      expected_record(app->control(103), 2, Role::Checkbox),
      expected_record(app->control(106), 3, Role::TextInput),
      expected_record(GetDlgItem(app->control(110), 111), 4, Role::Button),
  };
  EXPECT_EQ(*list, expected);
  EXPECT_EQ(client->stored_count(), list->size());
  for (const auto& info : *list) EXPECT_NE(client->element(info.id), nullptr) << picking::debug_text(info.id);
  EXPECT_EQ(client->element(ElementId{list->size()}), nullptr);
  EXPECT_FALSE(client->is_browser());

  const auto* kind = capture.find("enumerate_foreground: detected window kind");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->target, "vantro::windows");
  EXPECT_EQ(*kind->field("is_browser"), "false");
  const auto* done = capture.find("enumerate_foreground done");
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(done->level, log::Level::Debug);
  EXPECT_EQ(*done->field("collected"), std::to_string(expected.size()));
  EXPECT_EQ(*done->field("hit_depth_cap"), "false");
  EXPECT_EQ(*done->field("hit_element_cap"), "false");
  // The map's debug form; the order of its entries is not fixed.
  const std::string by_role = *done->field("by_role");
  ASSERT_TRUE(by_role.starts_with("{") && by_role.ends_with("}")) << by_role;
  std::set<std::string> entries;
  for (std::size_t pos = 1; pos < by_role.size() - 1;) {
    const std::size_t end = std::min(by_role.find(", ", pos), by_role.size() - 1);
    entries.insert(by_role.substr(pos, end - pos));
    pos = end + 2;
  }
  EXPECT_EQ(entries, (std::set<std::string>{"Button: 3", "Checkbox: 1", "TextInput: 1"})) << by_role;
}

TEST(UiaClient, ASecondEnumerationRestartsAtZeroAndReleasesTheEarlierElements) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app = SampleAppProcess::start(L"--title \"uia again\" button,id=201,text=A button,id=202,text=B");
  ASSERT_TRUE(app.has_value()) << "sample application did not start";
  ASSERT_TRUE(app->bring_to_foreground());
  {
    auto client = UiaClient::create();
    ASSERT_TRUE(client.has_value()) << client.error().alternate();
    const long before = standin_live_objects();
    ASSERT_GE(before, 0) << "stand-in not loaded";

    auto first = client->enumerate_foreground();
    ASSERT_TRUE(first.has_value()) << first.error().alternate();
    ASSERT_EQ(first->size(), 2u) << testing::PrintToString(*first);
    const long held = standin_live_objects();
    EXPECT_GT(held, before) << "the stored elements hold references";
    IUIAutomationElement* const first_element = client->element(ElementId{0});

    auto second = client->enumerate_foreground();
    ASSERT_TRUE(second.has_value()) << second.error().alternate();
    ASSERT_EQ(second->size(), 2u);
    EXPECT_EQ((*second)[0].id, ElementId{0});
    EXPECT_EQ((*second)[1].id, ElementId{1});
    EXPECT_EQ(standin_live_objects(), held) << "the first enumeration's references were released";
    EXPECT_NE(client->element(ElementId{0}), nullptr);
    (void)first_element;
  }
  // Destroying the client releases the automation object and every stored element.
  EXPECT_EQ(standin_live_objects(), 0);
}

// The one event of an enumeration that found no window.
void expect_only_the_no_foreground_warning(const test_support::LogCapture& capture) {
  ASSERT_EQ(capture.events().size(), 1u);
  EXPECT_EQ(capture.events()[0].message, "no foreground window");
  EXPECT_EQ(capture.events()[0].level, log::Level::Warn);
  EXPECT_EQ(capture.events()[0].target, "vantro::windows");
  EXPECT_TRUE(capture.events()[0].fields.empty());
}

TEST(UiaClient, NoWindowGivesAnEmptyListAndAWarningAndForgetsTheEarlierElements) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app = SampleAppProcess::start(L"--title \"uia none\" button,id=401,text=A");
  ASSERT_TRUE(app.has_value());
  ASSERT_TRUE(app->bring_to_foreground());
  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  auto first = client->enumerate_foreground();
  ASSERT_TRUE(first.has_value()) << first.error().alternate();
  ASSERT_EQ(client->stored_count(), 1u);

  test_support::LogCapture capture;
  auto none = client->enumerate_window(nullptr);
  ASSERT_TRUE(none.has_value()) << none.error().alternate();
  EXPECT_TRUE(none->empty());
  EXPECT_EQ(client->stored_count(), 0u);
  EXPECT_EQ(client->element(ElementId{0}), nullptr) << "ids of the earlier enumeration are invalid";
  expect_only_the_no_foreground_warning(capture);
}

// A client whose foreground query is the test's, over the sample application: started with
// `arguments`, once enumerated so that the client holds its elements. The query gives the
// scripted answers in order (the last one stays) and counts each ask with the number of
// elements the client held at that moment.
class ScriptedForeground {
 public:
  void start(const wchar_t* arguments, std::size_t elements) {
    app_ = SampleAppProcess::start(arguments);
    ASSERT_TRUE(app_.has_value()) << "sample application did not start";
    auto client = UiaClient::create();
    ASSERT_TRUE(client.has_value()) << client.error().alternate();
    client_.emplace(std::move(*client));
    auto earlier = client_->enumerate_window(app_->window());
    ASSERT_TRUE(earlier.has_value()) << earlier.error().alternate();
    ASSERT_EQ(client_->stored_count(), elements);
  }
  void script(std::vector<HWND> answers) {
    answers_ = std::move(answers);
    client_->set_foreground_query([this] {
      held_at_ask_.push_back(client_->stored_count());
      return answers_[std::min(held_at_ask_.size(), answers_.size()) - 1];
    });
  }
  [[nodiscard]] SampleAppProcess& app() { return *app_; }
  [[nodiscard]] UiaClient& client() { return *client_; }
  [[nodiscard]] std::size_t asks() const { return held_at_ask_.size(); }
  [[nodiscard]] const std::vector<std::size_t>& held_at_ask() const { return held_at_ask_; }

 private:
  std::optional<SampleAppProcess> app_;
  std::optional<UiaClient> client_;
  std::vector<HWND> answers_;
  std::vector<std::size_t> held_at_ask_;
};

// The foreground passes from a window that was just destroyed to the next one: for a moment
// the system reports none, and the enumeration waits for it.
TEST(UiaClient, AForegroundThatComesOnTheThirdAskIsWalked) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  ScriptedForeground foreground;
  ASSERT_NO_FATAL_FAILURE(
      foreground.start(L"--title \"uia late\" button,id=601,text=A button,id=602,text=B", 2));
  SampleAppProcess& app = foreground.app();
  foreground.script({nullptr, nullptr, app.window()});
  test_support::LogCapture capture;
  auto list = foreground.client().enumerate_foreground();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();
  const std::vector<ElementInfo> expected = {expected_record(app.control(601), 0, Role::Button),
                                             expected_record(app.control(602), 1, Role::Button)};
  EXPECT_EQ(*list, expected);
  EXPECT_EQ(foreground.asks(), 3u) << "asked again until the window came, then no more";
  EXPECT_EQ(foreground.held_at_ask(), (std::vector<std::size_t>{0, 0, 0}))
      << "the earlier elements are released before the first ask";
  EXPECT_EQ(foreground.client().stored_count(), 2u);
  EXPECT_EQ(capture.find("no foreground window"), nullptr);
}

TEST(UiaClient, NoForegroundThroughoutTheWaitGivesAnEmptyListAndAWarning) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  ScriptedForeground foreground;
  ASSERT_NO_FATAL_FAILURE(foreground.start(L"--title \"uia never\" button,id=701,text=A", 1));
  foreground.script({nullptr});
  test_support::LogCapture capture;
  const auto start = std::chrono::steady_clock::now();
  auto none = foreground.client().enumerate_foreground();
  const auto waited = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(none.has_value()) << none.error().alternate();
  EXPECT_TRUE(none->empty());
  EXPECT_EQ(foreground.client().stored_count(), 0u);
  EXPECT_EQ(foreground.client().element(ElementId{0}), nullptr)
      << "ids of the earlier enumeration are invalid";
  std::printf("[ wait ] no foreground: %zu asks in %.1f ms\n", foreground.asks(),
              std::chrono::duration<double, std::milli>(waited).count());
  // One ask every 10 ms from 0 ms on, the last one once the clock says 100 ms have passed.
  EXPECT_GE(waited, std::chrono::milliseconds(100));
  EXPECT_LT(waited, std::chrono::milliseconds(1000));
  EXPECT_GE(foreground.asks(), 2u);
  EXPECT_LE(foreground.asks(), 11u);
  expect_only_the_no_foreground_warning(capture);
}

TEST(UiaClient, AWindowWithoutElementFailsWithTheRootsContext) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app = SampleAppProcess::start(L"--title \"uia gone\" button,id=501,text=A");
  ASSERT_TRUE(app.has_value());
  ASSERT_TRUE(app->bring_to_foreground());
  const HWND window = app->window();
  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  ASSERT_TRUE(client->enumerate_window(window).has_value());
  ASSERT_EQ(client->stored_count(), 1u);

  app->stop();  // the window is gone: UI Automation has no element for its handle
  ASSERT_FALSE(IsWindow(window));
  auto failed = client->enumerate_window(window);
  ASSERT_FALSE(failed.has_value());
  EXPECT_EQ(failed.error().plain(), "element_from_handle for foreground window failed");
  EXPECT_TRUE(failed.error().alternate().starts_with("element_from_handle for foreground window failed: "))
      << failed.error().alternate();
  EXPECT_EQ(client->stored_count(), 0u) << "the earlier elements are released also on an error";
}

TEST(UiaClient, LogsNothingOfTheCountWhenDebugIsOff) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app = SampleAppProcess::start(L"--title \"uia quiet\" button,id=301,text=A");
  ASSERT_TRUE(app.has_value());
  ASSERT_TRUE(app->bring_to_foreground());
  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  test_support::LogCapture capture(log::Level::Info);
  auto list = client->enumerate_foreground();
  ASSERT_TRUE(list.has_value()) << list.error().alternate();
  EXPECT_EQ(list->size(), 1u);
  EXPECT_TRUE(capture.events().empty());
}

TEST(UiaClient, FiveHundredButtonsAreCollectedAndTimed) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app =
      SampleAppProcess::start(L"--title \"uia grid\" --pos 0,0 --size 1200,760 grid,id=1000,count=500");
  ASSERT_TRUE(app.has_value());
  ASSERT_TRUE(app->bring_to_foreground());
  auto client = UiaClient::create();
  ASSERT_TRUE(client.has_value()) << client.error().alternate();
  const auto start = std::chrono::steady_clock::now();
  auto list = client->enumerate_foreground();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(list.has_value()) << list.error().alternate();
  std::printf("[ perf ] enumerate_foreground over 500 buttons: %zu collected in %.1f ms\n", list->size(),
              std::chrono::duration<double, std::milli>(elapsed).count());
  EXPECT_EQ(list->size(), 500u);
  for (std::size_t i = 0; i < list->size(); ++i) ASSERT_EQ((*list)[i].id, ElementId{i});
}

TEST(UiaClient, AWalkStopsAtTheElementLimitOfItsWindowKind) {
  REQUIRE_AUTOMATION_SERVER();
  if (!sample_app_built()) GTEST_SKIP() << "sample application not built";
  HOLD_FOREGROUND();
  for (const WindowKind& kind : kWindowKinds) {
    SCOPED_TRACE(kind.name);
    // A hundred buttons more than the limit, all children of the window.
    const std::size_t buttons = kind.element_limit + 100;
    KindEnumeration walk;
    ASSERT_NO_FATAL_FAILURE(walk.run(
        kind,
        L"--title \"uia cap\" --pos 0,0 --size 1200,760 grid,id=1000,count=" + std::to_wstring(buttons)));
    // The first ones in walk order: the browser rule takes the window itself first.
    std::vector<ElementInfo> expected;
    if (kind.browser) expected.push_back(expected_record(walk.app().window(), 0, Role::Button));
    for (int id = 1000; expected.size() < kind.element_limit; ++id)
      expected.push_back(expected_record(walk.control(id), expected.size(), Role::Button));
    EXPECT_EQ(walk.list().size(), kind.element_limit);
    EXPECT_EQ(walk.list(), expected);
    EXPECT_EQ(walk.field("collected"), std::to_string(kind.element_limit));
    EXPECT_EQ(walk.field("hit_element_cap"), "true");
    EXPECT_EQ(walk.field("hit_depth_cap"), "false");
    walk.expect_wake_up(kind, buttons);
  }
}

TEST(UiaClient, AWalkStopsAtTheDepthLimitOfItsWindowKind) {
  REQUIRE_AUTOMATION_SERVER();
  if (!sample_app_built()) GTEST_SKIP() << "sample application not built";
  HOLD_FOREGROUND();
  for (const WindowKind& kind : kWindowKinds) {
    SCOPED_TRACE(kind.name);
    // Group boxes nested down to the depth limit (the window is depth 0, group 2000 + d is at
    // depth d), a button at the limit and one a level below it.
    const int limit = static_cast<int>(kind.depth_limit);
    std::wstring arguments = L"--title \"uia depth\" --pos 0,0 --size 1200,760";
    for (int depth = 1; depth <= limit; ++depth)
      arguments += L" group,id=" + std::to_wstring(2000 + depth) + L",x=4,y=4,parent=" +
                   std::to_wstring(depth == 1 ? 0 : 2000 + depth - 1);
    arguments += L" button,id=1,text=Edge,parent=" + std::to_wstring(2000 + limit - 1) +
                 L" button,id=2,text=Below,parent=" + std::to_wstring(2000 + limit);
    KindEnumeration walk;
    ASSERT_NO_FATAL_FAILURE(walk.run(kind, arguments));
    std::vector<ElementInfo> expected;
    if (kind.browser) expected.push_back(expected_record(walk.app().window(), 0, Role::Button));
    expected.push_back(expected_record(walk.control(1), expected.size(), Role::Button));
    EXPECT_EQ(walk.list(), expected);
    EXPECT_EQ(walk.field("max_depth"), std::to_string(kind.depth_limit));
    EXPECT_EQ(walk.field("hit_depth_cap"), "true");
    EXPECT_EQ(walk.field("hit_element_cap"), "false");
    walk.expect_wake_up(kind, kind.depth_limit + 2);
  }
}

TEST(UiaClient, HundredEnumerationsLeaveTheLiveObjectCountWhereItStarted) {
  REQUIRE_AUTOMATION_SERVER();
  HOLD_FOREGROUND();
  auto app = SampleAppProcess::start(
      L"--title \"uia leak\" button,id=401,text=A checkbox,id=402,text=B edit,id=403");
  ASSERT_TRUE(app.has_value()) << "sample application did not start";
  ASSERT_TRUE(app->bring_to_foreground());
  {
    auto client = UiaClient::create();
    ASSERT_TRUE(client.has_value()) << client.error().alternate();
    auto first = client->enumerate_foreground();
    ASSERT_TRUE(first.has_value()) << first.error().alternate();
    ASSERT_EQ(first->size(), 3u) << testing::PrintToString(*first);
    // After one enumeration the client holds its automation object and the stored elements.
    const long steady = standin_live_objects();
    ASSERT_GT(steady, 0) << "stand-in not loaded";
    for (int run = 0; run < 100; ++run) {
      SCOPED_TRACE(run);
      auto list = client->enumerate_foreground();
      ASSERT_TRUE(list.has_value()) << list.error().alternate();
      ASSERT_EQ(list->size(), 3u);
      ASSERT_EQ(standin_live_objects(), steady) << "an enumeration left a COM object alive";
    }
  }
  EXPECT_EQ(standin_live_objects(), 0);
}

}  // namespace
}  // namespace vantro::windows
