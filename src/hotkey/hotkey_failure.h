// A chord that could not be put to work, and the warning that lists such chords.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/actions.h"

namespace vantro::hotkey {

class HotkeyError {
 public:
  enum class Kind : std::uint8_t { AlreadyInUse, InvalidChord };

  [[nodiscard]] static HotkeyError already_in_use() { return HotkeyError(Kind::AlreadyInUse, {}); }
  // `message`: the plain form of the parse error.
  [[nodiscard]] static HotkeyError invalid_chord(std::string message) {
    return HotkeyError(Kind::InvalidChord, std::move(message));
  }

  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] const std::string& message() const { return message_; }
  // "already in use by another application" or "invalid chord ({message})".
  [[nodiscard]] std::string display() const;

  friend bool operator==(const HotkeyError&, const HotkeyError&) = default;

 private:
  HotkeyError(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
  Kind kind_;
  std::string message_;
};

struct HotkeyFailure {
  std::string chord;  // as configured, untrimmed
  HotkeyError error;
  Action action;
  friend bool operator==(const HotkeyFailure&, const HotkeyFailure&) = default;
};

inline constexpr std::string_view kConflictTitle = "vantro: hotkey conflict";

// The body of the warning box: one bullet line per failure, in list order.
[[nodiscard]] std::string conflict_message(std::span<const HotkeyFailure> failures);

}  // namespace vantro::hotkey
