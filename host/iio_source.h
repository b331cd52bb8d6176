// A Linux IIO accelerometer (laptops and tablets that turn their screen,
// Linux phones) read from sysfs, on the phone's scale and axes.
//
// IIO reports metres per second squared, (raw + offset) x scale per axis, in
// the screen's frame once the device's mount matrix is applied: +x toward the
// right edge, +y toward the top edge, +z out of the screen toward the viewer;
// lying face up at rest it reads z = +9.8.
//
// The program takes milli-g (1000 = 1 g) in the phone's frame: +X toward the
// right edge, +Y toward the bottom edge, +Z into the screen, as the acceleration
// the phone feels; lying face up at rest it reads (0, 0, -1000), standing
// upright (0, -1000, 0), and a jerk to the right is +X, as the arrow keys give.
// So:  X = x   Y = -y   Z = -z   (each x 1000 / 9.80665).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "device/device.h"

namespace jphost {

class IioSensorSource : public wce::SensorSource {
 public:
  static constexpr const char* kSysfsRoot = "/sys/bus/iio/devices";
  // The raw files are read again at most this often; the detectors' three
  // polls every 50 ms share one read.
  static constexpr uint64_t kRefreshMs = 10;

  using Clock = std::function<uint64_t()>;                  // device milliseconds
  using Report = std::function<void(const std::string&)>;  // one line, no newline

  // `device`: empty for the first accelerometer under `root`; else the folder's
  // name ("iio:device0") or the content of its `name` file ("accel_3d").
  // `report` takes the one line said when the device stops; null: stderr.
  explicit IioSensorSource(std::string root = kSysfsRoot, std::string device = std::string(),
                           Clock now = wce::ClockNowMs, Report report = nullptr);

  // Finds the device and reads its scale, offsets and mount matrix. False with
  // a message when no device fits or its files make no sense.
  bool Open(std::string& error);

  // The latest reading, from the files at most kRefreshMs old. Once a read
  // fails (the device unplugged, a file gone or garbled) one line is reported
  // and every later call is false: the program sees no motion.
  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

  // After Open: "iio:device0 (accel_3d)", or the folder alone without a name.
  std::string Describe() const;

 private:
  bool FindDevice(std::string& error);
  bool ReadCalibration(std::string& error);
  bool ReadAxes(std::string& error);
  void Stop(const std::string& why);

  std::string root_;
  std::string wanted_;
  Clock now_;
  Report report_;
  // Set by Open, fixed after.
  std::string folder_;  // full path of the device's folder
  std::string id_;      // "iio:device0"
  std::string name_;    // its name file, may be empty
  std::array<double, 3> scale_ = {};
  std::array<double, 3> offset_ = {};
  std::array<double, 9> matrix_ = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // rows, applied as M * v

  std::mutex mutex_;
  bool open_ = false;
  bool stopped_ = false;
  uint64_t readAt_ = 0;  // device time of reading_
  std::array<int16_t, 3> reading_ = {};
};

}  // namespace jphost
