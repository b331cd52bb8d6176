// Fixed and replayed accelerometer readings, and the fields of a line of text.
#include "device/device.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace wce {

namespace {

enum class Number { Ok, Malformed, OutOfRange };

// The whole field as one decimal number of type T.
template <class T>
Number ParseNumber(std::string_view field, T& value) {
  const char* end = field.data() + field.size();
  std::from_chars_result r = std::from_chars(field.data(), end, value);
  if (r.ptr != end) return Number::Malformed;
  if (r.ec == std::errc::result_out_of_range) return Number::OutOfRange;
  return r.ec == std::errc() ? Number::Ok : Number::Malformed;
}

std::string AtLine(size_t line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

// One reading from a line that is not blank; a message on failure.
bool ParseReading(const std::vector<std::string_view>& fields, size_t line, ReplaySensorSource::Reading& out,
                  std::string& error) {
  if (fields.size() != 4) {
    error = AtLine(line, "expected '<ms> <x> <y> <z>', found " + std::to_string(fields.size()) + " fields");
    return false;
  }
  Number time = ParseNumber(fields[0], out.ms);
  if (time != Number::Ok) {
    error = AtLine(line, "time '" + std::string(fields[0]) +
                             (time == Number::Malformed ? "' is not a whole number of milliseconds" : "' is too large"));
    return false;
  }
  static const char* const kAxes[3] = {"x", "y", "z"};
  int16_t* axes[3] = {&out.x, &out.y, &out.z};
  for (int a = 0; a < 3; ++a) {
    std::string_view field = fields[1 + a];
    long long value = 0;
    Number parsed = ParseNumber(field, value);
    if (parsed == Number::Malformed) {
      error = AtLine(line, std::string(kAxes[a]) + " value '" + std::string(field) + "' is not an integer");
      return false;
    }
    if (parsed == Number::OutOfRange || value < INT16_MIN || value > INT16_MAX) {
      error = AtLine(line, std::string(kAxes[a]) + " value " + std::string(field) + " is outside -32768..32767");
      return false;
    }
    *axes[a] = static_cast<int16_t>(value);
  }
  return true;
}

}  // namespace

std::vector<std::string_view> SplitFields(std::string_view line) {
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

void FixedSensorSource::Set(int16_t x, int16_t y, int16_t z) {
  std::lock_guard<std::mutex> lock(mutex_);
  x_ = x;
  y_ = y;
  z_ = z;
}

bool FixedSensorSource::Read(int16_t& x, int16_t& y, int16_t& z) {
  std::lock_guard<std::mutex> lock(mutex_);
  x = x_;
  y = y_;
  z = z_;
  return true;
}

bool ReplaySensorSource::Load(const std::string& posixPath, std::string& error) {
  std::ifstream in(posixPath, std::ios::binary);
  if (!in) {
    error = "cannot open " + posixPath;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "cannot read " + posixPath;
    return false;
  }
  return Parse(text.str(), error);
}

bool ReplaySensorSource::Parse(std::string_view text, std::string& error) {
  std::vector<Reading> readings;
  size_t lineNumber = 0;
  while (!text.empty()) {
    size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    ++lineNumber;
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> fields = SplitFields(line);
    if (fields.empty()) continue;
    Reading reading{};
    if (!ParseReading(fields, lineNumber, reading, error)) return false;
    if (!readings.empty() && reading.ms < readings.back().ms) {
      error = AtLine(lineNumber, "time " + std::to_string(reading.ms) + " comes before the previous reading's " +
                                     std::to_string(readings.back().ms));
      return false;
    }
    readings.push_back(reading);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  readings_ = std::move(readings);
  return true;
}

bool ReplaySensorSource::Read(int16_t& x, int16_t& y, int16_t& z) {
  uint64_t now = ClockNowMs();
  std::lock_guard<std::mutex> lock(mutex_);
  // The last reading at or before now; equal times: the later line wins.
  auto after = std::upper_bound(readings_.begin(), readings_.end(), now,
                                [](uint64_t t, const Reading& r) { return t < r.ms; });
  if (after == readings_.begin()) {
    x = y = z = 0;
  } else {
    const Reading& r = *(after - 1);
    x = r.x;
    y = r.y;
    z = r.z;
  }
  return true;
}

}  // namespace wce
