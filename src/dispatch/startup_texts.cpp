#include "dispatch/startup_texts.h"

#include <fmt/format.h>

namespace vantro::dispatch {

std::string banner_text(const config::HotkeyBindings& hotkeys, bool with_tray) {
  return fmt::format(
      "vantro {} is running.\n"
      "  Pick element : {}\n"
      "  Pick window  : {}\n"
      "  Cancel       : Esc (inside overlay)\n"
      "  Quit         : {}\n"
      "\n"
      "Switch focus to any app, then press a leader.\n",
      VANTRO_VERSION, hotkeys.pick_element, hotkeys.pick_window,
      with_tray ? "Tray menu \u2192 Quit, or `vantro --close`" : "`vantro --close`");
}

}  // namespace vantro::dispatch
