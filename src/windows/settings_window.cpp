#include "windows/settings_window.h"

#include <windows.h>

#include <memory>
#include <string>

#include <fmt/format.h>

#include "config/config_file.h"
#include "settings/settings_rules.h"
#include "windows/notification.h"
#include "windows/startup_registration.h"
#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr wchar_t kClassName[] = L"VantroSettingsWindow";
constexpr wchar_t kTitle[] = L"vantro Settings";
constexpr int kWindowWidth = 520;
constexpr int kWindowHeight = 640;

constexpr int kPickElementId = 1001;
constexpr int kPickWindowId = 1002;
constexpr int kAlphabetId = 1003;
constexpr int kElementFillId = 1004;
constexpr int kWindowFillId = 1005;
constexpr int kLaunchAtStartupId = 1006;
constexpr int kElementOpacityId = 1007;
constexpr int kWindowOpacityId = 1008;
constexpr int kDrawLeadersId = 1009;
constexpr int kSaveId = 1100;
constexpr int kCancelId = 1101;
constexpr int kResetId = 1102;

constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kCheckboxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

// The window's controls and outcome; a control whose creation failed has a null handle.
struct SettingsState {
  HWND pick_element = nullptr;
  HWND pick_window = nullptr;
  HWND alphabet = nullptr;
  HWND element_fill = nullptr;
  HWND window_fill = nullptr;
  HWND element_opacity = nullptr;
  HWND window_opacity = nullptr;
  HWND draw_leaders = nullptr;
  HWND launch_at_startup = nullptr;
  // The record the window was opened with: the source of the colour fields the window does
  // not show when the file cannot be read at Save.
  config::Config opened_with;
  bool saved = false;
  bool destroyed = false;
};

// The state of the open window; the window procedure reaches it only through this slot.
thread_local std::unique_ptr<SettingsState> t_state;

