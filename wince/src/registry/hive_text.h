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
#pragma once

#include <string>
#include <string_view>

#include "registry/hive.h"

namespace wce::registry {

struct ParseError {
  int line = 0;  // 1-based; 0 when the error is not tied to a line
  std::string reason;
};

// Reads a whole hive file (CRLF line ends and a UTF-8 BOM allowed). On failure
// `hive` is left empty and `error` says where and why.
bool ParseHiveText(std::string_view bytes, Hive& hive, ParseError& error);

// The hive as file text: keys sorted case-insensitively, values by name, so
// the same contents always give the same bytes.
std::string HiveToText(const Hive& hive);

}  // namespace wce::registry
