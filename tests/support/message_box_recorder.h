// Message boxes recorded instead of shown, for tests of code that reports through them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "windows/notification.h"

namespace vantro::test_support {

struct RecordedBox {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

// The boxes recorded so far, oldest first.
[[nodiscard]] inline std::vector<RecordedBox>& recorded_boxes() {
  static std::vector<RecordedBox> boxes;
  return boxes;
}

// Stands in for MessageBoxW: keeps what the box would have said and answers IDOK.
inline int WINAPI record_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  recorded_boxes().push_back({owner, text, caption, type});
  return IDOK;
}

// Shows boxes to nobody while it lives and keeps what they would have said; puts the previous
// message box function back at the end.
class BoxRecorder {
 public:
  BoxRecorder() : previous_(windows::set_message_box_for_tests(&record_box)) { clear(); }
  ~BoxRecorder() { windows::set_message_box_for_tests(previous_); }
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  [[nodiscard]] const std::vector<RecordedBox>& boxes() const { return recorded_boxes(); }
  void clear() { recorded_boxes().clear(); }

 private:
  windows::MessageBoxFunction previous_;
};

}  // namespace vantro::test_support
