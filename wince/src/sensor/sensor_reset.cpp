// A new device has no sensor handles open, and its kernel knows the sensor's
// library, which loads while a source is set.
#include "device/internal.h"
#include "kernel/modules.h"
#include "sensor/htc_sensor.h"

namespace wce::internal {

void SensorReset() {
  HtcSensorReset();
  RegisterBuiltinModule(HtcSensorModule());
}

}  // namespace wce::internal
