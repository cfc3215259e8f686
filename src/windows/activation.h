// Activates an element of the latest enumeration: through its UI Automation patterns, else
// with a synthesized left click after gliding the cursor to it.
#pragma once

#include "core/error.h"
#include "picking/activation.h"
#include "picking/element.h"
#include "windows/uia_client.h"

namespace vantro::windows {

// Activates the element stored under `id` by the client's latest enumeration. Errors:
// "unknown element id ElementId(n)" when the client holds no such element; a failed mouse
// fallback inside "element.click() failed" and "invoking element failed". The client is not
// changed.
[[nodiscard]] Result<void> perform(UiaClient& client, picking::ElementId id);

// The same with another mouse, for tests that must not move the real cursor.
[[nodiscard]] Result<void> perform(UiaClient& client, picking::ElementId id, picking::MouseDevice& mouse);

// The system's mouse, monitors and clock: GetCursorPos, GetSystemMetrics, MonitorFromPoint,
// MonitorFromRect, GetMonitorInfoW, SendInput, Sleep.
class SystemMouse final : public picking::MouseDevice {
 public:
  [[nodiscard]] Result<picking::ScreenPoint> cursor_position() override;
  [[nodiscard]] Result<picking::VirtualScreen> virtual_screen() override;
  [[nodiscard]] Result<std::optional<picking::ScreenRect>> monitor_at(picking::ScreenPoint point) override;
  [[nodiscard]] Result<std::optional<picking::ScreenRect>> monitor_with_most_of(
      const picking::ScreenRect& rect) override;
  [[nodiscard]] Result<void> send(const picking::MouseInput& input) override;
  void sleep(std::chrono::milliseconds duration) override;
  void write_standard_error(std::string_view line) override;
};

}  // namespace vantro::windows
