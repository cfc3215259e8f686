// Owners of GDI objects (fonts, brushes, pens) and of a selection into a device context.
// Every owner that holds an object is counted, so tests can prove that nothing is left behind
// (Wine's GetGuiResources always reports 0).
#pragma once

#include <windows.h>

#include <utility>

namespace vantro::windows {

// GDI objects currently held by GdiObject owners on any thread.
[[nodiscard]] long live_gdi_objects() noexcept;

namespace detail {
void count_gdi_object(long delta) noexcept;
}

template <class T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) noexcept : object_(object) {
    if (object_ != nullptr) detail::count_gdi_object(+1);
  }
  ~GdiObject() { reset(); }
  GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  [[nodiscard]] T get() const noexcept { return object_; }
  [[nodiscard]] explicit operator bool() const noexcept { return object_ != nullptr; }
  void reset() noexcept {
    if (object_ != nullptr) {
      DeleteObject(object_);
      detail::count_gdi_object(-1);
      object_ = nullptr;
    }
  }

 private:
  T object_ = nullptr;
};

using UniqueFont = GdiObject<HFONT>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniquePen = GdiObject<HPEN>;

// Selects an object into a device context and selects the previous one back when it ends.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace vantro::windows
