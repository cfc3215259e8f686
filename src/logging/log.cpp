#include "logging/log.h"

#include <atomic>

namespace vantro::log {
namespace {

std::unique_ptr<Subscriber>& global_subscriber() {
  static std::unique_ptr<Subscriber> subscriber;
  return subscriber;
}

// 0 = nothing passes; otherwise the numeric value of the most verbose level that can pass.
std::atomic<std::uint8_t> g_max_level{0};

void publish_max_level() {
  const auto& subscriber = global_subscriber();
  const auto level = subscriber ? subscriber->max_level() : std::nullopt;
  g_max_level.store(level ? static_cast<std::uint8_t>(*level) : 0, std::memory_order_release);
}

}  // namespace

bool set_global_subscriber(std::unique_ptr<Subscriber> subscriber) {
  auto& slot = global_subscriber();
  if (slot) return false;
  slot = std::move(subscriber);
  publish_max_level();
  return true;
}

bool enabled(Level level, std::string_view target) noexcept {
  // One comparison drops the event before the subscriber's directives are consulted.
  if (static_cast<std::uint8_t>(level) > g_max_level.load(std::memory_order_acquire)) return false;
  const auto& subscriber = global_subscriber();
  return subscriber && subscriber->enabled(level, target);
}

void emit(Level level, std::string_view target, std::string_view message,
          std::span<const Field> fields) noexcept {
  auto& subscriber = global_subscriber();
  if (!subscriber) return;
  try {
    subscriber->record(Event{level, target, message, fields, std::chrono::system_clock::now()});
  } catch (...) {
    // A subscriber that throws loses the event; the program goes on.
  }
}

ScopedSubscriberForTests::ScopedSubscriberForTests(std::unique_ptr<Subscriber> subscriber)
    : previous_(std::move(global_subscriber())) {
  global_subscriber() = std::move(subscriber);
  publish_max_level();
}

ScopedSubscriberForTests::~ScopedSubscriberForTests() {
  global_subscriber() = std::move(previous_);
  publish_max_level();
}

}  // namespace vantro::log
