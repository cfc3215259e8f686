#include "windows/overlay_window.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "logging/log.h"
#include "overlay/badge_layout.h"
#include "overlay/leader.h"
#include "overlay/typed_selection.h"
#include "windows/gdi.h"
#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kLogTarget = "vantro::windows::overlay";
constexpr wchar_t kFontFace[] = L"Segoe UI";
constexpr COLORREF kColorKey = RGB(0xFF, 0x00, 0xFF);  // painted pixels of this colour are see-through
constexpr COLORREF kShadowColor = RGB(0x40, 0x40, 0x40);
constexpr UINT kLabelTextFlags = DT_SINGLELINE | DT_NOPREFIX;
constexpr UINT kNameTextFlags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

DWORD g_layered_failure_for_tests = 0;

// Everything one run of the overlay owns. The window reaches it through GWLP_USERDATA from
// WM_NCCREATE to WM_NCDESTROY; run_overlay releases it only after the window is gone.
struct OverlayState {
  std::optional<std::size_t> result;
  std::vector<overlay::LaidHint> hints;
  overlay::TypedSelection selection;
  overlay::OverlayStyle style;
  // DestroyWindow has been called by us: a focus loss during the teardown must not start
  // another one.
  bool closing = false;
  // Set by WM_DESTROY; the nested loop ends on it. Every quit message that loop meets
  // belongs to the caller's loop.
  bool destroyed = false;
  // Declared last, so that releasing the state deletes the fonts first, then the hints.
  UniqueFont bold_font;
  UniqueFont regular_font;

  OverlayState(std::vector<overlay::LaidHint> laid, const overlay::OverlayStyle& s)
      : hints(std::move(laid)), selection(labels_of(hints)), style(s) {}

  static std::vector<std::string> labels_of(const std::vector<overlay::LaidHint>& hints) {
    std::vector<std::string> labels;
    labels.reserve(hints.size());
    for (const auto& h : hints) labels.push_back(h.label);
    return labels;
  }
};

OverlayState* state_of(HWND hwnd) noexcept {
  return reinterpret_cast<OverlayState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void close_overlay(HWND hwnd, OverlayState& state) noexcept {
  if (state.closing) return;
  state.closing = true;
  if (!DestroyWindow(hwnd)) (void)GetLastError();  // nothing more can be done
}

// Destroys the window from run_overlay. Should the window outlive the call, it is cut off
// from the state, which the caller releases next.
void tear_down(HWND hwnd, OverlayState& state) noexcept {
  state.closing = true;
  if (!DestroyWindow(hwnd)) (void)GetLastError();
  if (!state.destroyed) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

RECT to_rect(const overlay::Rect& r) noexcept {
  return {r.left, r.top, r.right, r.bottom};
}

RECT inset(const overlay::Rect& r, int dx, int dy) noexcept {
  return {overlay::sat_add(r.left, dx), overlay::sat_add(r.top, dy), overlay::sat_sub(r.right, dx),
          overlay::sat_sub(r.bottom, dy)};
}

void fill(HDC dc, const overlay::Rect& r, COLORREF color) noexcept {
  const UniqueBrush brush(CreateSolidBrush(color));
  const RECT rect = to_rect(r);
  FillRect(dc, &rect, brush.get());
}

void frame(HDC dc, const overlay::Rect& r, COLORREF color) noexcept {
  const UniqueBrush brush(CreateSolidBrush(color));
  const RECT rect = to_rect(r);
  FrameRect(dc, &rect, brush.get());
}

void draw_text(HDC dc, std::string_view text, RECT rect, COLORREF color, UINT flags) noexcept {
  const std::wstring w = wide(text);
  SetTextColor(dc, color);
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &rect, flags);
}

void paint_leader(HDC dc, const overlay::LaidHint& hint, const overlay::OverlayStyle& style) noexcept {
  const UniquePen pen(CreatePen(PS_SOLID, 1, style.leader_color));
  const UniqueBrush brush(CreateSolidBrush(style.leader_color));
  const SelectedObject pen_scope(dc, pen.get());
  const SelectedObject brush_scope(dc, brush.get());
  frame(dc, hint.target_rect, style.badge_bg);
  const auto leader = overlay::leader_geometry(hint.badge_rect, hint.target_rect);
  if (!leader) return;
  MoveToEx(dc, leader->badge_end.x, leader->badge_end.y, nullptr);
  LineTo(dc, leader->target_end.x, leader->target_end.y);
  POINT head[3];
  for (int i = 0; i < 3; ++i) head[i] = {leader->arrow[i].x, leader->arrow[i].y};
  Polygon(dc, head, 3);
}

void paint_hint(HDC dc, const OverlayState& state, const overlay::LaidHint& hint) noexcept {
  const overlay::OverlayStyle& style = state.style;
  if (style.show_leader) paint_leader(dc, hint, style);

  fill(dc, hint.badge_rect, style.badge_bg);
  frame(dc, hint.badge_rect, style.border);
  {
    const SelectedObject font_scope(dc, state.bold_font.get());
    const RECT text = inset(hint.badge_rect, style.pad_x, style.pad_y);
    if (style.shadow) {
      const RECT shadow{overlay::sat_add(text.left, 1), overlay::sat_add(text.top, 1),
                        overlay::sat_add(text.right, 1), overlay::sat_add(text.bottom, 1)};
      draw_text(dc, hint.label, shadow, kShadowColor, kLabelTextFlags);
    }
    draw_text(dc, hint.label, text, style.badge_fg, kLabelTextFlags);
  }

  if (hint.has_name_box && hint.name) {
    fill(dc, hint.name_rect, style.name_bg);
    frame(dc, hint.name_rect, style.border);
    const SelectedObject font_scope(dc, state.regular_font.get());
    draw_text(dc, *hint.name, inset(hint.name_rect, style.pad_x, style.pad_y), style.name_fg, kNameTextFlags);
  }
}

void paint(HWND hwnd, const OverlayState& state) noexcept {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd, &ps);
  if (dc == nullptr) return;
  {
    const UniqueBrush key(CreateSolidBrush(kColorKey));
    FillRect(dc, &ps.rcPaint, key.get());
  }
  SetBkMode(dc, TRANSPARENT);
  for (std::size_t i = 0; i < state.hints.size(); ++i) {
    if (state.selection.shows(i)) paint_hint(dc, state, state.hints[i]);
  }
  EndPaint(hwnd, &ps);
}

