// Audio extras for the host and tests, beside AudioStart/AudioStop of the
// device interface.
#pragma once

namespace wce {

// Returns once every wave-out callback posted so far (WOM_OPEN, WOM_DONE,
// WOM_CLOSE) has run, so a test can look at what its callback saw.
void AudioFlushCallbacks();

}  // namespace wce
