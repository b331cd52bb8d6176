#include <string.h>

#include <memory>

#include "device_fixture.h"
#include "device/device.h"
#include "sound/TiltSensor.h"

namespace {

using TiltSensorTest = jptest::DeviceTest;

TEST_F(TiltSensorTest, WithoutTheLibraryReadsGiveARestingZeroSample) {
  TiltSensor sensor;
  EXPECT_FALSE(sensor.Open(1));
  TiltSample sample;
  memset(&sample, 0xAB, sizeof(sample));
  sensor.ReadSample(&sample);
  const TiltSample zero = {};
  EXPECT_EQ(memcmp(&sample, &zero, sizeof(sample)), 0);
  EXPECT_FALSE(sensor.Close());
}

TEST_F(TiltSensorTest, ReadsTheSourceThroughTheLibrary) {
  auto source = std::make_shared<wce::FixedSensorSource>(-12, 345, -32768);
  wce::SetSensorSource(source);
  TiltSensor sensor;
  ASSERT_TRUE(sensor.Open(1));
  TiltSample sample = {};
  sensor.ReadSample(&sample);
  EXPECT_EQ(sample.x, -12);
  EXPECT_EQ(sample.y, 345);
  EXPECT_EQ(sample.z, -32768);
  EXPECT_TRUE(sensor.Close());
}

}  // namespace
