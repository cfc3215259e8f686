#include "windows/uia_client.h"

#include <oleauto.h>

#include <array>
#include <string>
#include <unordered_map>

#include "core/os_error.h"
#include "logging/log.h"
#include "picking/browser.h"
#include "picking/classification.h"
#include "picking/element_walk.h"
#include "picking/foreground_wait.h"
#include "windows/uia_patterns.h"
#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kTarget = "vantro::windows";

// WM_GETOBJECT's object id for a UI Automation provider (UiaRootObjectId).
constexpr LPARAM kUiaRootObjectId = -25;
constexpr UINT kWakeUpTimeoutMs = 50;
constexpr std::size_t kInitialCapacity = 64;
constexpr DWORD kImagePathCapacity = 1024;

constexpr GUID kClsidCUIAutomation = {
    0xFF48DBA4, 0x60EF, 0x4201, {0xAA, 0x87, 0x54, 0x10, 0x3E, 0xEF, 0x59, 0x4E}};
constexpr GUID kIidIUIAutomation = {
    0x30CBE57D, 0xD9D0, 0x452A, {0xAB, 0x13, 0x7A, 0xC5, 0xAC, 0x48, 0x25, 0xEE}};

// Whether the element offers the pattern as its typed interface.
bool offers(IUIAutomationElement* element, picking::ActionPattern pattern) {
  const PATTERNID id = picking::pattern_id(pattern);
  switch (pattern) {
    case picking::ActionPattern::Invoke:
      return current_pattern<IUIAutomationInvokePattern>(element, id) != nullptr;
    case picking::ActionPattern::Toggle:
      return current_pattern<IUIAutomationTogglePattern>(element, id) != nullptr;
    case picking::ActionPattern::SelectionItem:
      return current_pattern<IUIAutomationSelectionItemPattern>(element, id) != nullptr;
    case picking::ActionPattern::ExpandCollapse:
      return current_pattern<IUIAutomationExpandCollapsePattern>(element, id) != nullptr;
  }
  return false;
}

// The description the failing call left in the thread's error information, if any.
std::string thread_error_description() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) return {};
  BSTR description = nullptr;
  std::string text;
  if (SUCCEEDED(info->GetDescription(&description)) && description != nullptr)
    text = narrow(std::wstring_view(description, SysStringLen(description)));
  SysFreeString(description);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

// A call that succeeds without returning the interface asked for counts as failed (E_POINTER).
Result<void> require_interface(HRESULT hr, const void* returned) {
  if (FAILED(hr)) return fail(uia_error(hr));
  if (returned == nullptr) return fail(uia_error(E_POINTER));
  return {};
}

// One element of the control view, asked through its IUIAutomationElement.
class UiaElement final : public picking::WalkElement {
 public:
  explicit UiaElement(ComPtr<IUIAutomationElement> element) : element_(std::move(element)) {}

  [[nodiscard]] IUIAutomationElement* get() const { return element_.Get(); }

  std::optional<bool> is_offscreen() override {
    return read_flag(&IUIAutomationElement::get_CurrentIsOffscreen);
  }
  std::optional<bool> is_enabled() override { return read_flag(&IUIAutomationElement::get_CurrentIsEnabled); }
  std::optional<bool> keyboard_focusable() override {
    return read_flag(&IUIAutomationElement::get_CurrentIsKeyboardFocusable);
  }

  std::optional<std::int32_t> control_type_id() override {
    CONTROLTYPEID id = 0;
    if (FAILED(element_->get_CurrentControlType(&id))) return std::nullopt;
    return static_cast<std::int32_t>(id);
  }

  std::optional<picking::ScreenRect> bounding_rectangle() override {
    RECT rect{};
    if (FAILED(element_->get_CurrentBoundingRectangle(&rect))) return std::nullopt;
    return picking::ScreenRect{static_cast<std::int32_t>(rect.left), static_cast<std::int32_t>(rect.top),
                               static_cast<std::int32_t>(rect.right), static_cast<std::int32_t>(rect.bottom)};
  }

  bool offers_pattern(picking::ActionPattern pattern) override { return offers(element_.Get(), pattern); }

