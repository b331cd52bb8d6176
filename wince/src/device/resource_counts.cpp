#include "device/device.h"

#include <utility>

#include "audio/wave_out_driver.h"
#include "gdi/dc.h"
#include "gdi/objects.h"
#include "kernel/thread.h"
#include "user/user_state.h"

namespace wce {

ResourceCounts CountResources() {
  ResourceCounts c;
  gdi::ObjectCounts objects = gdi::CountObjects();
  c.gdi = objects.Total();
  c.bitmaps = objects.bitmaps;
  c.brushes = objects.brushes;
  c.pens = objects.pens;
  c.fonts = objects.fonts;
  c.dcs = gdi::DCCount();
  c.windows = user::WindowCount();
  c.timers = user::TimerCount();
  c.waveOuts = audio::Driver().OpenCount();
  c.threads = LiveThreadCount();
  return c;
}

std::string FormatResourceCounts(const ResourceCounts& c) {
  // The totals first, in the order tools expect; the GDI kinds after them.
  const std::pair<const char*, size_t> fields[] = {
      {"gdi", c.gdi},          {"dc", c.dcs},           {"windows", c.windows}, {"timers", c.timers},
      {"wave", c.waveOuts},    {"threads", c.threads},  {"bitmaps", c.bitmaps}, {"brushes", c.brushes},
      {"pens", c.pens},        {"fonts", c.fonts},
  };
  std::string text;
  for (const auto& [name, value] : fields) {
    if (!text.empty()) text += ' ';
    text += name;
    text += '=';
    text += std::to_string(value);
  }
  return text;
}

}  // namespace wce
