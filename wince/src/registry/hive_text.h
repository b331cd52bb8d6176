// The hive file's text: a Windows .reg export in UTF-8.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\Software\Marrowfen\Jostlepad\Settings]
//   "SoundSlot1Name"="Bell.wav"
//   "SensitivityX"=dword:0000000a
//
// Texts escape \ and " as \\ and \". A text with characters a quoted line
// cannot carry (CR, LF and other control characters) is written as hex(1):
// its UTF-16LE bytes and a terminating 00,00, so every value round-trips.
// Values of the other types come as regedit exports them, "hex:01,02" for
// binary and "hex(7):..." with the type number for the rest, wrapped after
// ",\" onto indented lines; they are kept as type and bytes and written back
// the same way (the tag in regedit's spelling, the lines wrapped as regedit
// wraps them).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "registry/hive.h"

namespace wce::registry {

struct ParseError {
  int line = 0;  // 1-based; 0 when the error is not tied to a line
  std::string reason;
};

// Reads a whole hive file (CRLF line ends and a UTF-8 BOM allowed). False,
// with `hive` left empty and `error` saying where and why, only for a file that
// is no hive at all: no header, or binary data. A line that cannot be read is
// left out and listed in `skipped` (when given), and the rest still loads; a
// section whose key line is bad loses the values under it with one report.
bool ParseHiveText(std::string_view bytes, Hive& hive, ParseError& error,
                   std::vector<ParseError>* skipped = nullptr);

// The hive as file text: keys sorted case-insensitively, values by name, so
// the same contents always give the same bytes.
std::string HiveToText(const Hive& hive);

}  // namespace wce::registry
