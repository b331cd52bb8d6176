// Splitting a line of a device text file (replay recordings, scripts) into
// its blank-separated fields.
#pragma once

#include <string_view>
#include <vector>

namespace wce {

inline std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    size_t start = line.find_first_not_of(" \t\r", i);
    if (start == std::string_view::npos) break;
    size_t end = line.find_first_of(" \t\r", start);
    if (end == std::string_view::npos) end = line.size();
    fields.push_back(line.substr(start, end - start));
    i = end;
  }
  return fields;
}

}  // namespace wce
