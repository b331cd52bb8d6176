// Makes the pictures built into the executable (resources/) and the sound
// packs installed beside it (assets/Sounds/): placeholders of our own, drawn
// and synthesised here so that every byte of them can be made again.
//
// Regenerate from the top of the checkout:
//   g++ -std=c++20 -O2 -o /tmp/make-assets tools/make-assets.cpp -lpng && /tmp/make-assets .
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
#include <map>
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

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  auto channel = [&](int shift) {
    double v = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return uint32_t(std::lround(std::clamp(v, 0.0, 255.0))) << shift;
  };
  return channel(24) | channel(16) | channel(8) | channel(0);
}

bool InCircle(double x, double y, double cx, double cy, double r) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }

bool InRoundRect(double x, double y, double left, double top, double right, double bottom, double r) {
  if (x < left || x > right || y < top || y > bottom) return false;
  double cx = std::clamp(x, left + r, right - r);
  double cy = std::clamp(y, top + r, bottom - r);
  return InCircle(x, y, cx, cy, r);
}

// A 5 x 7 block font for the few capitals the pictures spell.
const std::map<char, std::vector<const char*>>& Glyphs() {
  static const std::map<char, std::vector<const char*>> glyphs = {
      {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
      {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
      {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
      {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
      {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
      {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
      {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
      {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
      {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
      {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
  };
  return glyphs;
}

int TextWidth(const std::string& text, int scale) { return int(text.size()) * 6 * scale - scale; }

void DrawText(Image& image, const std::string& text, int left, int top, int scale, uint32_t argb) {
  int x = left;
  for (char c : text) {
    auto glyph = Glyphs().find(c);
    if (glyph != Glyphs().end())
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (glyph->second[row][col] == '#')
            image.Fill(x + col * scale, top + row * scale, x + (col + 1) * scale, top + (row + 1) * scale, argb);
    x += 6 * scale;
  }
}

void DrawTextCentred(Image& image, const std::string& text, int cx, int cy, int scale, uint32_t argb) {
  DrawText(image, text, cx - TextWidth(text, scale) / 2, cy - 7 * scale / 2, scale, argb);
}

// Colours of the program: the yellow of the progress bar and its dark ochre.
constexpr uint32_t kYellow = Opaque(0xFED411);
constexpr uint32_t kOchre = Opaque(0x705C00);
constexpr uint32_t kInk = Opaque(0x141414);
constexpr uint32_t kMagenta = Opaque(0xFF00FF);  // the program's transparent colour

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

// BITMAPINFOHEADER, BI_RGB, positive height (rows stored bottom-up).
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageBytes, uint32_t colours) {
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);
  Put16(out, uint32_t(bits));
  Put32(out, 0);
  Put32(out, imageBytes);
  Put32(out, 3780);  // 96 dpi in pixels per metre
  Put32(out, 3780);
  Put32(out, colours);
  Put32(out, 0);
}

uint32_t Stride(int width, int bits) { return uint32_t((width * bits + 31) / 32 * 4); }

std::vector<uint8_t> FileHeader(uint32_t fileSize, uint32_t pixelsAt) {
  std::vector<uint8_t> out = {'B', 'M'};
  Put32(out, fileSize);
  Put32(out, 0);
  Put32(out, pixelsAt);
  return out;
}

std::vector<uint8_t> Bmp24(Image& image) {
  uint32_t stride = Stride(image.width, 24);
  uint32_t imageBytes = stride * image.height;
  std::vector<uint8_t> out = FileHeader(54 + imageBytes, 54);
  PutInfoHeader(out, image.width, image.height, 24, imageBytes, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < image.width; ++x) {
      uint32_t p = image.At(x, y);
      out.push_back(uint8_t(p));
      out.push_back(uint8_t(p >> 8));
      out.push_back(uint8_t(p >> 16));
    }
    out.resize(start + stride, 0);
  }
  return out;
}

// 8 bits a pixel with a colour table of the colours the picture uses.
std::vector<uint8_t> Bmp8(Image& image) {
  std::map<uint32_t, uint8_t> index;
  std::vector<uint32_t> palette;
  for (uint32_t p : image.pixels) {
    uint32_t rgb = p & 0xFFFFFF;
    if (index.count(rgb)) continue;
    if (palette.size() == 256) {
      std::fprintf(stderr, "more than 256 colours in an 8-bit picture\n");
      std::exit(1);
    }
    index[rgb] = uint8_t(palette.size());
    palette.push_back(rgb);
  }
  uint32_t stride = Stride(image.width, 8);
  uint32_t imageBytes = stride * image.height;
  uint32_t pixelsAt = 54 + uint32_t(palette.size()) * 4;
  std::vector<uint8_t> out = FileHeader(pixelsAt + imageBytes, pixelsAt);
  PutInfoHeader(out, image.width, image.height, 8, imageBytes, uint32_t(palette.size()));
  for (uint32_t rgb : palette) Put32(out, rgb);  // RGBQUAD: blue, green, red, 0
  for (int y = image.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < image.width; ++x) out.push_back(index[image.At(x, y) & 0xFFFFFF]);
    out.resize(start + stride, 0);
  }
  return out;
}

// An icon file of 32-bit images, each with its AND mask (set where alpha is 0).
std::vector<uint8_t> Ico(std::vector<Image>& images) {
  std::vector<std::vector<uint8_t>> dibs;
  for (Image& image : images) {
    std::vector<uint8_t> dib;
    uint32_t maskStride = Stride(image.width, 1);
    PutInfoHeader(dib, image.width, image.height * 2, 32, 0, 0);
    for (int y = image.height - 1; y >= 0; --y)
      for (int x = 0; x < image.width; ++x) Put32(dib, image.At(x, y));
    for (int y = image.height - 1; y >= 0; --y) {
      std::vector<uint8_t> row(maskStride, 0);
      for (int x = 0; x < image.width; ++x)
        if ((image.At(x, y) >> 24) == 0) row[x / 8] |= uint8_t(0x80 >> (x % 8));
      dib.insert(dib.end(), row.begin(), row.end());
    }
    dibs.push_back(std::move(dib));
  }
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, uint32_t(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(uint8_t(images[i].width));
    out.push_back(uint8_t(images[i].height));
    out.push_back(0);  // colour count: none for true colour
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, uint32_t(dibs[i].size()));
    Put32(out, offset);
    offset += uint32_t(dibs[i].size());
  }
  for (const auto& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
  return out;
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

// --------------------------------------------------- resource pictures ----

// Sound waves around a round pad: the picture behind the loading screen.
Image Splash() {
  const int side = 480;
  Image image(side, side, Opaque(0x000000));
  double c = side / 2.0;
  double cy = 200;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      double d = std::hypot(x + 0.5 - c, y + 0.5 - cy);
      image.At(x, y) = Mix(Opaque(0x2A2410), Opaque(0x000000), std::min(1.0, d / 260));
    }
  // Three arcs on each side, fading outwards.
  for (int ring = 0; ring < 3; ++ring) {
    double r = 118 + ring * 34;
    uint32_t colour = Mix(kYellow, Opaque(0x2A2410), ring * 0.3);
    image.Shape(
        [&](double x, double y) {
          double d = std::hypot(x - c, y - cy);
          double angle = std::atan2(y - cy, std::abs(x - c));
          return d >= r && d <= r + 12 && std::abs(angle) < 0.75;
        },
        colour);
  }
  // The pad: a yellow disc with a dark rim and three dots for slots.
  image.Shape([&](double x, double y) { return InCircle(x, y, c, cy, 96); }, kOchre);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      if (InCircle(x + 0.5, y + 0.5, c, cy, 88))
        image.At(x, y) = Mix(kYellow, Opaque(0xC89A08), (y - (cy - 88)) / 176.0);
  for (int i = -1; i <= 1; ++i) image.Shape([&](double x, double y) { return InCircle(x, y, c + i * 44, cy, 17); }, kInk);
  DrawTextCentred(image, "JOSTLEPAD", side / 2, 372, 5, kYellow);
  return image;
}

// The About page's title: the name on a band of stepped gradient.
Image Title() {
  Image image(380, 40, 0);
  for (int y = 0; y < 40; ++y) {
    double t = std::floor(y / 40.0 * 16) / 15;  // 16 steps keep the colour table small
    image.Fill(0, y, 380, y + 1, Mix(Opaque(0x2E2A1E), Opaque(0x0A0906), t));
  }
  image.Fill(0, 38, 380, 40, kOchre);
  DrawTextCentred(image, "JOSTLEPAD", 190 + 2, 19 + 2, 4, Opaque(0x000000));  // shadow
  DrawTextCentred(image, "JOSTLEPAD", 190, 19, 4, kYellow);
  return image;
}

// The donation button; pressed, it is darker and the text sinks by two pixels.
Image Donate(bool pressed) {
  Image image(184, 52, Opaque(0x000000));
  uint32_t top = pressed ? Opaque(0xB8920A) : kYellow;
  uint32_t bottom = pressed ? Opaque(0x806400) : Opaque(0xD8A70C);
  image.Shape([](double x, double y) { return InRoundRect(x, y, 0, 0, 184, 52, 12); }, kOchre);
  for (int y = 2; y < 50; ++y) {
    double t = std::floor((y - 2) / 48.0 * 12) / 11;
    uint32_t colour = Mix(top, bottom, t);
    for (int x = 0; x < 184; ++x)
      if (InRoundRect(x + 0.5, y + 0.5, 2, 2, 182, 50, 10)) image.At(x, y) = colour;
  }
  int sink = pressed ? 2 : 0;
  DrawTextCentred(image, "DONATE", 92, 26 + sink, 4, kInk);
  return image;
}

// The program's icon: the yellow pad with dark dots, smooth edges in alpha.
Image Icon(int side) {
  Image image(side, side, 0);
  double c = side / 2.0;
  double r = side / 2.0 - 0.5;
  const int samples = 4;  // 4 x 4 samples a pixel for the edge
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      int hits = 0;
      for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx)
          hits += InCircle(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, c, c, r);
      if (hits == 0) continue;
      double depth = std::hypot(x + 0.5 - c, y + 0.5 - c) / r;
      uint32_t rgb = depth > 0.86 ? kOchre : Mix(kYellow, Opaque(0xC89A08), (y + 0.5) / side);
      uint32_t alpha = uint32_t(std::lround(255.0 * hits / (samples * samples)));
      image.At(x, y) = alpha << 24 | (rgb & 0xFFFFFF);
    }
  double dot = side / 11.0;
  for (int i = -1; i <= 1; ++i)
    image.Shape([&](double x, double y) { return InCircle(x, y, c + i * side * 0.26, c, dot); }, kInk);
  return image;
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
  fs::path resources = root / "resources";
  std::vector<Image> icons = {Icon(32), Icon(16)};
  Save(resources / "101_icon.ico", Ico(icons));
  Image splash = Splash();
  Save(resources / "102_splash.bmp", Bmp24(splash));
  Image title = Title();
  Save(resources / "103_title.bmp", Bmp8(title));
  Image up = Donate(false);
  Save(resources / "104_donate_up.bmp", Bmp8(up));
  Image down = Donate(true);
  Save(resources / "105_donate_down.bmp", Bmp8(down));

  fs::path sounds = root / "assets" / "Sounds";
  WritePack(sounds, {"Drums", DrumPicture, {{"Kick", Kick}, {"Snare", Snare}, {"HiHat", HiHat}, {"Clap", Clap}}});
  WritePack(sounds, {"Bells", BellPicture, {{"Bell", Bell}, {"Chime", Chime}, {"Gong", Gong}, {"Triangle", Triangle}}});
  WritePack(sounds, {"Synth", SynthPicture, {{"Blip", Blip}, {"Zap", Zap}, {"Rise", Rise}, {"Laser", Laser}}});
  return 0;
}