  std::optional<std::uint32_t> accessibility_role() override {
    const auto legacy = current_pattern<IUIAutomationLegacyIAccessiblePattern>(
        element_.Get(), picking::kLegacyIAccessiblePatternId);
    DWORD role = 0;
    if (!legacy || FAILED(legacy->get_CurrentRole(&role))) return std::nullopt;
    return static_cast<std::uint32_t>(role);
  }

 private:
  std::optional<bool> read_flag(HRESULT (STDMETHODCALLTYPE IUIAutomationElement::*read)(BOOL*)) {
    BOOL value = FALSE;
    if (FAILED((element_.Get()->*read)(&value))) return std::nullopt;
    return value != FALSE;
  }

  ComPtr<IUIAutomationElement> element_;
};

// The control-view walker, and the client's map as the store of collected elements.
class ControlViewTree final : public picking::ElementTree {
 public:
  ControlViewTree(IUIAutomationTreeWalker* walker,
                  std::unordered_map<std::uint64_t, ComPtr<IUIAutomationElement>>& elements)
      : walker_(walker), elements_(elements) {}

  std::unique_ptr<picking::WalkElement> first_child(picking::WalkElement& element) override {
    ComPtr<IUIAutomationElement> child;
    if (FAILED(walker_->GetFirstChildElement(as_uia(element), child.GetAddressOf())) || !child)
      return nullptr;
    return std::make_unique<UiaElement>(std::move(child));
  }

  std::unique_ptr<picking::WalkElement> next_sibling(picking::WalkElement& element) override {
    ComPtr<IUIAutomationElement> sibling;
    if (FAILED(walker_->GetNextSiblingElement(as_uia(element), sibling.GetAddressOf())) || !sibling)
      return nullptr;
    return std::make_unique<UiaElement>(std::move(sibling));
  }

  void keep(picking::ElementId id, picking::WalkElement& element) override {
    elements_.insert_or_assign(id.value, ComPtr<IUIAutomationElement>(as_uia(element)));  // AddRef
  }

 private:
  static IUIAutomationElement* as_uia(picking::WalkElement& element) {
    return static_cast<UiaElement&>(element).get();
  }

  IUIAutomationTreeWalker* walker_;
  std::unordered_map<std::uint64_t, ComPtr<IUIAutomationElement>>& elements_;
};

void send_wake_up(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_GETOBJECT, 0, kUiaRootObjectId, SMTO_ABORTIFHUNG, kWakeUpTimeoutMs,
                      &ignored);
  SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG,
                      kWakeUpTimeoutMs, &ignored);
}

// EnumChildWindows callback: wakes one descendant window and goes on with the next.
BOOL CALLBACK nudge_child_accessibility(HWND window, LPARAM) {
  send_wake_up(window);
  return TRUE;
}

// Browsers build their accessibility tree only once someone asks for it.
void wake_browser_accessibility(HWND window) {
  send_wake_up(window);
  EnumChildWindows(window, nudge_child_accessibility, 0);
}

// The wait for the foreground on the system's clock.
class SystemWaitClock final : public picking::WaitClock {
 public:
  std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
  void sleep(std::chrono::milliseconds duration) override { Sleep(static_cast<DWORD>(duration.count())); }
};

std::string by_role_text(const std::vector<picking::ElementInfo>& collected) {
  std::unordered_map<picking::Role, std::size_t> counts;
  for (const auto& info : collected) ++counts[info.role];
  std::string text = "{";
  bool first = true;
  for (const auto& [role, count] : counts) {
    text += fmt::format("{}{}: {}", first ? "" : ", ", picking::role_name(role), count);
    first = false;
  }
  return text + "}";
}

}  // namespace

Error uia_error(HRESULT hr) {
  std::string message = thread_error_description();
  if (message.empty()) message = hresult_text(static_cast<std::uint32_t>(hr));
  return Error::coded(static_cast<std::int32_t>(hr), std::move(message));
}

