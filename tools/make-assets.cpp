// Makes the sound packs installed beside the executable (assets/Sounds/):
// pictures and sounds of our own, drawn and synthesised here so that every
// byte of them can be made again. The pictures built into the executable
// come from tools/make-resource-pictures.sh.
//
// Regenerate from the top of the checkout:
//   g++ -std=c++20 -O2 -o build/make-assets tools/make-assets.cpp -lpng && build/make-assets .
// The output is the same on every run (no clock, no randomness beyond a
// fixed-seed generator), so regenerating changes nothing unless this file did.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;

// ------------------------------------------------------------ pictures ----

// 0xAARRGGBB pixels, rows top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Image(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  void Set(int x, int y, uint32_t argb) {
    if (Inside(x, y)) At(x, y) = argb;
  }
  void Fill(int left, int top, int right, int bottom, uint32_t argb) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) Set(x, y, argb);
  }
  // Every pixel for which `inside(x + 0.5, y + 0.5)` holds.
  void Shape(const std::function<bool(double, double)>& inside, uint32_t argb) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (inside(x + 0.5, y + 0.5)) At(x, y) = argb;
  }
};

constexpr uint32_t Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }
constexpr uint32_t kMagenta = Opaque(0xFF00FF);  // the program's transparent colour

bool InCircle(double x, double y, double cx, double cy, double r) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }

bool InRoundRect(double x, double y, double left, double top, double right, double bottom, double r) {
  if (x < left || x > right || y < top || y > bottom) return false;
  double cx = std::clamp(x, left + r, right - r);
  double cy = std::clamp(y, top + r, bottom - r);
  return InCircle(x, y, cx, cy, r);
}

// --------------------------------------------------------------- files ----

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Save(const fs::path& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
}

void SavePng(const fs::path& path, Image& image) {
  fs::create_directories(path.parent_path());
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!file || !info || setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(image.width) * 3);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      uint32_t p = image.At(x, y);
      row[3 * x] = uint8_t(p >> 16);
      row[3 * x + 1] = uint8_t(p >> 8);
      row[3 * x + 2] = uint8_t(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  std::printf("%s\n", path.c_str());
}

// ------------------------------------------------------- pack pictures ----
// Hard-edged shapes on magenta, which the program leaves out when it draws them.

Image DrumPicture(int side) {
  Image image(side, side, kMagenta);
  double s = side / 64.0;
  auto body = [&](double x, double y) { return x >= 12 * s && x <= 52 * s && y >= 26 * s && y <= 52 * s; };
  image.Shape([&](double x, double y) { return body(x, y) || (std::pow((x - 32 * s) / (20 * s), 2) + std::pow((y - 52 * s) / (6 * s), 2) <= 1); },
              Opaque(0xB0302A));
  for (int i = 0; i < 5; ++i) {
    double x0 = (14 + i * 9) * s;
    image.Shape([&](double x, double y) { return body(x, y) && std::abs(x - x0 - (y - 26 * s) * 0.3) < 1.2 * s; },
                Opaque(0xE8D8A0));
  }
  image.Shape([&](double x, double y) { return std::pow((x - 32 * s) / (20 * s), 2) + std::pow((y - 26 * s) / (6 * s), 2) <= 1; },
              Opaque(0xF2EEE0));
  // Two sticks crossing above the skin.
  for (int dir : {-1, 1})
    image.Shape(
        [&](double x, double y) {
          double u = x - 32 * s, v = y - 14 * s;
          double along = u * dir * 0.8 + v * 0.6;
          double across = -u * dir * 0.6 + v * 0.8;
          return std::abs(across) < 1.6 * s && along > -14 * s && along < 12 * s;
        },
        Opaque(0x8A5A2A));
  return image;
}

Image BellPicture(int side) {
  Image image(side, side, kMagenta);
  double s = side / 64.0;
  image.Shape(
      [&](double x, double y) {
        double t = (y - 12 * s) / (36 * s);  // 0 at the crown, 1 at the lip
        if (t < 0 || t > 1) return false;
        double half = (8 + 16 * t * t + 4 * t) * s;
        return std::abs(x - 32 * s) <= half;
      },
      Opaque(0xE0B020));
  image.Fill(int(6 * s), int(46 * s), int(58 * s), int(51 * s), Opaque(0xA07810));
  image.Shape([&](double x, double y) { return InCircle(x, y, 32 * s, 54 * s, 5 * s); }, Opaque(0x604808));
  image.Shape([&](double x, double y) { return InCircle(x, y, 32 * s, 10 * s, 4 * s) && !InCircle(x, y, 32 * s, 10 * s, 2 * s); },
              Opaque(0xA07810));
  image.Shape([&](double x, double y) { return x >= 24 * s && x <= 27 * s && y >= 20 * s && y <= 40 * s; }, Opaque(0xFFF0B0));
  return image;
}

