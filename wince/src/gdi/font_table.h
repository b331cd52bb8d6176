// Face names to font files without fontconfig (the browser has none): the
// files fontconfig picks from DejaVu's core set for the faces the program
// asks for, so both draw the same glyphs.
#pragma once

#include <windows.h>

#include <string_view>

#include "gdi/font_face.h"

namespace wce::gdi {

// Where the DejaVu files are, on Debian and in the browser's file system alike.
inline constexpr const char kDejaVuDir[] = "/usr/share/fonts/truetype/dejavu/";

// Every face falls back to DejaVu Sans, as fontconfig's sans-serif does for
// names it does not know; weights from halfway between medium (500) and
// semibold (600) and up take the bold file, the nearer of the two.
FontMatch MatchFontFromTable(std::wstring_view face, LONG weight, bool italic);

}  // namespace wce::gdi
