// Sound through SDL on its silent driver, which plays in real time: only
// what needs no real time to pass is looked at.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "device/device.h"
#include "sdl_audio.h"
#include "test_files.h"

namespace jphost {
namespace {

wce::AudioConfig SdlConfig(uint32_t periodFrames, const std::string& deviceName = {}) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  wce::AudioConfig config;
  config.kind = wce::AudioSinkKind::Output;
  config.output = std::make_shared<SdlAudioOutput>(periodFrames, deviceName);
  return config;
}

// A buffer written and cut short: its header comes back done, and stopping
// the sound closes the one device.
TEST(SdlAudioTest, PlaysOnSdlsSilentDriver) {
  ASSERT_TRUE(wce::AudioStart(SdlConfig(128)));
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = 44100;
  f.wBitsPerSample = 16;
  f.nBlockAlign = 2;
  f.nAvgBytesPerSec = 88200;
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  std::vector<int16_t> samples(44100, 100);
  WAVEHDR header{};
  header.lpData = reinterpret_cast<LPSTR>(samples.data());
  header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(int16_t));
  ASSERT_EQ(waveOutPrepareHeader(device, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(device, &header, sizeof header), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  EXPECT_EQ(header.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
  wce::AudioStop();
  EXPECT_EQ(waveOutGetNumDevs(), 0u);
}

// The silent driver has only its default device: a named one it does not
// know is reported once and the default plays instead.
TEST(SdlAudioTest, AnUnknownOutputDeviceFallsBackToTheDefault) {
  testing::internal::CaptureStderr();
  bool started = wce::AudioStart(SdlConfig(256, "Nowhere Card"));
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(started) << err;
  EXPECT_EQ(waveOutGetNumDevs(), 1u);
  wce::AudioStop();
  EXPECT_NE(err.find("\"Nowhere Card\""), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// SDL_AUDIODRIVER is the user's word; a PipeWire session is found by its
// socket, not by a file of that name.
TEST(SdlAudioTest, PipeWireIsPreferredOnlyOnItsSessionAndUnlessTheUserChose) {
  EXPECT_EQ(PreferredSdlAudioDriver(nullptr, true), "pipewire");
  EXPECT_EQ(PreferredSdlAudioDriver("", true), "pipewire");
  EXPECT_EQ(PreferredSdlAudioDriver("alsa", true), "");
  EXPECT_EQ(PreferredSdlAudioDriver(nullptr, false), "");

  jptest::TempDir temp;
  int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string socketPath = temp / "pipewire-0";
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_TRUE(jptest::WriteText(temp / "plain", "x"));
  const std::string dir = temp.Path();
  struct Case {
    const char* remote;
    const char* runtimeDir;
    const char* xdgRuntimeDir;
    bool session;
  };
  const Case cases[] = {
      {nullptr, nullptr, dir.c_str(), true},
      {nullptr, dir.c_str(), "/nowhere", true},
      {nullptr, "/nowhere", dir.c_str(), false},  // PIPEWIRE_RUNTIME_DIR wins
      {socketPath.c_str(), nullptr, nullptr, true},
      {"plain", dir.c_str(), nullptr, false},
      {"pipewire-1", dir.c_str(), nullptr, false},
      {nullptr, nullptr, nullptr, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PipeWireSession(c.remote, c.runtimeDir, c.xdgRuntimeDir), c.session)
        << (c.remote ? c.remote : "-") << " " << (c.runtimeDir ? c.runtimeDir : "-");
  close(listener);
}

// Threads a sound library starts while the device opens run in real time;
// the opener gets its own scheduling back, and the user's "no" is kept.
TEST(SdlAudioTest, ThreadsStartedWhileOpeningInheritRealTime) {
  auto policyOfNewThread = [] {
    int policy = -1;
    std::thread([&] {
      sched_param param{};
      pthread_getschedparam(pthread_self(), &policy, &param);
    }).join();
    return policy;
  };
  bool mayTakeRealTime = false;
  std::thread([&] {
    sched_param param{};
    param.sched_priority = 1;
    mayTakeRealTime = pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0;
  }).join();
  if (!mayTakeRealTime) GTEST_SKIP() << "no right to real-time scheduling here";
  unsetenv("SDL_THREAD_FORCE_REALTIME_TIME_CRITICAL");
  {
    RealTimeForNewThreads realTime;
    EXPECT_TRUE(realTime.Raised());
    EXPECT_EQ(policyOfNewThread(), SCHED_RR);
  }
  EXPECT_EQ(policyOfNewThread(), SCHED_OTHER);
  setenv("SDL_THREAD_FORCE_REALTIME_TIME_CRITICAL", "0", 1);
  {
    RealTimeForNewThreads realTime;
    EXPECT_FALSE(realTime.Raised());
    EXPECT_EQ(policyOfNewThread(), SCHED_OTHER);
  }
  unsetenv("SDL_THREAD_FORCE_REALTIME_TIME_CRITICAL");
}

}  // namespace
}  // namespace jphost
