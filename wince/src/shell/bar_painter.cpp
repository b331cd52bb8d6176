#include "shell/bar_painter.h"

#include <algorithm>

namespace wce::shell {
namespace {

constexpr uint32_t kBar = 0x1E2530;
constexpr uint32_t kBarEdge = 0x3C4658;
constexpr uint32_t kStart = 0x4F8FD8;
constexpr uint32_t kStartPane = 0xA8CCF2;
constexpr uint32_t kIndicator = 0x9AA6B8;
constexpr uint32_t kSipFace = 0x2C3442;
constexpr uint32_t kSipEdge = 0x6A7488;
constexpr uint32_t kKey = 0xA8B2C4;

}  // namespace

void BarPainter::Fill(int left, int top, int right, int bottom, uint32_t rgb) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (left >= right) return;
  for (int y = top; y < bottom; ++y) std::fill(pixels_ + y * width_ + left, pixels_ + y * width_ + right, rgb);
}

void BarPainter::Frame(int left, int top, int right, int bottom, uint32_t rgb) {
  Fill(left, top, right, top + 1, rgb);
  Fill(left, bottom - 1, right, bottom, rgb);
  Fill(left, top, left + 1, bottom, rgb);
  Fill(right - 1, top, right, bottom, rgb);
}

void BarPainter::Taskbar(const RECT& bar) {
  int h = bar.bottom - bar.top;
  if (h <= 0 || bar.right <= bar.left) return;
  Fill(bar.left, bar.top, bar.right, bar.bottom, kBar);
  Fill(bar.left, bar.bottom - 1, bar.right, bar.bottom, kBarEdge);

  // Start square with four panes.
  int margin = std::max(1, h / 6);
  int side = h - 2 * margin;
  int x = bar.left + margin;
  int y = bar.top + margin;
  Fill(x, y, x + side, y + side, kStart);
  int gap = std::max(1, side / 8);
  int pane = (side - 3 * gap) / 2;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 2; ++col) {
      int px = x + gap + col * (pane + gap);
      int py = y + gap + row * (pane + gap);
      Fill(px, py, px + pane, py + pane, kStartPane);
    }

  // Battery at the right edge, four signal bars before it.
  int batteryWidth = h;
  int batteryHeight = h / 2;
  int bx = bar.right - margin - batteryWidth;
  int by = bar.top + (h - batteryHeight) / 2;
  Frame(bx, by, bx + batteryWidth, by + batteryHeight, kIndicator);
  Fill(bx + 2, by + 2, bx + batteryWidth * 3 / 4, by + batteryHeight - 2, kIndicator);
  int nub = std::max(1, batteryHeight / 3);
  Fill(bx - std::max(1, h / 12), by + nub, bx, by + batteryHeight - nub, kIndicator);
  int barWidth = std::max(1, h / 8);
  int sx = bx - margin * 2 - 4 * barWidth * 2;
  int base = bar.top + h - margin;
  for (int i = 0; i < 4; ++i) {
    int top = base - (i + 1) * (h - 2 * margin) / 4;
    Fill(sx + i * barWidth * 2, top, sx + i * barWidth * 2 + barWidth, base, kIndicator);
  }
}

void BarPainter::SipButton(const RECT& box) {
  int w = box.right - box.left;
  int h = box.bottom - box.top;
  if (w <= 0 || h <= 0) return;
  Fill(box.left, box.top, box.right, box.bottom, kSipFace);
  Frame(box.left, box.top, box.right, box.bottom, kSipEdge);
  // Three rows of four keys over a space bar, inside a margin.
  int mx = std::max(2, w / 6);
  int my = std::max(2, h / 4);
  int innerW = w - 2 * mx;
  int innerH = h - 2 * my;
  if (innerW < 4 || innerH < 4) return;
  int rows = 4;
  for (int r = 0; r < rows; ++r) {
    int top = box.top + my + r * innerH / rows;
    int bottom = box.top + my + (r + 1) * innerH / rows - 1;
    if (r == rows - 1) {
      Fill(box.left + mx + innerW / 4, top, box.right - mx - innerW / 4, bottom, kKey);
      continue;
    }
    for (int c = 0; c < 4; ++c) {
      int left = box.left + mx + c * innerW / 4;
      int right = box.left + mx + (c + 1) * innerW / 4 - 1;
      Fill(left, top, right, bottom, kKey);
    }
  }
}

}  // namespace wce::shell
