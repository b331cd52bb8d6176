// Where the mix goes. A sink runs from its creation until it is destroyed.
#pragma once

namespace wce::audio {

class Sink {
 public:
  virtual ~Sink() = default;
};

}  // namespace wce::audio
