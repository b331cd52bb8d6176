// The device's command line: every option, the defaults of each mode, and a
// message naming the option for each bad value.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "options.h"
#include "test_files.h"

namespace jphost {
namespace {

using Args = std::vector<std::string>;

Options Parsed(const Args& args) {
  Options options;
  std::string error;
  EXPECT_EQ(ParseOptions(args, options, error), ParseOutcome::Run) << error;
  return options;
}

// The message for a command line that must be refused.
std::string Refused(const Args& args) {
  Options options;
  std::string error;
  EXPECT_EQ(ParseOptions(args, options, error), ParseOutcome::Error);
  return error;
}

TEST(Options, WindowModeDefaults) {
  Options o = Parsed({});
  EXPECT_FALSE(o.headless);
  EXPECT_EQ(o.clock, wce::ClockMode::Real);
  EXPECT_EQ(o.audio, AudioChoice::Sdl);
  EXPECT_EQ(o.sensor, SensorChoice::Auto);
  EXPECT_EQ(o.screenWidth, 480);
  EXPECT_EQ(o.screenHeight, 640);
  EXPECT_EQ(o.dpi, 192);
  EXPECT_EQ(o.scale, 0);
  EXPECT_EQ(o.audioPeriod, 0u);
  EXPECT_TRUE(o.deviceDir.empty());
  EXPECT_TRUE(o.appDir.empty());
  EXPECT_TRUE(o.tracePath.empty());
}

TEST(Options, HeadlessDefaults) {
  Options o = Parsed({"--headless", "--script", "s.txt"});
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.scriptPath, "s.txt");
  EXPECT_EQ(o.clock, wce::ClockMode::Virtual);
  EXPECT_EQ(o.audio, AudioChoice::None);
  EXPECT_EQ(o.sensor, SensorChoice::Fixed);
}

TEST(Options, EveryOptionTakesItsValue) {
  Options o = Parsed({"--headless", "--script=run.txt", "--clock", "real", "--device", "dev", "--app-dir", "app",
                      "--screen", "240x320", "--dpi", "96", "--scale", "0.5", "--audio", "wav:out.wav", "--trace",
                      "t.txt", "--sensor", "replay:moves.txt", "--audio-period", "512"});
  EXPECT_EQ(o.scriptPath, "run.txt");
  EXPECT_EQ(o.clock, wce::ClockMode::Real);
  EXPECT_EQ(o.deviceDir, "dev");
  EXPECT_EQ(o.appDir, "app");
  EXPECT_EQ(o.screenWidth, 240);
  EXPECT_EQ(o.screenHeight, 320);
  EXPECT_EQ(o.dpi, 96);
  EXPECT_EQ(o.scale, 0.5);
  EXPECT_EQ(o.audio, AudioChoice::Recording);
  EXPECT_EQ(o.audioPath, "out.wav");
  EXPECT_EQ(o.tracePath, "t.txt");
  EXPECT_EQ(o.sensor, SensorChoice::Replay);
  EXPECT_EQ(o.replayPath, "moves.txt");
  EXPECT_EQ(o.audioPeriod, 512u);

  // Given choices win over the mode's defaults, both ways.
  Options w = Parsed({"--audio", "none", "--sensor", "fixed", "--scale", "2"});
  EXPECT_EQ(w.audio, AudioChoice::None);
  EXPECT_EQ(w.sensor, SensorChoice::Fixed);
  EXPECT_EQ(w.scale, 2);
  Options h = Parsed({"--headless", "--script", "s", "--audio", "sdl", "--sensor", "keys", "--clock", "virtual"});
  EXPECT_EQ(h.audio, AudioChoice::Sdl);
  EXPECT_EQ(h.sensor, SensorChoice::Keys);
  EXPECT_EQ(Parsed({"--sensor", "none"}).sensor, SensorChoice::None);
}

TEST(Options, AccelerometerSourcesAndAudioDevices) {
  struct Case {
    Args args;
    SensorChoice sensor;
    std::string iioDevice;
    std::string audioDevice;
  };
  const Case cases[] = {
      {{"--sensor", "iio"}, SensorChoice::Iio, "", ""},
      {{"--sensor", "iio:accel_3d"}, SensorChoice::Iio, "accel_3d", ""},
      {{"--sensor=iio:iio:device1"}, SensorChoice::Iio, "iio:device1", ""},
      {{"--headless", "--script", "s", "--sensor", "iio"}, SensorChoice::Iio, "", ""},
      {{"--sensor", "controller"}, SensorChoice::Controller, "", ""},
      {{"--sensor", "keys"}, SensorChoice::Keys, "", ""},
      {{"--audio", "sdl:Built-in Audio Analog Stereo"}, SensorChoice::Auto, "", "Built-in Audio Analog Stereo"},
      {{"--audio", "sdl:a:b"}, SensorChoice::Auto, "", "a:b"},
      {{"--audio", "sdl"}, SensorChoice::Auto, "", ""},
  };
  for (const Case& c : cases) {
    Options o = Parsed(c.args);
    EXPECT_EQ(o.sensor, c.sensor) << c.args.back();
    EXPECT_EQ(o.iioDevice, c.iioDevice) << c.args.back();
    EXPECT_EQ(o.audioDevice, c.audioDevice) << c.args.back();
    if (!c.audioDevice.empty()) {
      EXPECT_EQ(o.audio, AudioChoice::Sdl);
    }
  }

  Options o;
  std::string error;
  EXPECT_EQ(ParseOptions({"--list-audio-devices"}, o, error), ParseOutcome::ListAudioDevices);
  EXPECT_EQ(ParseOptions({"--list-audio-devices", "--help"}, o, error), ParseOutcome::Help);
}

TEST(Options, ArgumentsAfterTheSeparatorAreTheProgramsAndNotOptions) {
  Options o = Parsed({"--dpi", "96", "--", "--bogus", "x"});
  EXPECT_EQ(o.dpi, 96);
  EXPECT_EQ(o.programArgs, (Args{"--bogus", "x"}));
}

TEST(Options, HelpWinsOverEverythingElse) {
  Options o;
  std::string error;
  EXPECT_EQ(ParseOptions({"--help"}, o, error), ParseOutcome::Help);
  EXPECT_EQ(ParseOptions({"--headless", "--help"}, o, error), ParseOutcome::Help);
  EXPECT_NE(UsageText().find("--audio-period"), std::string::npos);
}

TEST(Options, BadOptionsAndValuesAreNamed) {
  struct Case {
    Args args;
    std::string mentions;
  };
  const Case cases[] = {
      {{"--bogus"}, "--bogus"},
      {{"--bogus=1"}, "--bogus"},
      {{"stray"}, "stray"},
      {{"--dpi"}, "--dpi needs a value"},
      {{"--dpi="}, "--dpi needs a value"},
      {{"--dpi", "lots"}, "--dpi: 'lots'"},
      {{"--dpi", "96.5"}, "--dpi"},
      {{"--dpi", "20"}, "--dpi: 20 is outside"},
      {{"--screen", "480"}, "--screen: '480'"},
      {{"--screen", "480x"}, "--screen"},
      {{"--screen", "x640"}, "--screen"},
      {{"--screen", "10x640"}, "--screen: 10x640 is outside"},
      {{"--screen", "480x640x2"}, "--screen"},
      {{"--scale", "big"}, "--scale: 'big'"},
      {{"--scale", "0"}, "--scale: 0 is outside"},
      {{"--scale", "-1"}, "--scale"},
      {{"--scale", "nan"}, "--scale"},
      {{"--scale", "1x"}, "--scale"},
      {{"--clock", "fast"}, "--clock: 'fast'"},
      {{"--audio", "mp3"}, "--audio: 'mp3'"},
      {{"--audio", "wav:"}, "--audio"},
      {{"--sensor", "gyro"}, "--sensor: 'gyro'"},
      {{"--sensor", "replay:"}, "--sensor"},
      {{"--sensor", "iio:"}, "--sensor: 'iio:'"},
      {{"--sensor", "iiox"}, "--sensor"},
      {{"--headless", "--script", "s", "--sensor", "controller"}, "--sensor controller needs a window"},
      {{"--headless", "--script", "s", "--vibrator", "none"}, "--vibrator needs a window"},
      {{"--vibrator"}, "--vibrator needs a value"},
      {{"--audio", "sdl:"}, "--audio: 'sdl:'"},
      {{"--list-audio-devices=yes"}, "--list-audio-devices takes no value"},
      {{"--audio-period", "0"}, "--audio-period: 0 is outside"},
      {{"--audio-period", "99999"}, "--audio-period"},
      {{"--headless=yes"}, "--headless takes no value"},
      {{"--headless"}, "--headless needs --script"},
      {{"--script", "s.txt"}, "--script needs --headless"},
      {{"--clock", "virtual"}, "--clock virtual needs --headless"},
      {{"--trace-latency"}, "--trace-latency needs --trace FILE"},
  };
  for (const Case& c : cases) {
    std::string error = Refused(c.args);
    EXPECT_NE(error.find(c.mentions), std::string::npos) << c.args[0] << ": " << error;
  }
}

TEST(Options, DeviceFolderFollowsTheXdgRules) {
  EXPECT_EQ(DefaultDeviceDir("/state", "/home/u"), "/state/jostlepad");
  EXPECT_EQ(DefaultDeviceDir(nullptr, "/home/u"), "/home/u/.local/state/jostlepad");
  EXPECT_EQ(DefaultDeviceDir("relative", "/home/u"), "/home/u/.local/state/jostlepad");
  EXPECT_EQ(DefaultDeviceDir("", "/home/u"), "/home/u/.local/state/jostlepad");
  EXPECT_EQ(DefaultDeviceDir(nullptr, nullptr), "");
}

TEST(Options, DeviceFolderIsMadeWithItsParentsOrRefused) {
  jptest::TempDir temp;
  std::string error;
  EXPECT_TRUE(PrepareDeviceDir(temp / "a/b/c", error)) << error;
  EXPECT_TRUE(PrepareDeviceDir(temp / "a/b/c", error)) << error;  // already there
  ASSERT_TRUE(jptest::WriteText(temp / "file", "x"));
  EXPECT_FALSE(PrepareDeviceDir(temp / "file", error));
  EXPECT_NE(error.find("--device"), std::string::npos) << error;
  EXPECT_FALSE(PrepareDeviceDir(temp / "file/below", error));
}

TEST(Options, DefaultZoomFitsTheDesktop) {
  EXPECT_EQ(FitScale(480, 640, 1920, 1080), 1.0);
  EXPECT_EQ(FitScale(480, 640, 800, 800), 1.0);
  EXPECT_EQ(FitScale(480, 640, 1366, 600), 0.75);
  EXPECT_EQ(FitScale(480, 640, 1024, 400), 0.5);
  EXPECT_EQ(FitScale(480, 640, 100, 100), 0.25);
  EXPECT_EQ(FitScale(640, 480, 600, 1000), 0.75);  // a turned screen on a narrow desktop
}

}  // namespace
}  // namespace jphost
