// The program's two global hotkeys: registration of the configured chords, the drain of
// hotkey events into actions, and unregistration at shutdown.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "config/config.h"
#include "core/actions.h"
#include "core/error.h"
#include "hotkey/hotkey_failure.h"
#include "hotkey/registration.h"
#include "windows/hotkey_window.h"

namespace vantro::windows {

class HotkeyRegistrar {
 public:
  // An empty registrar with its hidden window on the calling thread.
  [[nodiscard]] static Result<HotkeyRegistrar> create();

  // Registers one parsed chord for an action; on failure nothing is stored.
  [[nodiscard]] Result<void> register_chord(std::uint32_t modifiers, std::uint8_t code, Action action);

  // The actions of the hotkeys pressed since the last call, in arrival order; never blocks.
  [[nodiscard]] std::vector<Action> drain_actions();

  [[nodiscard]] HWND hwnd() const { return window_.hwnd(); }
  [[nodiscard]] const std::vector<hotkey::HotKey>& registered() const { return registered_; }

  HotkeyRegistrar(HotkeyRegistrar&&) noexcept = default;
  HotkeyRegistrar& operator=(HotkeyRegistrar&& other) noexcept;
  HotkeyRegistrar(const HotkeyRegistrar&) = delete;
  HotkeyRegistrar& operator=(const HotkeyRegistrar&) = delete;
  // Unregisters every hotkey in registration order, then destroys the window.
  ~HotkeyRegistrar();

 private:
  explicit HotkeyRegistrar(HotkeyWindow window) : window_(std::move(window)) {}
  void release() noexcept;

  HotkeyWindow window_;
  std::vector<hotkey::HotKey> registered_;
  std::unordered_map<std::uint32_t, Action> actions_;
};

// Parses and registers both configured chords, pick element's first; both are always
// attempted. Returns one failure per chord that did not parse or register.
[[nodiscard]] std::vector<hotkey::HotkeyFailure> register_hotkeys(HotkeyRegistrar& registrar,
                                                                  const config::HotkeyBindings& bindings);

}  // namespace vantro::windows
