// The IIO accelerometer on a made-up sysfs tree: the units and axes the
// program expects, which device is chosen, and a device that goes away.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "iio_source.h"
#include "test_files.h"

namespace {

using Files = std::map<std::string, std::string>;

struct Reading {
  int16_t x, y, z;
  bool operator==(const Reading&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Reading& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.z << ")";
}

// 1 g in the IIO's m/s^2 is 1000 raw steps of this scale.
constexpr const char* kMilliGScale = "0.00980665";

class IioSource : public ::testing::Test {
 protected:
  void Device(const std::string& folder, const Files& files) {
    ASSERT_TRUE(jptest::MakeDirs(root_ / folder));
    for (const auto& [name, text] : files) ASSERT_TRUE(jptest::WriteText(root_ / folder + "/" + name, text));
  }
  void Write(const std::string& folder, const std::string& name, const std::string& text) {
    ASSERT_TRUE(jptest::WriteText(root_ / folder + "/" + name, text));
  }

  std::unique_ptr<jphost::IioSensorSource> Source(const std::string& wanted = std::string()) {
    return std::make_unique<jphost::IioSensorSource>(
        root_.Path(), wanted, [this] { return now_; }, [this](const std::string& line) { reports_.push_back(line); });
  }

  static Reading Read(jphost::IioSensorSource& source, bool expectOk = true) {
    Reading r{-1, -1, -1};
    EXPECT_EQ(source.Read(r.x, r.y, r.z), expectOk);
    return r;
  }

