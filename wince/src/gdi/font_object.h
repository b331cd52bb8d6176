// A font handle's content. The stock system font is the only one so far;
// faces, sizes and rendering come with text drawing.
#pragma once

namespace wce::gdi {

struct Font {
  bool system = true;
};

}  // namespace wce::gdi
