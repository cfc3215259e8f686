// One owner type per kind of Windows resource: movable, not copyable, closed exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace vantro::windows {

template <class T, auto Close, T Invalid = T{}>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Invalid));
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  [[nodiscard]] T get() const { return value_; }
  [[nodiscard]] explicit operator bool() const { return value_ != Invalid; }
  [[nodiscard]] T release() { return std::exchange(value_, Invalid); }
  void reset(T value = Invalid) {
    if (value_ != Invalid) Close(value_);
    value_ = value;
  }

 private:
  T value_ = Invalid;
};

namespace detail {
inline void close_handle(HANDLE h) { CloseHandle(h); }
inline void destroy_window(HWND h) { DestroyWindow(h); }
inline void close_key(HKEY h) { RegCloseKey(h); }
inline void destroy_icon(HICON h) { DestroyIcon(h); }
inline void destroy_menu(HMENU h) { DestroyMenu(h); }
}  // namespace detail

using UniqueHandle = UniqueResource<HANDLE, detail::close_handle>;
using UniqueWindow = UniqueResource<HWND, detail::destroy_window>;
using UniqueKey = UniqueResource<HKEY, detail::close_key>;
using UniqueIcon = UniqueResource<HICON, detail::destroy_icon>;
using UniqueMenu = UniqueResource<HMENU, detail::destroy_menu>;

}  // namespace vantro::windows