  jptest::TempDir root_;
  uint64_t now_ = 0;
  std::vector<std::string> reports_;
};

TEST_F(IioSource, ReadingsBecomeMilliGOnThePhonesAxes) {
  struct Case {
    const char* what;
    Files files;
    Reading expected;
  };
  const Files flatFaceUp = {{"in_accel_x_raw", "0"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "1000\n"},
                            {"in_accel_scale", kMilliGScale}};
  const Case cases[] = {
      // IIO's +z out of the screen at rest is the phone's -Z; IIO's +y (up the
      // screen) is the phone's -Y.
      {"face up at rest", flatFaceUp, {0, 0, -1000}},
      {"each axis", {{"in_accel_x_raw", "500"}, {"in_accel_y_raw", "-250"}, {"in_accel_z_raw", "-80"},
                     {"in_accel_scale", kMilliGScale}}, {500, 250, 80}},
      {"per-axis scale over the shared one",
       {{"in_accel_x_raw", "100"}, {"in_accel_y_raw", "100"}, {"in_accel_z_raw", "100"},
        {"in_accel_x_scale", "0.0196133"}, {"in_accel_scale", kMilliGScale}}, {200, -100, -100}},
      {"per-axis scales alone",
       {{"in_accel_x_raw", "1"}, {"in_accel_y_raw", "1"}, {"in_accel_z_raw", "1"}, {"in_accel_x_scale", "9.80665"},
        {"in_accel_y_scale", "4.903325"}, {"in_accel_z_scale", "0.980665"}}, {1000, -500, -100}},
      {"offsets added before scaling",
       {{"in_accel_x_raw", "-10"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "990"}, {"in_accel_scale", kMilliGScale},
        {"in_accel_offset", "10"}, {"in_accel_y_offset", "-30"}}, {0, 30, -1000}},
      // A chip mounted a quarter turn round z and upside down: its x is the
      // screen's y, its y the screen's -x, its z the screen's -z.
      {"rotated chip",
       {{"in_accel_x_raw", "300"}, {"in_accel_y_raw", "200"}, {"in_accel_z_raw", "-1000"},
        {"in_accel_scale", kMilliGScale}, {"in_accel_mount_matrix", "0, -1, 0; 1, 0, 0; 0, 0, -1"}},
       {-200, -300, -1000}},
      {"the accel matrix wins over the device's",
       {{"in_accel_x_raw", "300"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "0"}, {"in_accel_scale", kMilliGScale},
        {"in_accel_mount_matrix", "-1, 0, 0; 0, 1, 0; 0, 0, 1"}, {"mount_matrix", "1, 0, 0; 0, 1, 0; 0, 0, 1"}},
       {-300, 0, 0}},
      {"clamped to 16 bits",
       {{"in_accel_x_raw", "99999"}, {"in_accel_y_raw", "99999"}, {"in_accel_z_raw", "0"},
        {"in_accel_scale", kMilliGScale}}, {32767, -32768, 0}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(root_ / "iio:device0");
    Device("iio:device0", c.files);
    auto source = Source();
    std::string error;
    ASSERT_TRUE(source->Open(error)) << c.what << ": " << error;
    EXPECT_EQ(Read(*source), c.expected) << c.what;
  }
  EXPECT_TRUE(reports_.empty());
}

TEST_F(IioSource, ChoosesTheFirstAccelerometerOrTheOneNamed) {
  const Files accel = {{"in_accel_x_raw", "0"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "0"},
                       {"in_accel_scale", kMilliGScale}};
  Device("iio:device0", {{"name", "als"}, {"in_illuminance_raw", "40"}, {"in_illuminance_scale", "1"}});
  Device("iio:device10", accel);
  Write("iio:device10", "name", "accel_3d\n");
  Device("iio:device2", accel);
  Write("iio:device2", "name", "lis3dh");
  Device("trigger0", {{"name", "sysfstrig0"}});
  struct Case {
    std::string wanted;
    std::string chosen;  // empty: refused with `error`
    std::string error;
  };
  const Case cases[] = {
      {"", "iio:device2 (lis3dh)", ""},  // device2 comes before device10
      {"iio:device10", "iio:device10 (accel_3d)", ""},
      {"accel_3d", "iio:device10 (accel_3d)", ""},
      {"lis3dh", "iio:device2 (lis3dh)", ""},
      {"als", "", "iio:device0 is no accelerometer"},
      {"iio:device0", "", "iio:device0 is no accelerometer"},
      {"iio:device7", "", "no IIO device called iio:device7"},
  };
  for (const Case& c : cases) {
    auto source = Source(c.wanted);
    std::string error;
    EXPECT_EQ(source->Open(error), c.error.empty()) << c.wanted << ": " << error;
    if (c.error.empty())
      EXPECT_EQ(source->Describe(), c.chosen) << c.wanted;
    else
      EXPECT_NE(error.find(c.error), std::string::npos) << c.wanted << ": " << error;
  }
}

TEST_F(IioSource, UnusableDevicesAreRefusedWithTheReason) {
  const Files good = {{"in_accel_x_raw", "0"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "0"},
                      {"in_accel_scale", kMilliGScale}};
  struct Case {
    const char* file;  // replaced in the good device; null: no device at all
    const char* text;
    const char* mentions;
  };
  const Case cases[] = {
      {nullptr, nullptr, "no IIO accelerometer under"},
      {"in_accel_scale", "fast", "in_accel_scale holds 'fast'"},
      {"in_accel_scale", "nan", "in_accel_scale"},
      {"in_accel_offset", "1.5.2", "in_accel_offset"},
      {"in_accel_z_raw", "12ab", "in_accel_z_raw holds '12ab'"},
      {"in_accel_mount_matrix", "1, 0; 0, 1", "in_accel_mount_matrix"},
      {"in_accel_mount_matrix", "1, 0, 0; 0, 1, 0; 0, 0, 1; 0, 0, 0", "in_accel_mount_matrix"},
      {"mount_matrix", "1, 0, 0; 0, x, 0; 0, 0, 1", "mount_matrix"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(root_ / "iio:device0");
    if (c.file != nullptr) {
      Device("iio:device0", good);
      Write("iio:device0", c.file, c.text);
    }
    auto source = Source();
    std::string error;
    EXPECT_FALSE(source->Open(error)) << c.mentions;
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    Reading r{};
    EXPECT_FALSE(source->Read(r.x, r.y, r.z)) << c.mentions;
  }
  auto missing = std::make_unique<jphost::IioSensorSource>(root_ / "no-such-folder");
  std::string error;
  EXPECT_FALSE(missing->Open(error));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(IioSource, FilesAreReadAgainAfterTenMilliseconds) {
  Device("iio:device0", {{"in_accel_x_raw", "0"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "1000"},
                         {"in_accel_scale", kMilliGScale}});
  auto source = Source();
  std::string error;
  ASSERT_TRUE(source->Open(error)) << error;
  now_ = 100;
  EXPECT_EQ(Read(*source), (Reading{0, 0, -1000}));
  Write("iio:device0", "in_accel_x_raw", "400");
  now_ = 109;
  EXPECT_EQ(Read(*source), (Reading{0, 0, -1000})) << "within 10 ms the last reading serves";
  now_ = 110;
  EXPECT_EQ(Read(*source), (Reading{400, 0, -1000}));
}

TEST_F(IioSource, ADeviceThatFailsMidRunStopsWithOneMessage) {
  struct Case {
    const char* what;
    bool removeFolder;
    const char* garbage;  // written into in_accel_y_raw when not removing
    const char* mentions;
  };
  const Case cases[] = {
      {"unplugged", true, nullptr, "cannot read"},
      {"garbled", false, "\x01\xff junk", "in_accel_y_raw"},
  };
  for (const Case& c : cases) {
    reports_.clear();
    std::filesystem::remove_all(root_ / "iio:device0");
    Device("iio:device0", {{"name", "accel_3d"}, {"in_accel_x_raw", "0"}, {"in_accel_y_raw", "0"},
                           {"in_accel_z_raw", "1000"}, {"in_accel_scale", kMilliGScale}});
    auto source = Source();
    std::string error;
    ASSERT_TRUE(source->Open(error)) << error;
    now_ = 0;
    EXPECT_EQ(Read(*source), (Reading{0, 0, -1000})) << c.what;
    if (c.removeFolder)
      std::filesystem::remove_all(root_ / "iio:device0");
    else
      Write("iio:device0", "in_accel_y_raw", c.garbage);
    for (int poll = 1; poll <= 5; ++poll) {
      now_ = poll * 50;
      Read(*source, false);
    }
    // Even a device that comes back is not read again.
    Device("iio:device0", {{"in_accel_x_raw", "0"}, {"in_accel_y_raw", "0"}, {"in_accel_z_raw", "1000"},
                           {"in_accel_scale", kMilliGScale}});
    now_ = 1000;
    Read(*source, false);
    ASSERT_EQ(reports_.size(), 1u) << c.what;
    EXPECT_EQ(reports_[0].rfind("jostlepad: the accelerometer iio:device0 (accel_3d) stopped: ", 0), 0u) << reports_[0];
    EXPECT_NE(reports_[0].find(c.mentions), std::string::npos) << reports_[0];
    EXPECT_NE(reports_[0].find("; going on without motion"), std::string::npos) << reports_[0];
  }
}

}  // namespace
