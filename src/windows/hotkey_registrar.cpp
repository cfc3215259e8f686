#include "windows/hotkey_registrar.h"

#include <fmt/format.h>

#include <string_view>
#include <utility>

#include "hotkey/chord.h"
#include "logging/log.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kTarget = "vantro::windows::hotkey";

void register_one(HotkeyRegistrar& registrar, const std::string& chord_text, Action action,
                  std::vector<hotkey::HotkeyFailure>& failures) {
  const Result<hotkey::Chord> chord = hotkey::parse_hotkey(chord_text);
  if (!chord) {
    VANTRO_LOG(log::Level::Warn, kTarget, "hotkey parse failed", log::display("action", debug_name(action)),
               log::display("chord", chord_text), log::debug("error", chord.error()));
    failures.push_back({chord_text, hotkey::HotkeyError::invalid_chord(chord.error().plain()), action});
    return;
  }
  const Result<void> registered = registrar.register_chord(chord->modifiers, chord->code, action);
  if (!registered) {
    VANTRO_LOG(log::Level::Warn, kTarget, "hotkey registration failed",
               log::display("action", debug_name(action)), log::display("chord", chord_text),
               log::debug("error", registered.error()));
    failures.push_back({chord_text, hotkey::HotkeyError::already_in_use(), action});
  }
}

}  // namespace

Result<HotkeyRegistrar> HotkeyRegistrar::create() {
  Result<HotkeyWindow> window = HotkeyWindow::create();
  if (!window) return fail(std::move(window.error()).context("creating GlobalHotKeyManager failed"));
  return HotkeyRegistrar(std::move(*window));
}

Result<void> HotkeyRegistrar::register_chord(std::uint32_t modifiers, std::uint8_t code, Action action) {
  const hotkey::HotKey hotkey = hotkey::make_hotkey(modifiers, code);
  Result<void> registered = window_.register_hotkey(hotkey);
  if (!registered)
    return fail(
        std::move(registered.error()).context(fmt::format("registering hotkey for {}", debug_name(action))));
  VANTRO_LOG(log::Level::Info, kTarget, "hotkey registered",
             log::display("modifiers", hotkey::modifiers_debug(modifiers)),
             log::display("code", hotkey::key_name(code)), log::display("action", debug_name(action)),
             log::display("id", hotkey.id));
  actions_.insert_or_assign(hotkey.id, action);
  registered_.push_back(hotkey);
  return {};
}

std::vector<Action> HotkeyRegistrar::drain_actions() {
  std::vector<Action> actions;
  while (const std::optional<HotkeyEvent> event = hotkey_events().try_receive()) {
    if (event->state != HotkeyState::Pressed) continue;
    const auto found = actions_.find(event->id);
    if (found != actions_.end()) actions.push_back(found->second);
  }
  return actions;
}

HotkeyRegistrar& HotkeyRegistrar::operator=(HotkeyRegistrar&& other) noexcept {
  if (this != &other) {
    release();
    window_ = std::move(other.window_);
    registered_ = std::move(other.registered_);
    actions_ = std::move(other.actions_);
  }
  return *this;
}

HotkeyRegistrar::~HotkeyRegistrar() {
  release();
}

void HotkeyRegistrar::release() noexcept {
  if (!window_) return;
  const std::vector<hotkey::HotKey> registered = std::exchange(registered_, {});
  for (const hotkey::HotKey& hotkey : registered) {
    const Result<void> unregistered = window_.unregister_hotkey(hotkey);
    if (!unregistered)
      VANTRO_LOG(log::Level::Warn, kTarget, "failed to unregister hotkey",
                 log::display("error", unregistered.error().plain()));
  }
  window_ = {};
  actions_.clear();
}

std::vector<hotkey::HotkeyFailure> register_hotkeys(HotkeyRegistrar& registrar,
                                                    const config::HotkeyBindings& bindings) {
  std::vector<hotkey::HotkeyFailure> failures;
  register_one(registrar, bindings.pick_element, Action::PickElement, failures);
  register_one(registrar, bindings.pick_window, Action::PickWindow, failures);
  return failures;
}

}  // namespace vantro::windows
