#include "app/pick_actions.h"

#include "picking/pick_flow.h"
#include "windows/activation.h"
#include "windows/notification.h"
#include "windows/overlay_window.h"
#include "windows/window_picker.h"

namespace vantro::app {
namespace {

class ElementSteps final : public picking::ElementPickSteps {
 public:
  ElementSteps(windows::UiaClient& client, const overlay::OverlayStyle& style)
      : client_(client), style_(style) {}

  Result<std::vector<picking::ElementInfo>> enumerate_foreground() override {
    return client_.enumerate_foreground();
  }
  Result<std::optional<std::size_t>> run_overlay(std::span<const overlay::OverlayTarget> targets) override {
    return windows::run_overlay(targets, style_);
  }
  Result<void> perform(picking::ElementId id) override { return windows::perform(client_, id); }
  void notify(std::string_view title, std::string_view body, NotificationLevel level) override {
    windows::notify(title, body, level);
  }

 private:
  windows::UiaClient& client_;
  const overlay::OverlayStyle& style_;
};

class WindowSteps final : public picking::WindowPickSteps<windows::WindowInfo> {
 public:
  explicit WindowSteps(const overlay::OverlayStyle& style) : style_(style) {}

  Result<std::vector<windows::WindowInfo>> enumerate_visible() override {
    return windows::enumerate_visible();
  }
  Result<std::optional<windows::WindowInfo>> show_window_picker(
      std::vector<windows::WindowInfo> list) override {
    return windows::show_window_picker(std::move(list), style_);
  }
  Result<void> focus_window(const windows::WindowInfo& window) override {
    return windows::focus_window(window.hwnd);
  }
  void notify(std::string_view title, std::string_view body, NotificationLevel level) override {
    windows::notify(title, body, level);
  }

 private:
  const overlay::OverlayStyle& style_;
};

}  // namespace

Result<void> run_pick_element(windows::UiaClient& client, const PickContext& context) {
  ElementSteps steps(client, context.element_style);
  return picking::pick_element(steps, context.hints);
}

Result<void> run_pick_window(const PickContext& context) {
  WindowSteps steps(context.window_style);
  return picking::pick_window(steps);
}

}  // namespace vantro::app
