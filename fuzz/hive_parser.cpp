// Fuzz target: the hive file reader. Whatever it accepts must write back as
// text that reads to the same hive and writes the very same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "registry/hive_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wce::registry;
  Hive hive;
  ParseError error;
  if (!ParseHiveText(std::string_view(reinterpret_cast<const char*>(data), size), hive, error)) {
    // A refusal must say where, or the device's message would be useless.
    if (error.line < 1 || error.reason.empty()) std::abort();
    return 0;
  }
  std::string text = HiveToText(hive);
  Hive again;
  if (!ParseHiveText(text, again, error)) std::abort();
  if (!(again == hive)) std::abort();
  if (HiveToText(again) != text) std::abort();
  return 0;
}
