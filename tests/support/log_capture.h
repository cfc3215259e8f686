// A subscriber for tests: keeps every event it is given, with its fields, and lets through
// everything up to a chosen level.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "logging/log.h"

namespace vantro::test_support {

struct CapturedEvent {
  log::Level level;
  std::string target;
  std::string message;
  std::vector<std::pair<std::string, std::string>> fields;

  [[nodiscard]] const std::string* field(std::string_view name) const {
    for (const auto& [key, value] : fields)
      if (key == name) return &value;
    return nullptr;
  }
};

class CaptureSubscriber final : public log::Subscriber {
 public:
  CaptureSubscriber(std::vector<CapturedEvent>& sink, log::Level max) : sink_(sink), max_(max) {}
  std::optional<log::Level> max_level() const override { return max_; }
  bool enabled(log::Level level, std::string_view) const override { return level <= max_; }
  void record(const log::Event& event) override {
    CapturedEvent captured{event.level, std::string(event.target), std::string(event.message), {}};
    for (const auto& field : event.fields) captured.fields.emplace_back(field.name, field.value);
    sink_.push_back(std::move(captured));
  }

 private:
  std::vector<CapturedEvent>& sink_;
  log::Level max_;
};

// Captures the events recorded while it lives.
class LogCapture {
 public:
  explicit LogCapture(log::Level max = log::Level::Trace)
      : scope_(std::make_unique<CaptureSubscriber>(events_, max)) {}

  [[nodiscard]] const std::vector<CapturedEvent>& events() const { return events_; }
  [[nodiscard]] const CapturedEvent* find(std::string_view message) const {
    auto it = std::find_if(events_.begin(), events_.end(),
                           [&](const CapturedEvent& e) { return e.message == message; });
    return it == events_.end() ? nullptr : &*it;
  }

 private:
  std::vector<CapturedEvent> events_;
  log::ScopedSubscriberForTests scope_;
};

}  // namespace vantro::test_support
