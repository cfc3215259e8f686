#include "app/placeholders.h"

namespace vantro::app {

Result<void> run_pick_element(windows::UiaClient&, const PickContext&) {
  return fail(
      "pick element is not available in this build: the pick-element action and element activation are "
      "missing");
}

Result<void> run_pick_window(const PickContext&) {
  return fail("pick window is not available in this build: the pick-window action is missing");
}

}  // namespace vantro::app