HWND create_control(HWND parent, HINSTANCE instance, const wchar_t* class_name, const std::wstring& text,
                    int id, int x, int y, int width, int height, DWORD style) {
  return CreateWindowExW(0, class_name, text.c_str(), style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void create_label(HWND parent, HINSTANCE instance, const wchar_t* text, int y, int width) {
  (void)create_control(parent, instance, L"STATIC", text, 0, 14, y, width, 20, kStaticStyle);
}

HWND create_edit(HWND parent, HINSTANCE instance, const std::string& text, int id, int y) {
  return create_control(parent, instance, L"EDIT", wide(text), id, 170, y, 320, 24, kEditStyle);
}

HWND create_checkbox(HWND parent, HINSTANCE instance, const wchar_t* label, bool ticked, int id, int y) {
  HWND checkbox = create_control(parent, instance, L"BUTTON", label, id, 14, y, 492, 24, kCheckboxStyle);
  if (checkbox != nullptr && ticked) SendMessageW(checkbox, BM_SETCHECK, BST_CHECKED, 0);
  return checkbox;
}

std::string read_edit_text(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, buffer.data(), length + 1);
  return narrow(std::wstring_view(buffer.data(), static_cast<std::size_t>(std::max(copied, 0))));
}

bool is_ticked(HWND checkbox) {
  return SendMessageW(checkbox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Creates the controls in their fixed order and returns the state that holds them.
std::unique_ptr<SettingsState> create_controls(HWND window, HINSTANCE instance,
                                               const config::Config& config) {
  auto state = std::make_unique<SettingsState>();
  state->opened_with = config;
  const settings::SettingsEntries shown = settings::initial_entries(config, std::nullopt);

  create_label(window, instance, L"Hotkeys", 14, 492);
  create_label(window, instance, L"Pick element:", 40, 140);
  state->pick_element = create_edit(window, instance, shown.pick_element, kPickElementId, 36);
  create_label(window, instance, L"Pick window:", 70, 140);
  state->pick_window = create_edit(window, instance, shown.pick_window, kPickWindowId, 66);
  create_label(window, instance, L"Hints", 110, 492);
  create_label(window, instance, L"Alphabet:", 136, 140);
  state->alphabet = create_edit(window, instance, shown.alphabet, kAlphabetId, 132);
  create_label(window, instance, L"Colors (#RRGGBB)", 176, 492);
  create_label(window, instance, L"Element badge bg:", 202, 140);
  state->element_fill = create_edit(window, instance, shown.element_fill, kElementFillId, 198);
  create_label(window, instance, L"Window badge bg:", 232, 140);
  state->window_fill = create_edit(window, instance, shown.window_fill, kWindowFillId, 228);
  create_label(window, instance, L"Opacity (0-100, 0 = preset default)", 272, 492);
  create_label(window, instance, L"Element opacity:", 298, 140);
  state->element_opacity = create_edit(window, instance, shown.element_opacity, kElementOpacityId, 294);
  create_label(window, instance, L"Window opacity:", 328, 140);
  state->window_opacity = create_edit(window, instance, shown.window_opacity, kWindowOpacityId, 324);
  state->draw_leaders = create_checkbox(window, instance, L"Draw arrow from each badge to its target element",
                                        shown.draw_leaders, kDrawLeadersId, 368);

  // A failed query is dropped: the checkbox then shows the configured choice.
  const auto registered = is_startup_registered();
  const bool launch = registered ? *registered : config.startup.launch_at_startup;
  state->launch_at_startup =
      create_checkbox(window, instance, L"Launch vantro at Windows startup", launch, kLaunchAtStartupId, 412);

  (void)create_control(window, instance, L"BUTTON", L"Save", kSaveId, 14, 470, 120, 30,
                       kButtonStyle | BS_DEFPUSHBUTTON);
  (void)create_control(window, instance, L"BUTTON", L"Cancel", kCancelId, 144, 470, 120, 30,
                       kButtonStyle | BS_PUSHBUTTON);
  (void)create_control(window, instance, L"BUTTON", L"Reset to Defaults", kResetId, 274, 470, 120, 30,
                       kButtonStyle | BS_PUSHBUTTON);
  return state;
}

void save(HWND window) {
  if (!t_state) return;
  settings::SettingsEntries entries;
  config::Config carried;
  {
    const SettingsState& state = *t_state;
    entries.pick_element = read_edit_text(state.pick_element);
    entries.pick_window = read_edit_text(state.pick_window);
    entries.alphabet = read_edit_text(state.alphabet);
    entries.element_fill = read_edit_text(state.element_fill);
    entries.window_fill = read_edit_text(state.window_fill);
    entries.element_opacity = read_edit_text(state.element_opacity);
    entries.window_opacity = read_edit_text(state.window_opacity);
    entries.draw_leaders = is_ticked(state.draw_leaders);
    entries.launch_at_startup = is_ticked(state.launch_at_startup);
    carried = state.opened_with;
  }
  // The colour fields the window does not show come from the file as it is now, so that hand
  // edits made since the program started survive.
  if (auto on_disk = config::load_config(); on_disk && *on_disk) carried = std::move(**on_disk);
  const config::Config updated = settings::build_config(entries, carried);

  if (auto valid = settings::validate(updated); !valid) {
    notify("Invalid settings", settings::invalid_settings_body(valid.error()), NotificationLevel::Error);
    return;
  }
  if (auto written = config::save_config(updated); !written) {
    notify("Failed to save config", written.error().plain(), NotificationLevel::Error);
    return;
  }
  if (auto registered = set_startup_registration(entries.launch_at_startup); !registered) {
    notify("Couldn't update Windows startup",
           fmt::format("Settings were saved, but the startup registry update failed:\n{}",
                       registered.error().plain()),
           NotificationLevel::Warning);
  }
  if (t_state) t_state->saved = true;
  DestroyWindow(window);
}

void reset(HWND window) {
  if (auto deleted = config::delete_config(); !deleted) {
    notify("Couldn't reset config", deleted.error().plain(), NotificationLevel::Error);
    return;
  }
  if (auto removed = set_startup_registration(false); !removed) {
    notify("Reset partially complete",
           fmt::format("Config was deleted, but disabling startup failed:\n{}", removed.error().plain()),
           NotificationLevel::Warning);
  }
  notify("Settings reset", "Config file deleted. Defaults will apply on next launch.",
         NotificationLevel::Info);
  DestroyWindow(window);
}

LRESULT CALLBACK settings_wnd_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_DESTROY:
      // Ends the window's loop in open_settings, which looks at this flag after every message.
      if (t_state) t_state->destroyed = true;
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) != 0) return 0;
      switch (LOWORD(wparam)) {
        case kSaveId:
          save(window);
          break;
        case kCancelId:
          DestroyWindow(window);
          break;
        case kResetId:
          reset(window);
          break;
        default:
          break;
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

Error creation_error() {
  if (GetLastError() == ERROR_SUCCESS)
    return Error("the settings window could not be created (no error code)");
  return last_error();
}

}  // namespace

Result<bool> open_settings(const config::Config& config) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (instance == nullptr) return fail(last_error());
  const HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
  if (cursor == nullptr) return fail(last_error());

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = settings_wnd_proc;
  window_class.hInstance = instance;
  window_class.hCursor = cursor;
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = kClassName;
  (void)RegisterClassExW(&window_class);

  SetLastError(ERROR_SUCCESS);
  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, kTitle, WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return fail(creation_error());

  t_state = create_controls(window, instance, config);
  ShowWindow(window, SW_SHOW);

  // Every message of the thread, without dialog processing, until the window is destroyed. A
  // quit request that arrives meanwhile was meant for the main loop: the window is closed and
  // the request posted again once everything here is released.
  std::optional<int> quit_request;
  MSG msg;
  while (t_state && !t_state->destroyed && IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit_request = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (IsWindow(window) && !(t_state && t_state->destroyed)) DestroyWindow(window);

  const std::unique_ptr<SettingsState> state = std::move(t_state);
  const bool saved = state && state->saved && !quit_request;
  (void)UnregisterClassW(kClassName, instance);
  if (quit_request) PostQuitMessage(*quit_request);
  return saved;
}

}  // namespace vantro::windows
