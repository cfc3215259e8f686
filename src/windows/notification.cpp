#include "windows/notification.h"

#include <string>

#include "logging/log.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kTarget = "vantro::windows::notification";

MessageBoxFunction g_message_box = &MessageBoxW;

struct LevelTraits {
  log::Level event_level;
  UINT icon;
};

// Tested in the order Info, Warning, anything else: an unknown value counts as Error.
LevelTraits traits(NotificationLevel level) {
  if (level == NotificationLevel::Info) return {log::Level::Info, MB_ICONINFORMATION};
  if (level == NotificationLevel::Warning) return {log::Level::Warn, MB_ICONWARNING};
  return {log::Level::Error, MB_ICONERROR};
}

}  // namespace

void notify(std::string_view title, std::string_view body, NotificationLevel level) {
  const LevelTraits t = traits(level);
  VANTRO_LOG(t.event_level, kTarget, "user notification", log::display("title", title),
             log::display("body", body));

  const std::wstring caption = wide(title);
  const std::wstring text = wide(body);
  // MB_OK with the icon alone: application-modal, first button the default. The result (the
  // button pressed, or 0 when no box could be shown) tells the caller nothing it can use.
  (void)g_message_box(nullptr, text.c_str(), caption.c_str(), MB_OK | t.icon);
}

MessageBoxFunction set_message_box_for_tests(MessageBoxFunction function) {
  const MessageBoxFunction previous = g_message_box;
  g_message_box = function ? function : &MessageBoxW;
  return previous;
}

}  // namespace vantro::windows