Image SynthPicture(int side) {
  Image image(side, side, kMagenta);
  double s = side / 64.0;
  image.Shape([&](double x, double y) { return InRoundRect(x, y, 4 * s, 10 * s, 60 * s, 54 * s, 6 * s); }, Opaque(0x203040));
  image.Shape([&](double x, double y) { return InRoundRect(x, y, 8 * s, 14 * s, 56 * s, 50 * s, 4 * s); }, Opaque(0x0C1A12));
  // A square wave across the screen.
  double high = 22 * s, low = 42 * s, w = std::max(1.0, 1.6 * s);
  image.Shape(
      [&](double x, double y) {
        if (x < 11 * s || x > 53 * s) return false;
        double period = 14 * s;
        double phase = std::fmod(x - 11 * s, period);
        double level = phase < period / 2 ? high : low;
        bool flat = std::abs(y - level) < w;
        bool edge = (std::abs(phase) < w || std::abs(phase - period / 2) < w) && y >= high - w && y <= low + w;
        return flat || edge;
      },
      Opaque(0x40F080));
  return image;
}

// --------------------------------------------------------------- sounds ----

constexpr int kRate = 22050;

// A fixed-seed generator: the same noise on every run.
class Noise {
 public:
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 2147483648.0 - 1.0;
  }

 private:
  uint32_t state_ = 0x2545F491u;
};

using Samples = std::vector<double>;

Samples Make(double seconds, const std::function<double(double t, int i)>& f) {
  Samples out(size_t(seconds * kRate));
  for (size_t i = 0; i < out.size(); ++i) out[i] = f(double(i) / kRate, int(i));
  return out;
}

// A one-pole high-pass, for hi-hats and claps.
Samples HighPass(Samples in, double cutoff) {
  double rc = 1.0 / (2 * kPi * cutoff), dt = 1.0 / kRate, a = rc / (rc + dt);
  double prevIn = 0, prevOut = 0;
  for (double& x : in) {
    double y = a * (prevOut + x - prevIn);
    prevIn = x;
    prevOut = y;
    x = y;
  }
  return in;
}

// Peak at 80 % of full scale, 2 ms fade in and 15 ms fade out against clicks.
std::vector<int16_t> Finish(Samples s) {
  double peak = 1e-9;
  for (double x : s) peak = std::max(peak, std::abs(x));
  size_t in = kRate * 2 / 1000, out = kRate * 15 / 1000;
  std::vector<int16_t> pcm(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    double gain = 0.8 / peak;
    if (i < in) gain *= double(i) / in;
    if (s.size() - i <= out) gain *= double(s.size() - i - 1) / out;
    pcm[i] = int16_t(std::lround(std::clamp(s[i] * gain, -1.0, 1.0) * 32767));
  }
  return pcm;
}

// The canonical 44-byte header: RIFF, fmt (PCM, mono, 16 bits), data.
std::vector<uint8_t> Wav(const Samples& samples) {
  std::vector<int16_t> pcm = Finish(samples);
  uint32_t dataBytes = uint32_t(pcm.size() * 2);
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  Put32(out, 36 + dataBytes);
  for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, 1);
  Put32(out, kRate);
  Put32(out, kRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  for (char c : std::string("data")) out.push_back(uint8_t(c));
  Put32(out, dataBytes);
  for (int16_t v : pcm) Put16(out, uint16_t(v));
  return out;
}

double Decay(double t, double tau) { return std::exp(-t / tau); }

Samples Kick() {
  double phase = 0;
  return Make(0.45, [&](double t, int) {
    double f = 45 + 110 * Decay(t, 0.04);
    phase += 2 * kPi * f / kRate;
    return std::sin(phase) * Decay(t, 0.14);
  });
}

