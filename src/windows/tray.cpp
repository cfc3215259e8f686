#include "windows/tray.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "logging/log.h"
#include "tray/menu_events.h"
#include "tray/tray_icon_pixels.h"
#include "tray/tray_menu_layout.h"
#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kLogTarget = "vantro::windows::tray";
constexpr wchar_t kWindowClass[] = L"tray_icon_app";
// WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW.
constexpr DWORD kWindowExStyle = 0x080800A0;

void delete_bitmap(HBITMAP bitmap) {
  DeleteObject(bitmap);
}
using UniqueBitmap = UniqueResource<HBITMAP, delete_bitmap>;

}  // namespace

// The icon in the notification area and its hidden window, which opens the menu on a press
// of either mouse button and turns the menu's WM_COMMAND into a menu event.
class TrayIcon {
 public:
  [[nodiscard]] static Result<std::unique_ptr<TrayIcon>> create(const PopupMenu& menu, std::wstring tooltip,
                                                                UniqueIcon icon);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  [[nodiscard]] HWND window() const { return window_.get(); }

 private:
  TrayIcon(const PopupMenu& menu, std::wstring tooltip, UniqueIcon icon)
      : menu_(menu), tooltip_(std::move(tooltip)), icon_(std::move(icon)) {}

  static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) noexcept;
  [[nodiscard]] NOTIFYICONDATAW icon_data() const noexcept;
  void add_icon() const noexcept;
  void show_menu() const noexcept;

  const PopupMenu& menu_;
  std::wstring tooltip_;
  UniqueIcon icon_;
  UINT taskbar_created_ = 0;
  UniqueWindow window_;
};

namespace {

Result<void> register_window_class(WNDPROC proc) {
  WNDCLASSEXW wc{sizeof(wc)};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kWindowClass;
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return fail(last_error("RegisterClassExW"));
  return {};
}

}  // namespace

Result<std::unique_ptr<TrayIcon>> TrayIcon::create(const PopupMenu& menu, std::wstring tooltip,
                                                   UniqueIcon icon) {
  if (auto registered = register_window_class(&TrayIcon::window_proc); !registered)
    return fail(std::move(registered.error()));
  std::unique_ptr<TrayIcon> self(new TrayIcon(menu, std::move(tooltip), std::move(icon)));
  HWND hwnd = CreateWindowExW(kWindowExStyle, kWindowClass, nullptr, 0, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                              nullptr, nullptr, GetModuleHandleW(nullptr), self.get());
  if (hwnd == nullptr) return fail(last_error("CreateWindowExW"));
  self->window_.reset(hwnd);

  // Admit the shell's broadcast from a process of lower integrity, so the icon comes back
  // when the taskbar is re-created.
  self->taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  if (self->taskbar_created_ != 0)
    ChangeWindowMessageFilterEx(hwnd, self->taskbar_created_, MSGFLT_ALLOW, nullptr);
  // A failing add is silent: the icon appears with the next "TaskbarCreated".
  self->add_icon();
  return self;
}

TrayIcon::~TrayIcon() {
  if (!window_) return;
  NOTIFYICONDATAW data = icon_data();
  if (!Shell_NotifyIconW(NIM_DELETE, &data)) {
    std::fputs("Error removing system tray icon\n", stderr);
    std::fflush(stderr);
  }
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  window_.reset();
}

NOTIFYICONDATAW TrayIcon::icon_data() const noexcept {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_.get();
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_.get();
  const std::size_t length = std::min(tooltip_.size(), std::size(data.szTip) - 1);
  std::wmemcpy(data.szTip, tooltip_.data(), length);
  data.szTip[length] = L'\0';
  return data;
}

void TrayIcon::add_icon() const noexcept {
  NOTIFYICONDATAW data = icon_data();
  Shell_NotifyIconW(NIM_ADD, &data);
}

void TrayIcon::show_menu() const noexcept {
  POINT cursor{};
  GetCursorPos(&cursor);
  SetForegroundWindow(window_.get());
  TrackPopupMenu(menu_.handle(), TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window_.get(), nullptr);
}

LRESULT CALLBACK TrayIcon::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr || self->window_.get() != hwnd) {
    // During creation, before the owner has the handle.
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return self->handle(msg, wp, lp);
}

