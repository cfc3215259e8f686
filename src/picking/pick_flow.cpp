#include "picking/pick_flow.h"

namespace vantro::picking {

std::vector<overlay::OverlayTarget> element_targets(std::span<const ElementInfo> elements,
                                                    std::span<const std::string> labels) {
  std::vector<overlay::OverlayTarget> targets;
  targets.reserve(elements.size());
  for (std::size_t i = 0; i < elements.size() && i < labels.size(); ++i) {
    const ElementInfo& e = elements[i];
    targets.push_back(overlay::OverlayTarget{labels[i], std::nullopt, e.x, e.y, e.width, e.height});
  }
  return targets;
}

Result<void> pick_element(ElementPickSteps& steps, const hint::HintGenerator& hints) {
  auto elements = steps.enumerate_foreground();
  if (!elements) return fail(std::move(elements.error()));
  if (elements->empty()) {
    VANTRO_LOG_MSG(log::Level::Info, kPickLogTarget, "no interactable elements in foreground window");
    steps.notify("vantro", kNoElementsText, NotificationLevel::Info);
    return {};
  }

  const std::vector<std::string> labels = hints.generate(elements->size());
  const std::vector<overlay::OverlayTarget> targets = element_targets(*elements, labels);
  VANTRO_LOG(log::Level::Info, kPickLogTarget, "showing element overlay",
             log::display("count", targets.size()));

  auto chosen = steps.run_overlay(targets);
  if (!chosen) return fail(std::move(chosen.error()));
  if (!chosen->has_value()) {
    VANTRO_LOG_MSG(log::Level::Info, kPickLogTarget, "element overlay cancelled");
    return {};
  }
  if (**chosen >= elements->size()) return fail("overlay chose a target outside its list");

  const ElementInfo& element = (*elements)[**chosen];
  VANTRO_LOG(log::Level::Info, kPickLogTarget, "element selected \u2014 invoking",
             log::debug("id", element.id), log::debug("role", element.role));
  if (auto performed = steps.perform(element.id); !performed)
    VANTRO_LOG(log::Level::Warn, kPickLogTarget, "perform failed", log::debug("error", performed.error()));
  return {};
}

}  // namespace vantro::picking
