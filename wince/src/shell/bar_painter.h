// Draws the shell's bars into the screen's pixels: plain shapes, no text.
#pragma once

#include <windows.h>

#include <cstdint>

namespace wce::shell {

class BarPainter {
 public:
  BarPainter(uint32_t* pixels, int width, int height) : pixels_(pixels), width_(width), height_(height) {}

  // A dark bar with a lighter start square at the left, signal and battery at the right.
  void Taskbar(const RECT& bar);
  // A small framed box with rows of keys: the input panel button.
  void SipButton(const RECT& box);

 private:
  // Left and top included, right and bottom left out, clipped to the screen.
  void Fill(int left, int top, int right, int bottom, uint32_t rgb);
  void Frame(int left, int top, int right, int bottom, uint32_t rgb);

  uint32_t* pixels_;
  int width_;
  int height_;
};

}  // namespace wce::shell
