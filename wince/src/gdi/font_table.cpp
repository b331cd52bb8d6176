#include "gdi/font_table.h"

#include <string>

namespace wce::gdi {

FontMatch MatchFontFromTable(std::wstring_view, LONG weight, bool) {
  // fontconfig weighs 500 as 100 and 600 as 180; Book is 80 and Bold 200,
  // so below 550 Book is nearer (a tie goes to Bold). No oblique file in
  // the core set: upright.
  constexpr LONG kBoldFrom = 550;
  FontMatch match;
  match.path = std::string(kDejaVuDir) + (weight >= kBoldFrom ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
  return match;
}

}  // namespace wce::gdi
