// A Linux IIO accelerometer read from sysfs.
#include "iio_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace jphost {

namespace {

constexpr double kStandardGravity = 9.80665;  // m/s^2 in 1 g
constexpr const char* kAxisNames[3] = {"x", "y", "z"};

std::string_view Trim(std::string_view text) {
  size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return std::string_view();
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(start, end - start + 1);
}

// A sysfs attribute is one short line; read it whole, in one go, as the
// kernel hands it out. False with the reason when it cannot be read.
bool ReadAttribute(const std::string& path, std::string& text, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::generic_category().message(errno);
    return false;
  }
  char buffer[256];
  ssize_t got;
  do {
    got = ::read(fd, buffer, sizeof buffer);
  } while (got < 0 && errno == EINTR);
  int readErrno = errno;
  ::close(fd);
  if (got < 0) {
    error = std::generic_category().message(readErrno);
    return false;
  }
  text.assign(buffer, static_cast<size_t>(got));
  return true;
}

template <class T>
bool ParseWhole(std::string_view text, T& value) {
  text = Trim(text);
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

bool ParseReal(std::string_view text, double& value) { return ParseWhole(text, value) && std::isfinite(value); }

// "a, b, c; d, e, f; g, h, i": three rows of three numbers.
bool ParseMatrix(std::string_view text, std::array<double, 9>& matrix) {
  std::array<double, 9> m{};
  size_t n = 0;
  for (int row = 0; row < 3; ++row) {
    size_t rowEnd = text.find(';');
    if ((row < 2) != (rowEnd != std::string_view::npos)) return false;
    std::string_view line = text.substr(0, rowEnd);
    text.remove_prefix(row < 2 ? rowEnd + 1 : text.size());
    for (int col = 0; col < 3; ++col) {
      size_t comma = line.find(',');
      if ((col < 2) != (comma != std::string_view::npos)) return false;
      if (!ParseReal(line.substr(0, comma), m[n++])) return false;
      line.remove_prefix(col < 2 ? comma + 1 : line.size());
    }
  }
  matrix = m;
  return true;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::string AxisFile(const std::string& folder, int axis, const char* what) {
  return folder + "/in_accel_" + kAxisNames[axis] + "_" + what;
}

// The per-axis attribute when there is one, else the one shared by the axes;
// empty when neither is there.
std::string AxisOrShared(const std::string& folder, int axis, const char* what) {
  std::string own = AxisFile(folder, axis, what);
  if (Exists(own)) return own;
  std::string shared = folder + "/in_accel_" + what;
  return Exists(shared) ? shared : std::string();
}

bool IsAccelerometer(const std::string& folder) {
  for (int axis = 0; axis < 3; ++axis) {
    if (!Exists(AxisFile(folder, axis, "raw")) || AxisOrShared(folder, axis, "scale").empty()) return false;
  }
  return true;
}

// "iio:device2" before "iio:device10".
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    size_t digits = s.find_last_not_of("0123456789") + 1;
    unsigned long number = 0;
    std::from_chars(s.data() + digits, s.data() + s.size(), number);
    return std::make_pair(s.substr(0, digits), number);
  };
  auto ka = split(a), kb = split(b);
  return ka != kb ? ka < kb : a < b;
}

std::string NameOf(const std::string& folder) {
  std::string text, ignored;
  if (!ReadAttribute(folder + "/name", text, ignored)) return std::string();
  return std::string(Trim(text));
}

// One attribute parsed by `parse`; false with a message naming the file.
template <class Parse>
bool ReadParsed(const std::string& path, Parse parse, const char* expected, std::string& error) {
  std::string text, why;
  if (!ReadAttribute(path, text, why)) {
    error = "cannot read " + path + ": " + why;
    return false;
  }
  if (!parse(std::string_view(text))) {
    error = path + " holds '" + std::string(Trim(text)) + "', not " + expected;
    return false;
  }
  return true;
}

int16_t ToInt16(double value) {
  return static_cast<int16_t>(std::clamp(std::lround(value), long{INT16_MIN}, long{INT16_MAX}));
}

}  // namespace

IioSensorSource::IioSensorSource(std::string root, std::string device, Clock now, Report report)
    : root_(std::move(root)), wanted_(std::move(device)), now_(std::move(now)), report_(std::move(report)) {}

