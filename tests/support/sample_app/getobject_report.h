// How a test reads the WM_GETOBJECT messages that the sample application received while it
// was started with --record-getobject: it posts kReportGetObjectMessage to the application's
// top-level window, and the application answers on standard output with one line per message
// received since the previous report, in the order received, then an end line:
//   getobject hwnd=0x<receiving window> wparam=<wParam> lparam=<lParam, signed>
//   getobject end count=<number of message lines>
#pragma once

#include <windows.h>

namespace vantro::test_support::sample_app {

inline constexpr UINT kReportGetObjectMessage = WM_APP + 1;
inline constexpr char kGetObjectLinePrefix[] = "getobject ";
inline constexpr char kGetObjectEndPrefix[] = "getobject end count=";

}  // namespace vantro::test_support::sample_app
