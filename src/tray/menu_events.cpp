#include "tray/menu_events.h"

#include <deque>
#include <mutex>
#include <utility>

namespace vantro::tray {
namespace {

struct Channel {
  std::mutex mutex;
  std::deque<MenuEvent> queue;
};

Channel& channel() {
  static Channel instance;
  return instance;
}

}  // namespace

void send_menu_event(MenuEvent event) {
  Channel& c = channel();
  const std::lock_guard lock(c.mutex);
  c.queue.push_back(std::move(event));
}

std::optional<MenuEvent> try_receive_menu_event() {
  Channel& c = channel();
  const std::lock_guard lock(c.mutex);
  if (c.queue.empty()) return std::nullopt;
  MenuEvent event = std::move(c.queue.front());
  c.queue.pop_front();
  return event;
}

std::vector<MenuEvent> receive_pending_menu_events() {
  std::vector<MenuEvent> events;
  while (auto event = try_receive_menu_event()) events.push_back(std::move(*event));
  return events;
}

}  // namespace vantro::tray
