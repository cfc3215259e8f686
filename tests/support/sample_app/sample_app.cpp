// A target application for the UI Automation and activation tests: one window whose standard
// controls come from the command line, and one line on standard output per WM_COMMAND.
//
//   vantro_sample_app.exe [--title TEXT] [--pos X,Y] [--size W,H] [--timeout-ms N]
//                         [--record-getobject] [--file DESCRIPTION] [CONTROL ...]
//
// A CONTROL (an argument, or a line of the description file; '#' starts a comment line) is a
// kind followed by comma-separated attributes:
//
//   button | checkbox | radio | edit | label | combo | list | tree | group | pane | grid
//   id=N  text=T  x=N  y=N  w=N  h=N  (position relative to the parent's client area)
//   parent=N  (the id of a group or pane the control is created in; nested groups give depth)
//   hidden  disabled  notab  fail=invoke+toggle+select+expand+default+point|all
//   count=N  (grid only: N push buttons with ids id, id+1, ...)
//
// Controls without x/y are stacked top to bottom in their parent. The window is shown without
// being activated. Output lines:
//   ready hwnd=0x<top-level window>
//   command id=<control id> code=<notification code>
// With --record-getobject the application keeps every WM_GETOBJECT that any of its windows
// receives and reports them when asked (sample_app/getobject_report.h).
// The application closes on WM_CLOSE, or by itself after --timeout-ms (default 300000).
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "sample_app/getobject_report.h"
#include "uia_standin/standin_api.h"

namespace {

namespace standin = vantro::test_support::uia_standin;
namespace getobject_report = vantro::test_support::sample_app;

constexpr wchar_t kWindowClass[] = L"VantroSampleAppWindow";
constexpr wchar_t kPaneClass[] = L"VantroSamplePane";
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr int kRowGap = 6;
constexpr int kGroupTop = 20;
constexpr int kMargin = 10;

struct Control {
  std::wstring kind;
  int id = 0;
  std::wstring text;
  std::optional<int> x, y, w, h;
  int parent = 0;
  bool hidden = false;
  bool disabled = false;
  bool tab_stop = true;
  std::uintptr_t failures = 0;
  int count = 0;
};

struct Options {
  std::wstring title = L"vantro sample";
  int x = 40, y = 40, width = 560, height = 480;
  UINT timeout_ms = 300000;
  bool record_getobject = false;
  std::vector<Control> controls;
};

// Straight to the handle, unbuffered, so every line is out when the call returns. No
// FlushFileBuffers: on a pipe it waits until the reader has drained it, which would deadlock a
// test that is itself waiting for the message that made this line.
void write_line(const std::string& line) {
  const std::string text = line + "\n";
  DWORD written = 0;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE) {
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

void fail_usage(const std::wstring& message) {
  std::string narrow;
  for (wchar_t c : message) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  const std::string text = "vantro_sample_app: " + narrow + "\n";
  DWORD written = 0;
  if (err != nullptr && err != INVALID_HANDLE_VALUE)
    WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ExitProcess(2);
}

std::vector<std::wstring> split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) return parts;
    start = end + 1;
  }
}

int to_int(const std::wstring& text) {
  wchar_t* end = nullptr;
  const long value = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || end == nullptr || *end != L'\0') fail_usage(L"not a number: " + text);
  return static_cast<int>(value);
}

std::uintptr_t parse_failures(const std::wstring& text) {
  static const std::map<std::wstring, std::uintptr_t> names = {
      {L"invoke", standin::kFailInvoke},
      {L"toggle", standin::kFailToggle},
      {L"select", standin::kFailSelect},
      {L"expand", standin::kFailExpand},
      {L"default", standin::kFailDefaultAction},
      {L"point", standin::kNoClickablePoint},
      {L"all", standin::kFailEveryPattern | standin::kNoClickablePoint},
  };
  std::uintptr_t bits = 0;
  for (const std::wstring& name : split(text, L'+')) {
    const auto found = names.find(name);
    if (found == names.end()) fail_usage(L"unknown failure: " + name);
    bits |= found->second;
  }
  return bits;
}

