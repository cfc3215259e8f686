#include "overlay/typed_selection.h"

#include <algorithm>

namespace vantro::overlay {

KeyOutcome TypedSelection::press(std::uint32_t key) {
  if (key == kKeyBackspace) {
    if (!typed_.empty()) typed_.pop_back();
    return key_outcome::Repaint{};
  }
  if (key == kKeyEscape) return key_outcome::Cancelled{};
  if (key < kKeyA || key > kKeyZ) return key_outcome::Ignored{};

  typed_.push_back(static_cast<char>(key + 32));
  const auto exact = std::find(labels_.begin(), labels_.end(), typed_);
  if (exact != labels_.end()) return key_outcome::Chosen{static_cast<std::size_t>(exact - labels_.begin())};
  // A dead end starts over: the next letter begins a fresh selection.
  if (std::none_of(labels_.begin(), labels_.end(), [&](const std::string& l) { return shows(l); }))
    typed_.clear();
  return key_outcome::Repaint{};
}

}  // namespace vantro::overlay