void on_key(HWND hwnd, OverlayState& state, WPARAM key) noexcept {
  const overlay::KeyOutcome outcome = state.selection.press(static_cast<std::uint32_t>(key));
  if (std::holds_alternative<overlay::key_outcome::Repaint>(outcome)) {
    InvalidateRect(hwnd, nullptr, TRUE);
  } else if (const auto* chosen = std::get_if<overlay::key_outcome::Chosen>(&outcome)) {
    state.result = chosen->index;
    close_overlay(hwnd, state);
  } else if (std::holds_alternative<overlay::key_outcome::Cancelled>(outcome)) {
    state.result = std::nullopt;
    close_overlay(hwnd, state);
  }
}

Result<void> register_class(HINSTANCE instance) {
  WNDCLASSEXW existing{sizeof(existing)};
  if (GetClassInfoExW(instance, kOverlayClassName, &existing)) return {};
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  if (arrow == nullptr) return std::unexpected(last_error());
  WNDCLASSEXW wc{sizeof(wc)};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = overlay_wnd_proc;
  wc.hInstance = instance;
  wc.hCursor = arrow;
  wc.lpszClassName = kOverlayClassName;
  if (RegisterClassExW(&wc) == 0) return fail("RegisterClassExW returned 0");
  return {};
}

UniqueFont create_font(std::int32_t height, int weight) {
  return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, kFontFace));
}

BOOL set_layered_attributes(HWND hwnd, BYTE alpha) {
  if (g_layered_failure_for_tests != 0) {
    SetLastError(std::exchange(g_layered_failure_for_tests, 0));
    return FALSE;
  }
  return SetLayeredWindowAttributes(hwnd, kColorKey, alpha, LWA_COLORKEY | LWA_ALPHA);
}

}  // namespace

LRESULT CALLBACK overlay_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  OverlayState* state = state_of(hwnd);
  if (state == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);

  switch (message) {
    case WM_DESTROY:
      state->closing = true;
      state->destroyed = true;
      // Wakes the nested loop: the window may go inside GetMessageW, for a message sent by
      // another thread (a focus change), and the loop only looks at the flag between
      // messages. A message with no window does nothing wherever it is dispatched.
      PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
      return 0;
    case WM_NCDESTROY:
      // Nothing after this may reach the state, which run_overlay is about to release.
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcW(hwnd, message, wparam, lparam);
    case WM_KILLFOCUS:
      close_overlay(hwnd, *state);
      return 0;
    case WM_PAINT:
      paint(hwnd, *state);
      return 0;
    case WM_KEYDOWN:
      on_key(hwnd, *state, wparam);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

void fail_layered_attributes_for_tests(DWORD error_code) noexcept {
  g_layered_failure_for_tests = error_code;
}

Result<std::optional<std::size_t>> run_overlay(std::span<const overlay::OverlayTarget> targets,
                                               const overlay::OverlayStyle& style) {
  if (targets.empty()) return std::nullopt;

  (void)SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);  // usually set already

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (instance == nullptr) return std::unexpected(last_error());
  if (auto registered = register_class(instance); !registered) return std::unexpected(registered.error());

  const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  VANTRO_LOG(log::Level::Debug, kLogTarget, "overlay virtual desktop rect", log::display("vx", vx),
             log::display("vy", vy), log::display("vw", vw), log::display("vh", vh),
             log::display("hint_count", targets.size()));

  UniqueFont bold_font = create_font(overlay::saturate(style.font_height), FW_BOLD);
  UniqueFont regular_font =
      create_font(overlay::saturate(std::int64_t{3} * style.font_height / 4), FW_NORMAL);

  auto state = std::make_unique<OverlayState>(overlay::layout_hints(targets, style, vx, vy), style);
  state->bold_font = std::move(bold_font);
  state->regular_font = std::move(regular_font);

  const HWND hwnd =
      CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kOverlayClassName, kOverlayTitle,
                      WS_POPUP | WS_VISIBLE, vx, vy, vw, vh, nullptr, nullptr, instance, state.get());
  if (hwnd == nullptr) return std::unexpected(last_error("CreateWindowExW failed"));

  if (!set_layered_attributes(hwnd, style.alpha)) {
    Error error = last_error();
    tear_down(hwnd, *state);
    return std::unexpected(std::move(error));
  }

  (void)SetForegroundWindow(hwnd);
  (void)SetFocus(hwnd);

  // Every message of the thread until the window is gone. A quit message met on the way
  // was meant for the caller's loop (another process asked the program to close): the overlay
  // closes without a choice and the request is posted again. A quit posted while a label is
  // being completed stays in the queue, as the loop ends on the flag before reading it.
  std::optional<int> quit_request;
  MSG msg{};
  while (!state->destroyed) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) quit_request = static_cast<int>(msg.wParam);
    if (got == 0 || got == -1) {
      state->result = std::nullopt;
      tear_down(hwnd, *state);
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (quit_request) PostQuitMessage(*quit_request);
  return state->result;
}

}  // namespace vantro::windows
