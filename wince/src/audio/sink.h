// Where the mix goes. A sink runs from its creation until it is destroyed.
#pragma once

#include <cstdint>

#include "kernel/clock.h"

namespace wce::audio {

class Sink {
 public:
  virtual ~Sink() = default;
  // The device time at which the mix will have been rendered `frames` frames
  // past what is rendered now; kNoDeadline when the sink does not render on
  // device time (it pulls in real time). DeviceLock() held.
  virtual uint64_t DeviceTimeAfterFrames(uint64_t frames) {
    (void)frames;
    return kNoDeadline;
  }
};

}  // namespace wce::audio
