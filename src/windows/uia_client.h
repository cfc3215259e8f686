// The program's one UI Automation client: collects the interactable elements of the
// foreground window and keeps them, each with a reference of its own, until the next
// enumeration, so that the chosen one can be activated.
#pragma once

#include <windows.h>

#include <uiautomationclient.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "core/error.h"
#include "picking/element.h"

namespace vantro::windows {

template <class T>
using ComPtr = Microsoft::WRL::ComPtr<T>;

// An error of the element layer: the message text of a failed UI Automation or COM call
// (the thread's error description when there is one, else the system's message for the
// HRESULT, else a text that names the code) alone, with the HRESULT kept as data.
[[nodiscard]] Error uia_error(HRESULT hr);

class UiaClient {
 public:
  // Declares the process per-monitor DPI aware, joins the calling thread to the
  // multithreaded apartment and creates the UI Automation object. Errors carry the context
  // "initializing UI Automation client".
  [[nodiscard]] static Result<UiaClient> create();

  UiaClient(UiaClient&&) noexcept = default;
  UiaClient& operator=(UiaClient&&) noexcept = default;
  UiaClient(const UiaClient&) = delete;
  UiaClient& operator=(const UiaClient&) = delete;
  ~UiaClient();

  // Forgets the previous enumeration, then collects the interactable elements of the
  // foreground window in depth-first pre-order with ids 0, 1, 2, …; an empty list when
  // there is no foreground window. While the foreground query gives none, it is asked again
  // every 10 ms for up to 100 ms: the foreground is passing between windows for a moment.
  [[nodiscard]] Result<std::vector<picking::ElementInfo>> enumerate_foreground();

  // The same for a window that the caller names (enumerate_foreground passes the foreground
  // window); null reads as "no foreground window". Lets the tests choose the window.
  [[nodiscard]] Result<std::vector<picking::ElementInfo>> enumerate_window(HWND window);

  // What enumerate_foreground asks for the foreground window: GetForegroundWindow, unless a
  // test gives another query.
  using ForegroundQuery = std::function<HWND()>;
  void set_foreground_query(ForegroundQuery query) { foreground_query_ = std::move(query); }

  // The element collected under `id` by the latest enumeration; null when there is none.
  // The client keeps its reference; the caller borrows it.
  [[nodiscard]] IUIAutomationElement* element(picking::ElementId id) const;

  [[nodiscard]] IUIAutomation* automation() const { return automation_.Get(); }
  // Whether the latest enumeration that found a foreground window found a browser.
  [[nodiscard]] bool is_browser() const { return is_browser_; }
  // How many elements the client holds references on.
  [[nodiscard]] std::size_t stored_count() const { return elements_.size(); }

 private:
  explicit UiaClient(ComPtr<IUIAutomation> automation) : automation_(std::move(automation)) {}
  void forget_elements();

  // Declared before the automation object so that the object is released first.
  std::unordered_map<std::uint64_t, ComPtr<IUIAutomationElement>> elements_;
  ComPtr<IUIAutomation> automation_;
  std::uint64_t next_id_ = 0;
  bool is_browser_ = false;
  ForegroundQuery foreground_query_ = GetForegroundWindow;
};

// Whether the window belongs to a web browser, judged by its process image file name. Any
// failure along the way means no.
[[nodiscard]] bool is_browser_window(HWND window);

}  // namespace vantro::windows
