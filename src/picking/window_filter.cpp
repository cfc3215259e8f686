#include "picking/window_filter.h"

#include <array>
#include <string_view>

#include <fmt/format.h>

#include "logging/log.h"

namespace vantro::picking {
namespace {

constexpr std::string_view kLogTarget = "vantro::windows::window_picker";
constexpr std::array<std::string_view, 3> kShellClasses{"Shell_TrayWnd", "Progman", "WorkerW"};

bool is_shell_class(std::string_view name) {
  for (const auto shell : kShellClasses)
    if (name == shell) return true;
  return false;
}

}  // namespace

std::string debug_text(WindowHandle hwnd) {
  return fmt::format("HWND(0x{:x})", hwnd.value);
}

WindowDecision decide_window(const WindowFacts& f) {
  if (!f.visible) return Skipped{SkipReason::NotVisible};
  if (f.cloaked != 0) {
    VANTRO_LOG(log::Level::Trace, kLogTarget, "skipped: cloaked window", log::debug("hwnd", f.hwnd),
               log::display("cloaked", f.cloaked));
    return Skipped{SkipReason::Cloaked};
  }
  if (!f.root_owner_is_self) return Skipped{SkipReason::Owned};
  if ((f.ex_style & kToolWindowStyle) != 0) return Skipped{SkipReason::ToolWindow};
  if (is_shell_class(f.class_name)) {
    VANTRO_LOG(log::Level::Trace, kLogTarget, "skipped: shell class", log::debug("hwnd", f.hwnd),
               log::debug("class", f.class_name));
    return Skipped{SkipReason::ShellClass};
  }
  if (f.title.empty()) {
    VANTRO_LOG(log::Level::Trace, kLogTarget, "skipped: empty title", log::debug("hwnd", f.hwnd),
               log::debug("class", f.class_name));
    return Skipped{SkipReason::EmptyTitle};
  }
  FrameRect rect = kMinimizedRect;
  if (!f.minimized) {
    if (!f.frame) return Skipped{SkipReason::NoFrame};
    if (f.frame->width <= 0 || f.frame->height <= 0) {
      VANTRO_LOG(log::Level::Trace, kLogTarget, "skipped: invalid dimensions", log::debug("hwnd", f.hwnd),
                 log::debug("title", f.title));
      return Skipped{SkipReason::InvalidDimensions};
    }
    rect = *f.frame;
  }
  VANTRO_LOG(log::Level::Trace, kLogTarget, "window included", log::debug("hwnd", f.hwnd),
             log::debug("title", f.title), log::debug("class", f.class_name), log::display("x", rect.x),
             log::display("y", rect.y), log::display("width", rect.width),
             log::display("height", rect.height), log::display("is_minimized", f.minimized));
  return Listed{rect};
}

}  // namespace vantro::picking
