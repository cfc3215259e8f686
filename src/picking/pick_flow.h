// The two pick actions end to end, over the steps they take: collect the targets, show the
// overlay, act on the chosen one. The platform supplies the steps; these functions decide
// what is logged, when the user is told, and which failures reach the caller.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "core/actions.h"
#include "core/error.h"
#include "hint/hint_generator.h"
#include "logging/log.h"
#include "overlay/overlay_target.h"
#include "picking/element.h"

namespace vantro::picking {

inline constexpr std::string_view kPickLogTarget = "vantro";
inline constexpr std::string_view kNoElementsText = "No interactive elements found in the foreground window.";
inline constexpr std::string_view kNoWindowsText = "No visible windows to pick from.";

// What picking an element needs from the platform.
class ElementPickSteps {
 public:
  virtual ~ElementPickSteps() = default;
  [[nodiscard]] virtual Result<std::vector<ElementInfo>> enumerate_foreground() = 0;
  [[nodiscard]] virtual Result<std::optional<std::size_t>> run_overlay(
      std::span<const overlay::OverlayTarget> targets) = 0;
  [[nodiscard]] virtual Result<void> perform(ElementId id) = 0;
  virtual void notify(std::string_view title, std::string_view body, NotificationLevel level) = 0;
};

// One overlay target per element, in list order: label i, no name, the element's rectangle.
[[nodiscard]] std::vector<overlay::OverlayTarget> element_targets(std::span<const ElementInfo> elements,
                                                                  std::span<const std::string> labels);

// Collects the foreground window's elements, labels them, lets the user choose one and
// activates it. A failed activation is only logged; failures to collect the elements or to
// run the overlay are returned unchanged.
[[nodiscard]] Result<void> pick_element(ElementPickSteps& steps, const hint::HintGenerator& hints);

// What picking a window needs from the platform; `Window` has a UTF-8 `title`.
template <class Window>
class WindowPickSteps {
 public:
  virtual ~WindowPickSteps() = default;
  [[nodiscard]] virtual Result<std::vector<Window>> enumerate_visible() = 0;
  [[nodiscard]] virtual Result<std::optional<Window>> show_window_picker(std::vector<Window> windows) = 0;
  [[nodiscard]] virtual Result<void> focus_window(const Window& window) = 0;
  virtual void notify(std::string_view title, std::string_view body, NotificationLevel level) = 0;
};

// Lists the visible top-level windows, lets the user choose one and brings it forward.
template <class Window>
[[nodiscard]] Result<void> pick_window(WindowPickSteps<Window>& steps) {
  auto windows = steps.enumerate_visible();
  if (!windows) return fail(std::move(windows.error()));
  if (windows->empty()) {
    VANTRO_LOG_MSG(log::Level::Info, kPickLogTarget, "no visible top-level windows");
    steps.notify("vantro", kNoWindowsText, NotificationLevel::Info);
    return {};
  }
  VANTRO_LOG(log::Level::Info, kPickLogTarget, "showing window overlay",
             log::display("count", windows->size()));
  auto chosen = steps.show_window_picker(std::move(*windows));
  if (!chosen) return fail(std::move(chosen.error()));
  if (!chosen->has_value()) {
    VANTRO_LOG_MSG(log::Level::Info, kPickLogTarget, "window overlay cancelled");
    return {};
  }
  VANTRO_LOG(log::Level::Info, kPickLogTarget, "window selected \u2014 focusing",
             log::display("title", (*chosen)->title));
  return steps.focus_window(**chosen);
}

}  // namespace vantro::picking
