// Structured events: a level, a target naming the module, a message and named fields.
//
//   VANTRO_LOG(log::Level::Info, "vantro", "vantro starting", log::display("version", v));
//
// The fields are formatted only when the installed subscriber lets the event through.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include <fmt/format.h>

#include "core/error.h"
#include "core/text.h"

namespace vantro::log {

// Ordered from the least to the most verbose.
enum class Level : std::uint8_t { Error = 1, Warn = 2, Info = 3, Debug = 4, Trace = 5 };

struct Field {
  std::string_view name;
  std::string value;  // already in the form chosen at the call site
};

struct Event {
  Level level;
  std::string_view target;
  std::string_view message;
  std::span<const Field> fields;
  std::chrono::system_clock::time_point time;
};

// Receives the events of the process; the pipeline of init_logging is one.
class Subscriber {
 public:
  virtual ~Subscriber() = default;
  // The most verbose level any event may have to pass; nothing passes when empty.
  [[nodiscard]] virtual std::optional<Level> max_level() const = 0;
  [[nodiscard]] virtual bool enabled(Level level, std::string_view target) const = 0;
  virtual void record(const Event& event) = 0;
};

// Installs the process-wide subscriber; false when one is installed already.
[[nodiscard]] bool set_global_subscriber(std::unique_ptr<Subscriber> subscriber);

// Whether an event of this level and target would be written.
[[nodiscard]] bool enabled(Level level, std::string_view target) noexcept;

void emit(Level level, std::string_view target, std::string_view message,
          std::span<const Field> fields) noexcept;

// Debug form of a value: strings quoted with escapes, error values in their debug form,
// anything else as its display form. Modules add overloads for their own types.
[[nodiscard]] inline std::string debug_text(std::string_view s) { return text::debug_quoted(s); }
[[nodiscard]] inline std::string debug_text(const std::string& s) { return text::debug_quoted(s); }
[[nodiscard]] inline std::string debug_text(const char* s) { return text::debug_quoted(s); }
[[nodiscard]] inline std::string debug_text(std::u16string_view s) { return text::debug_quoted(s); }
[[nodiscard]] inline std::string debug_text(const Error& e) { return e.debug(); }
[[nodiscard]] inline std::string debug_text(bool b) { return b ? "true" : "false"; }
template <class T>
  requires std::is_arithmetic_v<T>
[[nodiscard]] std::string debug_text(T value) {
  return fmt::format("{}", value);
}

template <class T>
[[nodiscard]] Field display(std::string_view name, const T& value) {
  if constexpr (std::is_same_v<T, bool>) {
    return {name, value ? "true" : "false"};
  } else {
    return {name, fmt::format("{}", value)};
  }
}

template <class T>
[[nodiscard]] Field debug(std::string_view name, const T& value) {
  return {name, debug_text(value)};
}

// Only for the pipeline's own tests: swaps the process-wide subscriber and restores the
// previous one when the scope ends.
class ScopedSubscriberForTests {
 public:
  explicit ScopedSubscriberForTests(std::unique_ptr<Subscriber> subscriber);
  ~ScopedSubscriberForTests();
  ScopedSubscriberForTests(const ScopedSubscriberForTests&) = delete;
  ScopedSubscriberForTests& operator=(const ScopedSubscriberForTests&) = delete;

 private:
  std::unique_ptr<Subscriber> previous_;
};

}  // namespace vantro::log

#define VANTRO_LOG(level, target, message, ...)                                   \
  do {                                                                            \
    if (::vantro::log::enabled((level), (target))) {                              \
      const ::vantro::log::Field vantro_log_fields_[] = {__VA_ARGS__};            \
      ::vantro::log::emit((level), (target), (message), vantro_log_fields_);      \
    }                                                                             \
  } while (false)

// For events that carry only their message.
#define VANTRO_LOG_MSG(level, target, message)                                    \
  do {                                                                            \
    if (::vantro::log::enabled((level), (target))) {                              \
      ::vantro::log::emit((level), (target), (message), {});                      \
    }                                                                             \
  } while (false)
