#include "windows/gdi.h"

#include <atomic>

namespace vantro::windows {
namespace {
std::atomic<long> g_live_gdi_objects{0};
}

long live_gdi_objects() noexcept {
  return g_live_gdi_objects.load();
}

void detail::count_gdi_object(long delta) noexcept {
  g_live_gdi_objects.fetch_add(delta);
}

}  // namespace vantro::windows