Control parse_control(const std::wstring& text) {
  const std::vector<std::wstring> parts = split(text, L',');
  Control control;
  control.kind = parts.front();
  static const wchar_t* const kinds[] = {L"button", L"checkbox", L"radio", L"edit", L"label", L"combo",
                                         L"list",   L"tree",     L"group", L"pane", L"grid"};
  bool known = false;
  for (const wchar_t* kind : kinds) known = known || control.kind == kind;
  if (!known) fail_usage(L"unknown control kind: " + control.kind);
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::wstring& part = parts[i];
    const std::size_t equals = part.find(L'=');
    const std::wstring key = part.substr(0, equals);
    const std::wstring value = equals == std::wstring::npos ? L"" : part.substr(equals + 1);
    if (key == L"id")
      control.id = to_int(value);
    else if (key == L"text")
      control.text = value;
    else if (key == L"x")
      control.x = to_int(value);
    else if (key == L"y")
      control.y = to_int(value);
    else if (key == L"w")
      control.w = to_int(value);
    else if (key == L"h")
      control.h = to_int(value);
    else if (key == L"parent")
      control.parent = to_int(value);
    else if (key == L"count")
      control.count = to_int(value);
    else if (key == L"fail")
      control.failures = parse_failures(value);
    else if (key == L"hidden")
      control.hidden = true;
    else if (key == L"disabled")
      control.disabled = true;
    else if (key == L"notab")
      control.tab_stop = false;
    else
      fail_usage(L"unknown attribute: " + key);
  }
  return control;
}

void read_description(const std::wstring& path, Options& options) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) fail_usage(L"cannot open " + path);
  std::string content;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  std::fclose(file);
  for (const std::wstring& raw : split(std::wstring(content.begin(), content.end()), L'\n')) {
    std::wstring line = raw;
    while (!line.empty() && (line.back() == L'\r' || line.back() == L' ')) line.pop_back();
    if (line.empty() || line.front() == L'#') continue;
    options.controls.push_back(parse_control(line));
  }
}

std::pair<int, int> parse_pair(const std::wstring& text) {
  const std::vector<std::wstring> parts = split(text, L',');
  if (parts.size() != 2) fail_usage(L"expected two numbers: " + text);
  return {to_int(parts[0]), to_int(parts[1])};
}

Options parse_command_line() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const auto value = [&]() -> std::wstring {
      if (i + 1 >= argc) fail_usage(arg + L" needs a value");
      return argv[++i];
    };
    if (arg == L"--title")
      options.title = value();
    else if (arg == L"--pos")
      std::tie(options.x, options.y) = parse_pair(value());
    else if (arg == L"--size")
      std::tie(options.width, options.height) = parse_pair(value());
    else if (arg == L"--timeout-ms")
      options.timeout_ms = static_cast<UINT>(to_int(value()));
    else if (arg == L"--record-getobject")
      options.record_getobject = true;
    else if (arg == L"--file")
      read_description(value(), options);
    else
      options.controls.push_back(parse_control(arg));
  }
  LocalFree(argv);
  if (options.controls.empty()) {
    for (const wchar_t* control :
         {L"button,id=101,text=OK", L"checkbox,id=102,text=Remember", L"radio,id=103,text=One",
          L"radio,id=104,text=Two", L"edit,id=105,text=Edit me", L"button,id=106,text=Disabled,disabled",
          L"button,id=107,text=Hidden,hidden", L"group,id=200,text=Outer",
          L"group,id=201,text=Inner,parent=200", L"button,id=202,text=Deep,parent=201"})
      options.controls.push_back(parse_control(control));
  }
  return options;
}

// Child controls of a group box notify the group box; the sample forwards them to the window
// so that every control's WM_COMMAND is printed.
WNDPROC g_group_proc = nullptr;
HWND g_main = nullptr;

