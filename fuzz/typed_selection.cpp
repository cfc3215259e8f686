// The overlay's typed selection over random key sequences.
//
// Input: one byte of label count, a line with the hint alphabet (labels come from
// HintGenerator, as in a pick), one byte choosing a label to type in full at the end, then one
// byte per key press (virtual-key codes 0-255).
#include <algorithm>

#include "fuzz_support.h"
#include "hint/hint_generator.h"
#include "overlay/typed_selection.h"

using namespace vantro::overlay;

namespace {

bool lower_letters_only(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantro::fuzz::Input input(data, size);
  const std::size_t count = input.byte();
  const vantro::hint::HintGenerator generator(input.line());
  const std::vector<std::string> labels = generator.generate(count);
  const std::size_t pick = input.byte();

  TypedSelection selection(labels);
  const auto first_index_of = [&](std::string_view label) {
    return static_cast<std::size_t>(std::find(labels.begin(), labels.end(), label) - labels.begin());
  };
  const auto any_shows = [&] {
    return std::any_of(labels.begin(), labels.end(),
                       [&](const std::string& l) { return selection.shows(l); });
  };

  while (!input.empty()) {
    const std::uint32_t key = input.byte();
    const std::string before = selection.typed();
    const KeyOutcome outcome = selection.press(key);
    VANTRO_FUZZ_CHECK(lower_letters_only(selection.typed()));

    if (key == kKeyEscape) {
      VANTRO_FUZZ_CHECK(std::holds_alternative<key_outcome::Cancelled>(outcome));
      return 0;
    }
    if (key == kKeyBackspace) {
      VANTRO_FUZZ_CHECK(std::holds_alternative<key_outcome::Repaint>(outcome));
      VANTRO_FUZZ_CHECK(selection.typed() == (before.empty() ? before : before.substr(0, before.size() - 1)));
      continue;
    }
    if (key < kKeyA || key > kKeyZ) {
      VANTRO_FUZZ_CHECK(std::holds_alternative<key_outcome::Ignored>(outcome));
      VANTRO_FUZZ_CHECK(selection.typed() == before);
      continue;
    }
    const std::string attempt = before + static_cast<char>(key + 32);
    if (const auto* chosen = std::get_if<key_outcome::Chosen>(&outcome)) {
      // The first label, lowest index first, equal to what was typed.
      VANTRO_FUZZ_CHECK(chosen->index < labels.size());
      VANTRO_FUZZ_CHECK(labels[chosen->index] == attempt && chosen->index == first_index_of(attempt));
      return 0;
    }
    VANTRO_FUZZ_CHECK(std::holds_alternative<key_outcome::Repaint>(outcome));
    VANTRO_FUZZ_CHECK(first_index_of(attempt) == labels.size());
    // Either some badge still shows for the typed letters, or a dead end started over.
    if (selection.typed().empty()) {
      VANTRO_FUZZ_CHECK(std::none_of(labels.begin(), labels.end(),
                                     [&](const std::string& l) { return l.starts_with(attempt); }));
    } else {
      VANTRO_FUZZ_CHECK(selection.typed() == attempt && any_shows());
    }
  }

  // Whatever was typed before, a label of letters a-z typed in full (after clearing with
  // Backspace) chooses the first target with that label.
  if (labels.empty()) return 0;
  const std::string& label = labels[pick % labels.size()];
  if (!lower_letters_only(label)) return 0;
  while (!selection.typed().empty()) (void)selection.press(kKeyBackspace);
  for (std::size_t i = 0; i < label.size(); ++i) {
    const KeyOutcome outcome = selection.press(static_cast<std::uint32_t>(label[i] - 32));
    if (i + 1 < label.size()) {
      VANTRO_FUZZ_CHECK(std::holds_alternative<key_outcome::Repaint>(outcome));
    } else {
      const auto* chosen = std::get_if<key_outcome::Chosen>(&outcome);
      VANTRO_FUZZ_CHECK(chosen != nullptr && chosen->index == first_index_of(label));
    }
  }
  return 0;
}
