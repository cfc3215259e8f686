#include "windows/activation.h"

#include <windows.h>

#include <fmt/format.h>

#include "windows/uia_patterns.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

using picking::ActivationPath;

static_assert(sizeof(INPUT) == 40, "SendInput is given 40-byte INPUT records");
static_assert(picking::kMouseMoveAbsolute ==
              (MOUSEEVENTF_MOVE | MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_ABSOLUTE));
static_assert(picking::kMouseLeftDown == MOUSEEVENTF_LEFTDOWN && picking::kMouseLeftUp == MOUSEEVENTF_LEFTUP);

// Calls the pattern's method when the element offers the pattern; the pattern objects are
// released when this returns.
template <class Pattern, class Call>
bool call_pattern(IUIAutomationElement* element, PATTERNID id, Call call) {
  const ComPtr<Pattern> pattern = current_pattern<Pattern>(element, id);
  return pattern && SUCCEEDED(call(pattern.Get()));
}

class UiaActivationTarget final : public picking::ActivationTarget {
 public:
  explicit UiaActivationTarget(IUIAutomationElement* element) : element_(element) {}

  bool try_pattern(ActivationPath path) override {
    switch (path) {
      case ActivationPath::Invoke:
        return call_pattern<IUIAutomationInvokePattern>(element_, UIA_InvokePatternId,
                                                        [](auto* p) { return p->Invoke(); });
      case ActivationPath::Toggle:
        return call_pattern<IUIAutomationTogglePattern>(element_, UIA_TogglePatternId,
                                                        [](auto* p) { return p->Toggle(); });
      case ActivationPath::SelectionItem:
        return call_pattern<IUIAutomationSelectionItemPattern>(element_, UIA_SelectionItemPatternId,
                                                               [](auto* p) { return p->Select(); });
      case ActivationPath::ExpandCollapse:
        return call_pattern<IUIAutomationExpandCollapsePattern>(element_, UIA_ExpandCollapsePatternId,
                                                                [](auto* p) { return p->Expand(); });
      case ActivationPath::LegacyDefaultAction:
        return call_pattern<IUIAutomationLegacyIAccessiblePattern>(
            element_, UIA_LegacyIAccessiblePatternId, [](auto* p) { return p->DoDefaultAction(); });
    }
    return false;
  }

  std::optional<picking::ScreenPoint> clickable_point() override {
    POINT point{};
    BOOL has_point = FALSE;
    if (FAILED(element_->GetClickablePoint(&point, &has_point)) || !has_point) return std::nullopt;
    return picking::ScreenPoint{point.x, point.y};
  }

  Result<picking::ScreenRect> bounding_rectangle() override {
    RECT rect{};
    const HRESULT hr = element_->get_CurrentBoundingRectangle(&rect);
    if (FAILED(hr)) return fail(uia_error(hr));
    return picking::ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
  }

 private:
  IUIAutomationElement* element_;  // borrowed from the client's store
};

// The monitor's rectangle (rcMonitor); nothing for no monitor.
Result<std::optional<picking::ScreenRect>> monitor_rectangle(HMONITOR monitor) {
  if (monitor == nullptr) return std::optional<picking::ScreenRect>{};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return fail(last_error());
  const RECT& rect = info.rcMonitor;
  return std::optional<picking::ScreenRect>{
      picking::ScreenRect{rect.left, rect.top, rect.right, rect.bottom}};
}

}  // namespace

Result<picking::ScreenPoint> SystemMouse::cursor_position() {
  POINT point{};
  if (!GetCursorPos(&point)) return fail(last_error());
  return picking::ScreenPoint{point.x, point.y};
}

Result<picking::VirtualScreen> SystemMouse::virtual_screen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width == 0 || height == 0) return fail(last_error());
  return picking::VirtualScreen{left, top, width, height};
}

Result<std::optional<picking::ScreenRect>> SystemMouse::monitor_at(picking::ScreenPoint point) {
  return monitor_rectangle(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONULL));
}

Result<std::optional<picking::ScreenRect>> SystemMouse::monitor_with_most_of(
    const picking::ScreenRect& rect) {
  const RECT area{rect.left, rect.top, rect.right, rect.bottom};
  return monitor_rectangle(MonitorFromRect(&area, MONITOR_DEFAULTTONULL));
}

Result<void> SystemMouse::send(const picking::MouseInput& input) {
  INPUT record{};
  record.type = INPUT_MOUSE;
  record.mi.dx = input.dx;
  record.mi.dy = input.dy;
  record.mi.mouseData = 0;
  record.mi.dwFlags = input.flags;
  record.mi.time = 0;
  record.mi.dwExtraInfo = 0;
  if (SendInput(1, &record, sizeof(INPUT)) != 1) return fail(last_error());
  return {};
}

void SystemMouse::sleep(std::chrono::milliseconds duration) {
  Sleep(static_cast<DWORD>(duration.count()));
}

void SystemMouse::write_standard_error(std::string_view line) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  const std::string text = std::string(line) + "\n";
  DWORD written = 0;
  WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

Result<void> perform(UiaClient& client, picking::ElementId id, picking::MouseDevice& mouse) {
  IUIAutomationElement* element = client.element(id);
  if (element == nullptr) return fail(fmt::format("unknown element id {}", picking::debug_text(id)));
  UiaActivationTarget target(element);
  return picking::activate(id, target, mouse);
}

Result<void> perform(UiaClient& client, picking::ElementId id) {
  SystemMouse mouse;
  return perform(client, id, mouse);
}

}  // namespace vantro::windows