bool IioSensorSource::Open(std::string& error) {
  if (!FindDevice(error) || !ReadCalibration(error)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  std::string why;
  if (!ReadAxes(why)) {
    error = Describe() + ": " + why;
    return false;
  }
  readAt_ = now_();
  open_ = true;
  return true;
}

bool IioSensorSource::FindDevice(std::string& error) {
  std::error_code ec;
  std::vector<std::string> entries;
  for (std::filesystem::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec))
    entries.push_back(it->path().filename().string());
  std::sort(entries.begin(), entries.end(), NaturalLess);

  std::string lacking;  // a device asked for by name that is no accelerometer
  for (const std::string& entry : entries) {
    std::string folder = root_ + "/" + entry;
    std::string name = NameOf(folder);
    if (!wanted_.empty() && wanted_ != entry && wanted_ != name) continue;
    if (!IsAccelerometer(folder)) {
      if (lacking.empty()) lacking = entry;
      continue;
    }
    folder_ = folder;
    id_ = entry;
    name_ = name;
    break;
  }
  if (folder_.empty()) {
    if (!lacking.empty() && !wanted_.empty())
      error = "the IIO device " + lacking + " is no accelerometer (no in_accel_x_raw, y, z with a scale)";
    else if (wanted_.empty())
      error = "no IIO accelerometer under " + root_;
    else
      error = "no IIO device called " + wanted_ + " under " + root_;
    return false;
  }
  return true;
}

// Scale and offset per axis, and the mount matrix: fixed while the device lives.
bool IioSensorSource::ReadCalibration(std::string& error) {
  std::string why;
  bool usable = true;
  for (int axis = 0; axis < 3 && usable; ++axis) {
    double& scale = scale_[axis];
    double& offset = offset_[axis];
    usable = ReadParsed(AxisOrShared(folder_, axis, "scale"), [&](std::string_view t) { return ParseReal(t, scale); },
                        "a number", why);
    std::string offsetFile = AxisOrShared(folder_, axis, "offset");
    offset = 0;
    if (usable && !offsetFile.empty())
      usable = ReadParsed(offsetFile, [&](std::string_view t) { return ParseReal(t, offset); }, "a number", why);
  }
  for (const char* file : {"in_accel_mount_matrix", "mount_matrix"}) {
    std::string path = folder_ + "/" + file;
    if (!usable || !Exists(path)) continue;
    usable = ReadParsed(path, [this](std::string_view t) { return ParseMatrix(t, matrix_); }, "'a, b, c; d, e, f; g, h, i'",
                        why);
    break;
  }
  if (!usable) error = Describe() + ": " + why;
  return usable;
}

bool IioSensorSource::ReadAxes(std::string& error) {
  std::array<double, 3> v{};
  for (int axis = 0; axis < 3; ++axis) {
    long long raw = 0;
    if (!ReadParsed(AxisFile(folder_, axis, "raw"), [&raw](std::string_view t) { return ParseWhole(t, raw); },
                    "a whole number", error))
      return false;
    // The IIO rule: (raw + offset) x scale is in m/s^2.
    v[axis] = (static_cast<double>(raw) + offset_[axis]) * scale_[axis];
  }
  // The mount matrix turns the chip's axes into the screen's.
  std::array<double, 3> w{};
  for (int row = 0; row < 3; ++row)
    w[row] = matrix_[row * 3] * v[0] + matrix_[row * 3 + 1] * v[1] + matrix_[row * 3 + 2] * v[2];
  const double milliG = 1000 / kStandardGravity;
  reading_ = {ToInt16(w[0] * milliG), ToInt16(-w[1] * milliG), ToInt16(-w[2] * milliG)};
  return true;
}

bool IioSensorSource::Read(int16_t& x, int16_t& y, int16_t& z) {
  std::string stoppedWhy;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_ || stopped_) return false;
    uint64_t now = now_();
    if (now < readAt_ || now - readAt_ >= kRefreshMs) {
      if (ReadAxes(stoppedWhy)) {
        readAt_ = now;
      } else {
        stopped_ = true;
      }
    }
    if (!stopped_) {
      x = reading_[0];
      y = reading_[1];
      z = reading_[2];
      return true;
    }
  }
  Stop(stoppedWhy);
  return false;
}

void IioSensorSource::Stop(const std::string& why) {
  std::string line = "jostlepad: the accelerometer " + Describe() + " stopped: " + why + "; going on without motion";
  if (report_) {
    report_(line);
  } else {
    std::fprintf(stderr, "%s\n", line.c_str());
  }
}

std::string IioSensorSource::Describe() const { return name_.empty() ? id_ : id_ + " (" + name_ + ")"; }

}  // namespace jphost