LRESULT CALLBACK container_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_COMMAND || msg == WM_NOTIFY) return SendMessageW(g_main, msg, wp, lp);
  if (g_group_proc != nullptr && GetWindowLongPtrW(hwnd, GWLP_USERDATA) == 1)
    return CallWindowProcW(g_group_proc, hwnd, msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// WM_GETOBJECT messages received by any window of this thread, in order, since the last
// report. A thread hook sees them before the window procedure of every control, standard
// classes included.
struct ReceivedGetObject {
  HWND window;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<ReceivedGetObject> g_received_getobject;

LRESULT CALLBACK record_getobject(int code, WPARAM wp, LPARAM lp) noexcept {
  if (code == HC_ACTION) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (message->message == WM_GETOBJECT)
      g_received_getobject.push_back({message->hwnd, message->wParam, message->lParam});
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

void report_getobject() {
  char line[128];
  for (const ReceivedGetObject& received : g_received_getobject) {
    std::snprintf(line, sizeof line, "%shwnd=0x%llx wparam=%llu lparam=%lld",
                  getobject_report::kGetObjectLinePrefix,
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(received.window)),
                  static_cast<unsigned long long>(received.wparam), static_cast<long long>(received.lparam));
    write_line(line);
  }
  std::snprintf(line, sizeof line, "%s%zu", getobject_report::kGetObjectEndPrefix,
                g_received_getobject.size());
  write_line(line);
  g_received_getobject.clear();
}

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  switch (msg) {
    case getobject_report::kReportGetObjectMessage:
      report_getobject();
      return 0;
    case WM_COMMAND:
      if (lp != 0) {
        char line[64];
        std::snprintf(line, sizeof line, "command id=%u code=%u", static_cast<unsigned>(LOWORD(wp)),
                      static_cast<unsigned>(HIWORD(wp)));
        write_line(line);
      }
      return 0;
    case WM_TIMER:
      if (wp == kTimeoutTimer) DestroyWindow(hwnd);
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

struct Created {
  HWND window;
  int next_y;  // where the next stacked child of this container goes
  int width;
};

class Builder {
 public:
  explicit Builder(HWND main) {
    RECT client{};
    GetClientRect(main, &client);
    containers_[0] = Created{main, kMargin, client.right};
  }

  void add(const Control& control) {
    const auto parent = containers_.find(control.parent);
    if (parent == containers_.end()) fail_usage(L"unknown parent id " + std::to_wstring(control.parent));
    if (control.kind == L"grid") return add_grid(control, parent->second);
    Created& into = parent->second;
    const bool container = control.kind == L"group" || control.kind == L"pane";
    const int default_height = container ? 150 : control.kind == L"list" || control.kind == L"tree" ? 60 : 24;
    const int x = control.x.value_or(kMargin);
    const int y = control.y.value_or(into.next_y);
    const int w = control.w.value_or(container ? into.width - x - kMargin : 160);
    const int h = control.h.value_or(default_height);
    HWND window = create(control, into.window, x, y, w, h);
    if (!control.y) into.next_y = y + h + kRowGap;
    if (container)
      containers_[control.id] = Created{window, control.kind == L"group" ? kGroupTop : kMargin, w};
  }

 private:
  HWND create(const Control& control, HWND parent, int x, int y, int w, int h) {
    DWORD style = WS_CHILD | (control.hidden ? 0 : WS_VISIBLE) | (control.disabled ? WS_DISABLED : 0);
    DWORD ex_style = 0;
    const wchar_t* window_class = L"Button";
    const bool focusable = control.tab_stop;
    if (control.kind == L"button")
      style |= BS_PUSHBUTTON | (focusable ? WS_TABSTOP : 0);
    else if (control.kind == L"checkbox")
      style |= BS_AUTOCHECKBOX | (focusable ? WS_TABSTOP : 0);
    else if (control.kind == L"radio")
      style |= BS_AUTORADIOBUTTON | (focusable ? WS_TABSTOP : 0);
    else if (control.kind == L"group")
      style |= BS_GROUPBOX;
    else if (control.kind == L"edit") {
      window_class = L"Edit";
      style |= ES_AUTOHSCROLL | WS_BORDER | (focusable ? WS_TABSTOP : 0);
    } else if (control.kind == L"label")
      window_class = L"Static";
    else if (control.kind == L"combo") {
      window_class = L"ComboBox";
      style |= CBS_DROPDOWNLIST | WS_VSCROLL | (focusable ? WS_TABSTOP : 0);
      h = std::max(h, 120);  // the height of a combo box includes its drop-down list
    } else if (control.kind == L"list") {
      window_class = L"ListBox";
      style |= LBS_NOTIFY | WS_BORDER | (focusable ? WS_TABSTOP : 0);
    } else if (control.kind == L"tree") {
      window_class = WC_TREEVIEWW;
      style |= WS_BORDER | (focusable ? WS_TABSTOP : 0);
    } else if (control.kind == L"pane") {
      window_class = kPaneClass;
      ex_style = WS_EX_CONTROLPARENT;
    }
    HWND window = CreateWindowExW(ex_style, window_class, control.text.c_str(), style, x, y, w, h, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) fail_usage(L"creating control " + std::to_wstring(control.id) + L" failed");
    if (control.failures != 0)
      SetPropW(window, standin::kFailureProperty, reinterpret_cast<HANDLE>(control.failures));
    if (control.kind == L"group") {
      g_group_proc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(container_proc)));
      SetWindowLongPtrW(window, GWLP_USERDATA, 1);
    }
    if (control.kind == L"combo") {
      for (const wchar_t* item : {L"One", L"Two", L"Three"})
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    } else if (control.kind == L"list") {
      for (const wchar_t* item : {L"Alpha", L"Beta", L"Gamma"})
        SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    return window;
  }

  void add_grid(const Control& grid, Created& into) {
    constexpr int kCellWidth = 44, kCellHeight = 22, kColumns = 10;
    const int left = grid.x.value_or(kMargin);
    const int top = grid.y.value_or(into.next_y);
    for (int i = 0; i < grid.count; ++i) {
      Control cell = grid;
      cell.kind = L"button";
      cell.id = grid.id + i;
      cell.text = L"B" + std::to_wstring(i);
      create(cell, into.window, left + (i % kColumns) * (kCellWidth + 2),
             top + (i / kColumns) * (kCellHeight + 2), kCellWidth, kCellHeight);
    }
    const int rows = (grid.count + kColumns - 1) / kColumns;
    if (!grid.y) into.next_y = top + rows * (kCellHeight + 2) + kRowGap;
  }

  std::map<int, Created> containers_;
};

bool register_classes(HINSTANCE instance) {
  WNDCLASSEXW main_class{sizeof(main_class)};
  main_class.lpfnWndProc = main_proc;
  main_class.hInstance = instance;
  main_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main_class.lpszClassName = kWindowClass;
  WNDCLASSEXW pane_class = main_class;
  pane_class.lpfnWndProc = container_proc;
  pane_class.lpszClassName = kPaneClass;
  return RegisterClassExW(&main_class) != 0 && RegisterClassExW(&pane_class) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const Options options = parse_command_line();
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&common);
  if (!register_classes(instance)) fail_usage(L"RegisterClassExW failed");
  g_main = CreateWindowExW(0, kWindowClass, options.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           options.x, options.y, options.width, options.height, nullptr, nullptr, instance,
                           nullptr);
  if (g_main == nullptr) fail_usage(L"CreateWindowExW failed");
  Builder builder(g_main);
  for (const Control& control : options.controls) builder.add(control);
  // Shown without taking the activation: tests run in parallel in one desktop, and a test that
  // needs the foreground brings its own window there.
  ShowWindow(g_main, SW_SHOWNOACTIVATE);
  UpdateWindow(g_main);
  SetTimer(g_main, kTimeoutTimer, options.timeout_ms, nullptr);
  if (options.record_getobject &&
      SetWindowsHookExW(WH_CALLWNDPROC, record_getobject, nullptr, GetCurrentThreadId()) == nullptr)
    fail_usage(L"SetWindowsHookExW failed");
  char line[64];
  std::snprintf(line, sizeof line, "ready hwnd=0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(g_main)));
  write_line(line);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(g_main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
