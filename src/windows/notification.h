// Message-box notifications: the one way the program tells the user something outside its
// own windows.
#pragma once

#include <windows.h>

#include <string_view>

#include "core/actions.h"

namespace vantro::windows {

// Logs "user notification" with the title and body at the level's event level, then shows a
// message box without owner, with an OK button and the level's icon, and returns when the
// user has closed it. The texts are UTF-8; line feeds in the body break it into lines.
void notify(std::string_view title, std::string_view body, NotificationLevel level);

// The signature of MessageBoxW: owner, text, caption, type.
using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);

// Only for tests: replaces the MessageBoxW call of notify, so that no test blocks on a modal
// box; nullptr restores MessageBoxW. Returns the function used before.
MessageBoxFunction set_message_box_for_tests(MessageBoxFunction function);

}  // namespace vantro::windows
