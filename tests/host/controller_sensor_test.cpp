// The controller's accelerometer as the phone's: SDL's readings fed by hand,
// since no controller is plugged in here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller_sensor.h"

namespace jphost {
namespace {

constexpr float g = 9.80665f;

TEST(ControllerSensor, TurnsTheControllersFrameIntoThePhones) {
  struct Row {
    const char* pose;
    float sdl[3];    // m/s^2: +X right, +Y up out of the face, +Z toward the player
    int16_t xyz[3];  // milli-g: +X right, +Y toward the screen's bottom, +Z into the screen
  };
  const Row rows[] = {
      {"lying face up at rest", {0, g, 0}, {0, 0, -1000}},
      {"face down", {0, -g, 0}, {0, 0, 1000}},
      {"jerked to the right", {0.5f * g, g, 0}, {500, 0, -1000}},
      {"jerked to the left", {-0.5f * g, g, 0}, {-500, 0, -1000}},
      {"pulled toward the player (the screen's bottom)", {0, g, 0.9f * g}, {0, 900, -1000}},
      {"pushed away", {0, g, -0.9f * g}, {0, -900, -1000}},
      {"lifted", {0, 2 * g, 0}, {0, 0, -2000}},
      {"rounded to the nearest milli-g", {0.0049f, 0.0051f, 0}, {0, 0, -1}},
      {"beyond 16 bits held at the ends", {40 * g, -40 * g, -40 * g}, {32767, -32768, 32767}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pose);
    int16_t x = 1, y = 1, z = 1;
    ControllerSensorSource::ToDevice(row.sdl[0], row.sdl[1], row.sdl[2], x, y, z);
    EXPECT_EQ(x, row.xyz[0]);
    EXPECT_EQ(y, row.xyz[1]);
    EXPECT_EQ(z, row.xyz[2]);
  }
}

// Readings only while a controller is there; its loss is told once, however
// often controllers come and go.
TEST(ControllerSensor, ReadsTheLatestReadingWhileAControllerIsAttached) {
  std::vector<std::string> notices;
  ControllerSensorSource source([&](const std::string& line) { notices.push_back(line); });
  int16_t x = 0, y = 0, z = 0;
  auto read = [&] { return source.Read(x, y, z); };

  EXPECT_FALSE(read()) << "no controller yet";
  source.Feed(0, g, 0);
  EXPECT_FALSE(read()) << "a reading without a controller is dropped";
  source.Attached();
  EXPECT_FALSE(read()) << "attached, nothing reported yet";
  source.Feed(0, g, 0);
  source.Feed(g, g, 0);
  ASSERT_TRUE(read());
  EXPECT_EQ(x, 1000);
  EXPECT_EQ(z, -1000);

  source.Detached();
  EXPECT_FALSE(read()) << "gone";
  source.Detached();
  source.Attached();
  EXPECT_FALSE(read()) << "back, but the old reading is stale";
  source.Feed(0, g, 0);
  EXPECT_TRUE(read());
  source.Detached();
  EXPECT_EQ(notices, std::vector<std::string>{ControllerSensorSource::kGoneMessage});
}

}  // namespace
}  // namespace jphost