Samples Snare() {
  Noise noise;
  Samples body = Make(0.3, [&](double t, int) {
    return 0.5 * std::sin(2 * kPi * 190 * t) * Decay(t, 0.05) + noise.Next() * Decay(t, 0.08);
  });
  return HighPass(body, 400);
}

Samples HiHat() {
  Noise noise;
  return HighPass(Make(0.2, [&](double t, int) { return noise.Next() * Decay(t, 0.03); }), 6000);
}

Samples Clap() {
  Noise noise;
  Samples raw = Make(0.35, [&](double t, int) {
    double bursts = 0;
    for (double start : {0.0, 0.012, 0.024})
      if (t >= start) bursts = std::max(bursts, Decay(t - start, 0.006));
    return noise.Next() * std::max(bursts, 0.6 * Decay(std::max(0.0, t - 0.03), 0.07) * (t >= 0.03));
  });
  return HighPass(raw, 900);
}

// Inharmonic partials of a struck bell: ratio and weight.
Samples Struck(double seconds, double base, std::vector<std::pair<double, double>> partials, double tau) {
  return Make(seconds, [&](double t, int) {
    double sum = 0;
    for (auto [ratio, weight] : partials) sum += weight * std::sin(2 * kPi * base * ratio * t) * Decay(t, tau / ratio);
    return sum;
  });
}

Samples Bell() { return Struck(0.8, 660, {{1, 1}, {2.76, 0.5}, {5.40, 0.25}, {8.93, 0.12}}, 0.7); }
Samples Chime() { return Struck(0.7, 1320, {{1, 1}, {2.0, 0.3}, {3.01, 0.2}}, 0.5); }
Samples Gong() { return Struck(0.8, 140, {{1, 1}, {1.48, 0.6}, {2.13, 0.5}, {2.9, 0.3}}, 1.2); }
Samples Triangle() { return Struck(0.6, 1900, {{1, 1}, {2.9, 0.3}, {4.95, 0.15}}, 0.8); }

Samples Sweep(double seconds, double from, double to, bool square) {
  double phase = 0;
  return Make(seconds, [&](double t, int) {
    double f = from * std::pow(to / from, t / seconds);
    phase += 2 * kPi * f / kRate;
    double wave = square ? (std::sin(phase) >= 0 ? 1.0 : -1.0) * 0.5 : std::sin(phase);
    return wave * Decay(t, seconds / 2.5);
  });
}

Samples Blip() { return Sweep(0.2, 880, 880, true); }
Samples Zap() { return Sweep(0.4, 2000, 100, true); }
Samples Rise() { return Sweep(0.5, 200, 1600, false); }
Samples Laser() {
  double phase = 0;
  return Make(0.3, [&](double t, int) {
    double f = 1800 - 1400 * t / 0.3 + 120 * std::sin(2 * kPi * 30 * t);
    phase += 2 * kPi * f / kRate;
    return std::sin(phase) * Decay(t, 0.12);
  });
}

struct Pack {
  std::string name;
  std::function<Image(int)> picture;
  std::vector<std::pair<std::string, std::function<Samples()>>> sounds;
};

void WritePack(const fs::path& sounds, const Pack& pack) {
  fs::path folder = sounds / pack.name;
  Image big = pack.picture(64);
  Image small = pack.picture(32);
  SavePng(folder / (pack.name + "B.png"), big);
  SavePng(folder / (pack.name + "S.png"), small);
  for (const auto& [name, make] : pack.sounds) Save(folder / (name + ".wav"), Wav(make()));
}

}  // namespace

int main(int argc, char** argv) {
  fs::path root = argc > 1 ? argv[1] : ".";
  if (!fs::exists(root / "CMakeLists.txt")) {
    std::fprintf(stderr, "usage: make-assets <top of the checkout>\n");
    return 2;
  }
  fs::path sounds = root / "assets" / "Sounds";
  WritePack(sounds, {"Drums", DrumPicture, {{"Kick", Kick}, {"Snare", Snare}, {"HiHat", HiHat}, {"Clap", Clap}}});
  WritePack(sounds, {"Bells", BellPicture, {{"Bell", Bell}, {"Chime", Chime}, {"Gong", Gong}, {"Triangle", Triangle}}});
  WritePack(sounds, {"Synth", SynthPicture, {{"Blip", Blip}, {"Zap", Zap}, {"Rise", Rise}, {"Laser", Laser}}});
  return 0;
}
