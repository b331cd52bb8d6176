// Fuzz target: the hive file reader. Every refusal and every skipped line says
// where and why; whatever it accepts must write back as text that reads, with
// no line skipped, to the same hive and writes the very same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "registry/hive_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace wce::registry;
  Hive hive;
  ParseError error;
  std::vector<ParseError> skipped;
  if (!ParseHiveText(std::string_view(reinterpret_cast<const char*>(data), size), hive, error, &skipped)) {
    // A refusal must say where, or the device's message would be useless.
    if (error.line < 1 || error.reason.empty()) std::abort();
    return 0;
  }
  for (const ParseError& line : skipped)
    if (line.line < 1 || line.reason.empty()) std::abort();
  std::string text = HiveToText(hive);
  Hive again;
  skipped.clear();
  if (!ParseHiveText(text, again, error, &skipped) || !skipped.empty()) std::abort();
  if (!(again == hive)) std::abort();
  if (HiveToText(again) != text) std::abort();
  return 0;
}
