// The letters typed on an open overlay and what each key does to them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantro::overlay {

// Virtual-key codes the overlay reacts to (the same numbers as on Windows).
inline constexpr std::uint32_t kKeyBackspace = 0x08;
inline constexpr std::uint32_t kKeyEscape = 0x1B;
inline constexpr std::uint32_t kKeyA = 0x41;
inline constexpr std::uint32_t kKeyZ = 0x5A;

namespace key_outcome {
struct Ignored {};    // nothing changes, no repaint
struct Repaint {};    // the painted badges may have changed
struct Cancelled {};  // close the overlay without a choice
struct Chosen {       // close the overlay with this target chosen
  std::size_t index;
  friend bool operator==(const Chosen&, const Chosen&) = default;
};
inline bool operator==(Ignored, Ignored) {
  return true;
}
inline bool operator==(Repaint, Repaint) {
  return true;
}
inline bool operator==(Cancelled, Cancelled) {
  return true;
}
}  // namespace key_outcome

using KeyOutcome =
    std::variant<key_outcome::Ignored, key_outcome::Repaint, key_outcome::Cancelled, key_outcome::Chosen>;

class TypedSelection {
 public:
  explicit TypedSelection(std::vector<std::string> labels) : labels_(std::move(labels)) {}

  // One key press by virtual-key code; modifiers play no part.
  [[nodiscard]] KeyOutcome press(std::uint32_t key);

  // Whether the badge with this label is painted for what has been typed so far.
  [[nodiscard]] bool shows(std::string_view label) const { return label.starts_with(typed_); }
  [[nodiscard]] bool shows(std::size_t index) const { return shows(labels_.at(index)); }

  [[nodiscard]] const std::string& typed() const { return typed_; }

 private:
  std::vector<std::string> labels_;
  std::string typed_;  // lower-case a to z only
};

}  // namespace vantro::overlay