LRESULT TrayIcon::handle(UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == kTrayCallbackMessage) {
    const UINT mouse = LOWORD(static_cast<DWORD>(lp));
    if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN) show_menu();
    return 0;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == 0) {
    if (menu_.dispatch_command(LOWORD(wp))) return 0;
  } else if (taskbar_created_ != 0 && msg == taskbar_created_) {
    add_icon();
    return 0;
  }
  return DefWindowProcW(window_.get(), msg, wp, lp);
}

Tray::Tray(std::vector<MenuItem> items, std::unique_ptr<PopupMenu> menu, std::unique_ptr<TrayIcon> icon,
           tray::TrayMenuIds ids)
    : items_(std::move(items)), menu_(std::move(menu)), icon_(std::move(icon)), ids_(std::move(ids)) {}
Tray::Tray(Tray&&) noexcept = default;
Tray& Tray::operator=(Tray&&) noexcept = default;

Tray::~Tray() {
  icon_.reset();  // first: the icon's window refers to the menu
}

std::vector<TrayCommand> Tray::drain_commands() {
  return tray::commands_for_events(ids_, tray::receive_pending_menu_events());
}

HWND Tray::window() const {
  return icon_ ? icon_->window() : nullptr;
}
HMENU Tray::menu() const {
  return menu_ ? menu_->handle() : nullptr;
}

Result<UniqueIcon> tray_icon_image() {
  const tray::IconPixels rgba = tray::tray_icon_pixels();
  constexpr int size = tray::kIconSize;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // rows from top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour || bits == nullptr) return fail(last_error("CreateDIBSection").context("Icon::from_rgba"));
  auto* bgra = static_cast<std::uint8_t*>(bits);
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    bgra[i] = rgba[i + 2];
    bgra[i + 1] = rgba[i + 1];
    bgra[i + 2] = rgba[i];
    bgra[i + 3] = rgba[i + 3];
  }
  GdiFlush();

  // Every pixel carries its own alpha and is opaque: an AND mask of zeros, one bit per pixel,
  // rows padded to 16 bits (32 pixels need none).
  static constexpr std::array<std::uint8_t, size * size / 8> kOpaqueMask{};
  UniqueBitmap mask(CreateBitmap(size, size, 1, 1, kOpaqueMask.data()));
  if (!mask) return fail(last_error("CreateBitmap").context("Icon::from_rgba"));

  ICONINFO icon_info{};
  icon_info.fIcon = TRUE;
  icon_info.hbmColor = colour.get();
  icon_info.hbmMask = mask.get();
  UniqueIcon icon(CreateIconIndirect(&icon_info));
  if (!icon) return fail(last_error("CreateIconIndirect").context("Icon::from_rgba"));
  return icon;
}

Result<Tray> build_tray() {
  std::vector<MenuItem> items;
  items.reserve(tray::kTrayItems.size());
  for (const tray::TrayItemSpec& spec : tray::kTrayItems) items.emplace_back(spec.text, spec.enabled);
  const auto item = [&](tray::TrayItem which) -> const MenuItem& {
    return items[static_cast<std::size_t>(which)];
  };

  auto created = PopupMenu::create();
  if (!created) return fail(std::move(created.error()).context("creating tray menu"));
  auto menu = std::make_unique<PopupMenu>(std::move(*created));
  for (const tray::MenuLine& line : tray::kMenuLines) {
    auto appended = line.item ? menu->append(item(*line.item)) : menu->append_separator();
    if (!appended) return fail(std::move(appended.error()).context(std::string(line.failure_context)));
  }

  auto image = tray_icon_image();
  if (!image) return fail(std::move(image.error()).context("building tray icon"));

  auto icon = TrayIcon::create(*menu, wide(tray::kTrayTooltip), std::move(*image));
  if (!icon) return fail(std::move(icon.error()).context("creating tray icon"));

  tray::TrayMenuIds ids{item(tray::TrayItem::PickElement).id(), item(tray::TrayItem::PickWindow).id(),
                        item(tray::TrayItem::Settings).id(), item(tray::TrayItem::ViewLog).id(),
                        item(tray::TrayItem::Quit).id()};
  VANTRO_LOG_MSG(log::Level::Info, kLogTarget, "tray icon registered");
  return Tray(std::move(items), std::move(menu), std::move(*icon), std::move(ids));
}

}  // namespace vantro::windows
