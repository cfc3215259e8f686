#include "windows/window_picker.h"

#include <dwmapi.h>

#include <iterator>
#include <variant>

#include "logging/log.h"
#include "overlay/geometry.h"
#include "overlay/overlay_target.h"
#include "windows/overlay_window.h"
#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kLogTarget = "vantro::windows::window_picker";
constexpr int kClassNameBuffer = 256;
constexpr int kTitleBuffer = 512;
constexpr DWORD kRestoreSettleMs = 50;
// Windows are always labelled over this alphabet, whatever the configuration holds.
constexpr std::string_view kWindowAlphabet = "asdfghjkl";

struct EnumerationState {
  std::vector<WindowInfo> windows;
  std::uint64_t total = 0;
};

picking::WindowHandle handle(HWND hwnd) {
  return {reinterpret_cast<std::uintptr_t>(hwnd)};
}

std::string read_text(HWND hwnd, int (*read)(HWND, LPWSTR, int) noexcept, int capacity) {
  std::wstring buffer(static_cast<std::size_t>(capacity), L'\0');
  const int n = read(hwnd, buffer.data(), capacity);
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return narrow(buffer);  // unpaired surrogates become U+FFFD
}

int class_name_of(HWND hwnd, LPWSTR out, int capacity) noexcept {
  return GetClassNameW(hwnd, out, capacity);
}
int title_of(HWND hwnd, LPWSTR out, int capacity) noexcept {
  return GetWindowTextW(hwnd, out, capacity);
}

picking::WindowFacts gather_facts(HWND hwnd) {
  picking::WindowFacts facts;
  facts.hwnd = handle(hwnd);
  facts.visible = IsWindowVisible(hwnd) != FALSE;
  if (!facts.visible) return facts;  // the first filter decides; nothing else is read
  DWORD cloaked = 0;
  if (FAILED(DwmGetWindowAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof(cloaked)))) cloaked = 0;
  facts.cloaked = cloaked;
  facts.root_owner_is_self = GetAncestor(hwnd, GA_ROOTOWNER) == hwnd;
  facts.ex_style = static_cast<std::uint64_t>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  facts.class_name = read_text(hwnd, class_name_of, kClassNameBuffer);
  facts.title = read_text(hwnd, title_of, kTitleBuffer);
  facts.minimized = IsIconic(hwnd) != FALSE;
  if (!facts.minimized) facts.frame = window_frame_rect(hwnd);
  return facts;
}

}  // namespace

BOOL CALLBACK enum_windows_callback(HWND hwnd, LPARAM lparam) noexcept {
  auto& state = *reinterpret_cast<EnumerationState*>(lparam);
  ++state.total;
  picking::WindowFacts facts = gather_facts(hwnd);
  const picking::WindowDecision decision = picking::decide_window(facts);
  if (const auto* listed = std::get_if<picking::Listed>(&decision)) {
    state.windows.push_back({hwnd, std::move(facts.title), listed->rect.x, listed->rect.y, listed->rect.width,
                             listed->rect.height});
  }
  return TRUE;
}

std::optional<picking::FrameRect> window_frame_rect(HWND hwnd) noexcept {
  RECT r{};
  if (FAILED(DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof(r))) &&
      !GetWindowRect(hwnd, &r))
    return std::nullopt;
  return picking::FrameRect{r.left, r.top, overlay::sat_sub(r.right, r.left),
                            overlay::sat_sub(r.bottom, r.top)};
}

Result<std::vector<WindowInfo>> enumerate_visible() {
  EnumerationState state;
  state.windows.reserve(32);
  if (!EnumWindows(enum_windows_callback, reinterpret_cast<LPARAM>(&state)))
    return std::unexpected(last_error("EnumWindows failed"));
  const std::uint64_t found = state.windows.size();
  VANTRO_LOG(log::Level::Debug, kLogTarget, "enumerate_visible complete", log::display("found", found),
             log::display("total", state.total), log::display("filtered", state.total - found));
  return std::move(state.windows);
}

Result<std::optional<WindowInfo>> show_window_picker(std::vector<WindowInfo> windows,
                                                     const overlay::OverlayStyle& style) {
  const hint::HintGenerator hints(kWindowAlphabet);
  return run_window_overlay(std::move(windows), hints, style);
}

Result<std::optional<WindowInfo>> run_window_overlay(std::vector<WindowInfo> windows,
                                                     const hint::HintGenerator& hints,
                                                     const overlay::OverlayStyle& style) {
  if (windows.empty()) return std::nullopt;
  const std::vector<std::string> labels = hints.generate(windows.size());
  std::vector<overlay::OverlayTarget> targets;
  targets.reserve(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const WindowInfo& w = windows[i];
    targets.push_back({labels[i], w.title, w.x, w.y, w.width, w.height});
  }
  auto chosen = run_overlay(targets, style);
  if (!chosen) return std::unexpected(std::move(chosen.error()));
  if (!*chosen) return std::nullopt;
  return std::move(windows[**chosen]);
}

Result<void> focus_window(HWND hwnd) {
  if (IsIconic(hwnd)) {
    VANTRO_LOG(log::Level::Debug, kLogTarget, "restoring minimized window", log::debug("hwnd", handle(hwnd)));
    ShowWindow(hwnd, SW_RESTORE);
    Sleep(kRestoreSettleMs);
  }
  if (SetForegroundWindow(hwnd)) {
    VANTRO_LOG(log::Level::Debug, kLogTarget, "window focused successfully",
               log::debug("hwnd", handle(hwnd)));
  } else {
    VANTRO_LOG(log::Level::Warn, kLogTarget, "SetForegroundWindow returned false",
               log::debug("hwnd", handle(hwnd)));
  }
  return {};
}

}  // namespace vantro::windows
