#include "audio/audio_device.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "audio/callback_queue.h"
#include "audio/pcm_layout.h"
#include "audio/live_sink.h"
#include "audio/recording_sink.h"
#include "audio/wave_out_driver.h"
#include "device/device.h"
#include "device/internal.h"
#include "kernel/clock.h"

namespace wce {
namespace {

struct AudioState {
  std::mutex lifecycle;  // AudioStart / AudioStop / AudioReset
  audio::CallbackQueue callbacks;
  audio::WaveOutDriver driver{callbacks};
  std::unique_ptr<audio::Sink> sink;
};

// Never destroyed: the sinks' threads and the clock listener must not meet a
// torn-down state (or a torn-down clock) while the process exits.
AudioState& State() {
  static AudioState& state = *new AudioState;
  return state;
}

std::unique_ptr<audio::Sink> StartSink(const AudioConfig& config, audio::WaveOutDriver& driver) {
  switch (config.kind) {
    case AudioSinkKind::Recording:
      return audio::RecordingSink::Start(driver, config.recordingPath, config.rate);
    case AudioSinkKind::Output:
      return audio::LiveSink::Start(driver, config.output, config.rate);
    case AudioSinkKind::None:
      break;
  }
  return nullptr;
}

bool ConfigIsSane(const AudioConfig& config) {
  if (config.rate < audio::kMinRate || config.rate > audio::kMaxRate) {
    std::fprintf(stderr, "audio: output rate %u is outside %u..%u\n", config.rate, audio::kMinRate,
                 audio::kMaxRate);
    return false;
  }
  if (config.kind == AudioSinkKind::Output && !config.output) {
    std::fprintf(stderr, "audio: no output given\n");
    return false;
  }
  return true;
}

// The callback thread reads the sink's clock: it stops first and starts last.
void StopLocked(AudioState& s) {
  s.callbacks.Stop();
  s.sink.reset();  // the last frames still come from the open voices
  s.driver.Stop();
}

void StartCallbacks(AudioState& s) {
  audio::Sink* sink = s.sink.get();
  s.callbacks.Start([&driver = s.driver, sink] {
    return sink ? sink->DeviceTimeAfterFrames(driver.FramesUntilNextDoneLocked()) : kNoDeadline;
  });
}

}  // namespace

audio::WaveOutDriver& audio::Driver() { return State().driver; }

bool AudioStart(const AudioConfig& config) {
  AudioState& s = State();
  std::lock_guard<std::mutex> lock(s.lifecycle);
  StopLocked(s);
  if (config.kind == AudioSinkKind::None) return true;
  if (!ConfigIsSane(config)) return false;
  s.driver.Start(config.rate);
  s.sink = StartSink(config, s.driver);
  if (!s.sink) {
    StopLocked(s);
    return false;
  }
  StartCallbacks(s);
  return true;
}

void AudioStop() {
  AudioState& s = State();
  std::lock_guard<std::mutex> lock(s.lifecycle);
  StopLocked(s);
}

void AudioFlushCallbacks() { State().callbacks.Flush(); }

void internal::AudioReset() {
  AudioState& s = State();
  std::lock_guard<std::mutex> lock(s.lifecycle);
  s.driver.CloseAll();
  // Pending notifications belong to the devices just dropped.
  if (s.sink) {
    s.callbacks.Stop();
    StartCallbacks(s);
  }
}

}  // namespace wce
