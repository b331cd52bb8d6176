#include "gdi/font_table.h"

#include <string>

namespace wce::gdi {

FontMatch MatchFontFromTable(std::wstring_view, LONG weight, bool) {
  // fontconfig weighs 500 as 100 and 600 as 180; Book is 80 and Bold 200,
  // so up to 550 Book is nearer. No oblique file in the core set: upright.
  constexpr LONG kBoldFrom = 551;
  FontMatch match;
  match.path = std::string(kDejaVuDir) + (weight >= kBoldFrom ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
  return match;
}

}  // namespace wce::gdi