bool is_browser_window(HWND window) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (process == nullptr || process == INVALID_HANDLE_VALUE) return false;
  std::array<wchar_t, kImagePathCapacity> path{};
  DWORD length = kImagePathCapacity;
  const BOOL ok = QueryFullProcessImageNameW(process, 0, path.data(), &length);
  CloseHandle(process);
  if (!ok || length == 0) return false;
  return picking::is_browser_image_path(
      std::u16string_view(reinterpret_cast<const char16_t*>(path.data()), length));
}

Result<UiaClient> UiaClient::create() {
  // Refused when the awareness was set before (or, under Wine, always); harmless either way.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);

  constexpr std::string_view kContext = "initializing UI Automation client";
  // The apartment lasts until the process ends: COM is never uninitialised.
  if (const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED); FAILED(hr))
    return fail(uia_error(hr).context(std::string(kContext)));

  ComPtr<IUIAutomation> automation;
  const HRESULT hr = CoCreateInstance(kClsidCUIAutomation, nullptr, CLSCTX_ALL, kIidIUIAutomation,
                                      reinterpret_cast<void**>(automation.GetAddressOf()));
  if (auto checked = require_interface(hr, automation.Get()); !checked)
    return fail(std::move(checked.error()).context(std::string(kContext)));
  return UiaClient(std::move(automation));
}

UiaClient::~UiaClient() {
  // The automation object goes first, then the references on the stored elements.
  automation_.Reset();
  elements_.clear();
}

void UiaClient::forget_elements() {
  elements_.clear();  // releases every stored reference; the map keeps its buckets
  next_id_ = 0;
}

IUIAutomationElement* UiaClient::element(picking::ElementId id) const {
  const auto found = elements_.find(id.value);
  return found == elements_.end() ? nullptr : found->second.Get();
}

Result<std::vector<picking::ElementInfo>> UiaClient::enumerate_foreground() {
  forget_elements();  // also when there turns out to be no window
  // Right after a window closes (an overlay, when a pick was asked for while it was open) the
  // foreground may still be on its way to the next window.
  SystemWaitClock clock;
  return enumerate_window(picking::wait_for_foreground(foreground_query_, clock));
}

Result<std::vector<picking::ElementInfo>> UiaClient::enumerate_window(HWND foreground) {
  forget_elements();
  if (foreground == nullptr) {
    VANTRO_LOG_MSG(log::Level::Warn, kTarget, "no foreground window");
    return std::vector<picking::ElementInfo>{};
  }

  is_browser_ = is_browser_window(foreground);
  VANTRO_LOG(log::Level::Debug, kTarget, "enumerate_foreground: detected window kind",
             log::display("is_browser", is_browser_));
  if (is_browser_) wake_browser_accessibility(foreground);

  ComPtr<IUIAutomationElement> root;
  const HRESULT root_hr = automation_->ElementFromHandle(foreground, root.GetAddressOf());
  if (auto checked = require_interface(root_hr, root.Get()); !checked)
    return fail(std::move(checked.error()).context("element_from_handle for foreground window failed"));

  ComPtr<IUIAutomationTreeWalker> walker;
  const HRESULT walker_hr = automation_->get_ControlViewWalker(walker.GetAddressOf());
  if (auto checked = require_interface(walker_hr, walker.Get()); !checked) {
    root.Reset();
    return fail(std::move(checked.error()).context("creating control-view tree walker failed"));
  }

  std::vector<picking::ElementInfo> collected;
  collected.reserve(kInitialCapacity);
  picking::WalkStats stats;
  ControlViewTree tree(walker.Get(), elements_);
  picking::WalkContext context{tree, is_browser_, next_id_, collected, stats};
  {
    UiaElement root_element(root);
    picking::walk_tree(context, root_element, 0);
  }

  if (log::enabled(log::Level::Debug, kTarget)) {
    VANTRO_LOG(log::Level::Debug, kTarget, "enumerate_foreground done",
               log::display("collected", collected.size()), log::display("visited", stats.visited),
               log::display("max_depth", stats.max_depth), log::display("hit_depth_cap", stats.hit_depth_cap),
               log::display("hit_element_cap", stats.hit_element_cap),
               log::Field{"by_role", by_role_text(collected)});
  }

  walker.Reset();
  root.Reset();
  return collected;
}

}  // namespace vantro::windows
