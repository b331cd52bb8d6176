#include "gdi/blit.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>

#include "gdi/rects.h"

namespace wce::gdi {
namespace {

std::atomic<bool> gReferencePixels{false};

int64_t Wrap(int64_t value, int64_t size) {
  int64_t r = value % size;
  return r < 0 ? r + size : r;
}

// One axis with its extents made positive: destination [start, start +
// length), source [sourceStart, sourceStart + sourceLength).
struct Axis {
  int64_t start = 0;
  int64_t length = 0;
  int64_t sourceStart = 0;
  int64_t sourceLength = 0;
  bool mirrored = false;
};

// A negative extent reaches back from its origin, which it includes:
// [at + extent + 1, at + 1), as Windows draws a mirrored copy.
Axis Normalise(const CopyAxis& a) {
  Axis axis{a.at, a.extent, a.sourceAt, a.sourceExtent, (a.extent < 0) != (a.sourceExtent < 0)};
  if (axis.length < 0) {
    axis.start += axis.length + 1;
    axis.length = -axis.length;
  }
  if (axis.sourceLength < 0) {
    axis.sourceStart += axis.sourceLength + 1;
    axis.sourceLength = -axis.sourceLength;
  }
  return axis;
}

// The Bresenham walk: the first source index that lands on destination
// index i, for i, i + 1, ... Enlarging, i takes ((2i+1)S - 1) / 2D; shrinking,
// source j lands on ((2j+1)D - 1) / 2S, and the first j reaching i is
// ceil((2Si + 1 - D) / 2D) = (2Si + D) / 2D. Either numerator grows by 2S a
// step, so quotient and remainder move by fixed amounts and no step divides.
// Extents stay below 2^32, so every product fits 64 bits unsigned.
class SourceWalk {
 public:
  SourceWalk(uint64_t i, uint64_t d, uint64_t s)
      : denominator_(2 * d), quotientStep_(2 * s / (2 * d)), remainderStep_(2 * s % (2 * d)) {
    uint64_t numerator = d >= s ? (2 * i + 1) * s - 1 : 2 * s * i + d;
    quotient_ = numerator / denominator_;
    remainder_ = numerator % denominator_;
  }
  uint64_t Current() const { return quotient_; }
  void Next() {
    quotient_ += quotientStep_;
    remainder_ += remainderStep_;
    if (remainder_ >= denominator_) {
      remainder_ -= denominator_;
      ++quotient_;
    }
  }

 private:
  uint64_t denominator_, quotientStep_, remainderStep_;
  uint64_t quotient_ = 0, remainder_ = 0;
};

// Which destination coordinates of one axis are drawn, and where each reads.
struct AxisTable {
  int64_t from = 0;  // DC coordinates [from, to)
  int64_t to = 0;
  std::vector<int32_t> first;  // per coordinate: the first source pixel (source canvas coordinate)
  std::vector<int32_t> count;  // and how many merge onto it
  bool identity = false;       // first[k] == first[0] + k, one each
  bool merging = false;
  int32_t lo = 0;  // source pixels read: [lo, hi)
  int32_t hi = 0;
};

// `bounds` are the DC coordinates the target has; `readable` the source's
// canvas coordinates that may be read, `sourceOrigin` its DC's origin there.
// Shrinking without a merge keeps one source of each group: the last along a
// row (`keepLast`), the first down a column, as Windows does.
bool BuildAxis(const Axis& a, int64_t boundsLo, int64_t boundsHi, bool readsSource, int64_t readableLo,
               int64_t readableHi, int64_t sourceOrigin, bool merge, bool keepLast, AxisTable& t) {
  t.from = std::max(a.start, boundsLo);
  t.to = std::min(a.start + a.length, boundsHi);
  if (t.from >= t.to) return false;
  if (!readsSource) return true;
  if (a.sourceLength == 0) return false;
  const uint64_t d = static_cast<uint64_t>(a.length), s = static_cast<uint64_t>(a.sourceLength);
  t.merging = merge && d < s;
  t.identity = !a.mirrored && d == s;
  // Destination indexes [iLo, iHi) cover the coordinates [from, to), in one
  // order or the other; walk them upwards.
  const size_t n = static_cast<size_t>(t.to - t.from);
  const uint64_t iLo = static_cast<uint64_t>(a.mirrored ? a.start + a.length - t.to : t.from - a.start);
  std::vector<int64_t> at(n);
  std::vector<int32_t> count(n, 1);
  const bool lastOfGroup = keepLast && d < s && !t.merging;
  SourceWalk walk(iLo, d, s);
  for (size_t k = 0; k < n; ++k) {
    uint64_t f = walk.Current();
    walk.Next();
    if (t.merging) count[k] = static_cast<int32_t>(walk.Current() - f);
    if (lastOfGroup) f = walk.Current() - 1;
    at[k] = a.sourceStart + static_cast<int64_t>(f) + sourceOrigin;
  }
  if (a.mirrored) {
    std::reverse(at.begin(), at.end());
    std::reverse(count.begin(), count.end());
  }
  // Keep the coordinates whose sources can all be read; the walk is
  // monotonic, so they form one run.
  size_t begin = 0, end = n;
  auto readable = [&](size_t k) { return at[k] >= readableLo && at[k] + count[k] <= readableHi; };
  while (begin < end && !readable(begin)) ++begin;
  while (end > begin && !readable(end - 1)) --end;
  if (begin == end) return false;
  t.from += static_cast<int64_t>(begin);
  t.to = t.from + static_cast<int64_t>(end - begin);
  t.first.assign(at.begin() + static_cast<ptrdiff_t>(begin), at.begin() + static_cast<ptrdiff_t>(end));
  t.count.assign(count.begin() + static_cast<ptrdiff_t>(begin), count.begin() + static_cast<ptrdiff_t>(end));
  t.lo = std::min(t.first.front(), t.first.back());
  t.hi = std::max(t.first.front() + t.count.front(), t.first.back() + t.count.back());
  return true;
}

uint32_t Merge(int stretchMode, uint32_t a, uint32_t b) { return stretchMode == WHITEONBLACK ? a | b : a & b; }

// Merges a whole source row into `out`, two pixels at a time.
template <bool Or>
void MergeRowAs(uint32_t* __restrict out, const uint32_t* __restrict row, int32_t from, int32_t to) {
  int32_t c = from;
  for (; c + 4 <= to; c += 4) {
    uint64_t a[2], b[2];
    std::memcpy(a, out + c, sizeof a);
    std::memcpy(b, row + c, sizeof b);
    a[0] = Or ? a[0] | b[0] : a[0] & b[0];
    a[1] = Or ? a[1] | b[1] : a[1] & b[1];
    std::memcpy(out + c, a, sizeof a);
  }
  for (; c < to; ++c) out[c] = Or ? out[c] | row[c] : out[c] & row[c];
}

void MergeRow(uint32_t* out, const uint32_t* row, int32_t from, int32_t to, int stretchMode) {
  if (stretchMode == WHITEONBLACK)
    MergeRowAs<true>(out, row, from, to);
  else
    MergeRowAs<false>(out, row, from, to);
}

// The source pixels a call reads: the canvas itself, or a copy of the part
// it reads, in the target's format, when the formats differ or the source
// shares the target's pixels.
struct SourceView {
  const uint32_t* pixels = nullptr;
  int stride = 0;
  std::vector<uint32_t> copy;

  const uint32_t* Row(int32_t y) const { return pixels + static_cast<size_t>(y) * stride; }
};

void TakeCopy(SourceView& view, const Canvas& source, AxisTable& x, AxisTable& y, bool targetMono,
              const EdgeColors& colors) {
  const int w = x.hi - x.lo, h = y.hi - y.lo;
  view.copy.resize(static_cast<size_t>(w) * h);
  for (int row = 0; row < h; ++row) {
    const uint32_t* from = source.pixels + static_cast<size_t>(y.lo + row) * source.width + x.lo;
    uint32_t* to = view.copy.data() + static_cast<size_t>(row) * w;
    for (int col = 0; col < w; ++col) to[col] = ConvertPixel(from[col], source.mono, targetMono, colors);
  }
  for (int32_t& v : x.first) v -= x.lo;
  for (int32_t& v : y.first) v -= y.lo;
  x.hi -= x.lo;
  x.lo = 0;
  y.hi -= y.lo;
  y.lo = 0;
  view.pixels = view.copy.data();
  view.stride = w;
}

// The source row for one destination row: the row itself, or the rows that
// shrink onto it merged. Consecutive destination rows often share one.
class SourceRows {
 public:
  SourceRows(const SourceView& view, const AxisTable& x, const AxisTable& y, int stretchMode)
      : view_(view), x_(x), y_(y), mode_(stretchMode) {}

  const uint32_t* For(int64_t k) {
    int32_t first = y_.first[k], count = y_.count[k];
    if (count == 1) return view_.Row(first);
    if (first == cachedFirst_) return merged_.data();
    merged_.resize(static_cast<size_t>(view_.stride));
    uint32_t* out = merged_.data();
    std::copy(view_.Row(first) + x_.lo, view_.Row(first) + x_.hi, out + x_.lo);
    for (int32_t r = first + 1; r < first + count; ++r) MergeRow(out, view_.Row(r), x_.lo, x_.hi, mode_);
    cachedFirst_ = first;
    return out;
  }

 private:
  const SourceView& view_;
  const AxisTable& x_;
  const AxisTable& y_;
  int mode_;
  int32_t cachedFirst_ = -1;
  std::vector<uint32_t> merged_;
};

}  // namespace

PatternRows::PatternRows(const Brush& brush, POINT origin, bool monoTarget, const EdgeColors& colors)
    : origin_(origin) {
  if (brush.style == BS_PATTERN && brush.pattern) {
    pattern_ = brush.pattern.get();
    converted_.reserve(pattern_->pixels.size());
    for (uint32_t p : pattern_->pixels) {
      if (pattern_->Mono() && !monoTarget)
        converted_.push_back(p ? colors.background : colors.text);  // as the platform: text and background
      else
        converted_.push_back(monoTarget ? NearestMono(p) : p);
    }
    return;
  }
  uint32_t rgb = PixelFromColor(brush.color);
  solid_ = monoTarget ? NearestMono(rgb) : rgb;
}

const uint32_t* PatternRows::Row(int64_t x, int64_t y, int n) {
  if (static_cast<int>(row_.size()) < n) row_.resize(static_cast<size_t>(n), solid_);
  if (!pattern_) return row_.data();
  const int w = pattern_->width;
  const uint32_t* line = converted_.data() + static_cast<size_t>(Wrap(y - origin_.y, pattern_->height)) * w;
  int column = static_cast<int>(Wrap(x - origin_.x, w));
  for (int i = 0; i < n; ++i) {
    row_[i] = line[column];
    if (++column == w) column = 0;
  }
  return row_.data();
}

size_t Copy(const Canvas& target, const Canvas* source, const CopyCall& call) {
  return gReferencePixels ? ReferenceCopy(target, source, call) : FastCopy(target, source, call);
}

void UseReferencePixels(bool on) { gReferencePixels = on; }

size_t FastCopy(const Canvas& target, const Canvas* source, const CopyCall& call) {
  const CopyParams& params = call.params;
  const bool readsSource = params.kind != SpanKind::Raster || params.op.usesSource;
  const bool usesPattern = params.kind == SpanKind::Raster && params.op.usesPattern;
  if (!target.pixels || target.clip.empty()) return 0;
  if (readsSource && (!source || !source->pixels)) return 0;
  if (usesPattern && !call.brush) return 0;

  // Clip first: the destination to the target, then to what has a readable source.
  const bool merge = params.stretchMode == BLACKONWHITE || params.stretchMode == WHITEONBLACK;
  const POINT so = source ? source->origin : POINT{0, 0};
  const RECT readable = source ? source->readable : RECT{};
  AxisTable x, y;
  if (!BuildAxis(Normalise(call.x), -target.origin.x, int64_t{target.width} - target.origin.x, readsSource,
                 readable.left, readable.right, so.x, merge, true, x) ||
      !BuildAxis(Normalise(call.y), -target.origin.y, int64_t{target.height} - target.origin.y, readsSource,
                 readable.top, readable.bottom, so.y, merge, false, y))
    return 0;

  SourceView view;
  if (readsSource) {
    view.pixels = source->pixels;
    view.stride = source->width;
    if (source->mono != target.mono || source->pixels == target.pixels)
      TakeCopy(view, *source, x, y, target.mono, call.colors);
  }
  SourceRows rows(view, x, y, params.stretchMode);

  // The kernel, once for the whole call.
  const bool mapped = readsSource && !x.merging && !x.identity;
  const SpanKernel kernel = ChooseSpanKernel(params.kind, params.op.code, mapped);
  const SpanParams spanParams{params.op.code, params.key, params.alpha};
  const bool toMono = target.mono && params.kind == SpanKind::Blend;
  // A plain copy gives equal rows for equal sources: enlarging downwards
  // repeats the row above instead of walking the columns again.
  const bool repeatRows = readsSource && params.kind == SpanKind::Raster && params.op.code == RopCode(SRCCOPY);
  std::optional<PatternRows> pattern;
  if (usesPattern) pattern.emplace(*call.brush, call.brushOrigin, target.mono, call.colors);
  std::vector<uint32_t> mergedColumns;

  size_t written = 0;
  for (const RECT& clip : target.clip) {
    const int64_t left = std::max<int64_t>(clip.left, x.from + target.origin.x);
    const int64_t right = std::min<int64_t>(clip.right, x.to + target.origin.x);
    const int64_t top = std::max<int64_t>(clip.top, y.from + target.origin.y);
    const int64_t bottom = std::min<int64_t>(clip.bottom, y.to + target.origin.y);
    if (left >= right || top >= bottom) continue;
    const int n = static_cast<int>(right - left);
    const int64_t k0 = left - target.origin.x - x.from;
    for (int64_t py = top; py < bottom; ++py) {
      Span span;
      span.dest = target.pixels + static_cast<size_t>(py) * target.width + left;
      span.n = n;
      const int64_t ky = py - target.origin.y - y.from;
      if (repeatRows && py > top && y.first[ky] == y.first[ky - 1] && y.count[ky] == y.count[ky - 1]) {
        std::memcpy(span.dest, span.dest - target.width, static_cast<size_t>(n) * sizeof *span.dest);
        continue;
      }
      if (readsSource) {
        const uint32_t* row = rows.For(ky);
        if (x.merging) {
          mergedColumns.resize(static_cast<size_t>(n));
          for (int i = 0; i < n; ++i) {
            const int32_t f = x.first[k0 + i], c = x.count[k0 + i];
            uint32_t v = row[f];
            for (int32_t j = 1; j < c; ++j) v = Merge(params.stretchMode, v, row[f + j]);
            mergedColumns[i] = v;
          }
          span.source = mergedColumns.data();
        } else if (x.identity) {
          span.source = row + x.first[k0];
        } else {
          span.source = row;
          span.columns = x.first.data() + k0;
        }
      }
      if (pattern) span.pattern = pattern->Row(left - target.origin.x, py - target.origin.y, n);
      kernel(spanParams, span);
      if (toMono)
        for (int i = 0; i < n; ++i) span.dest[i] = NearestMono(span.dest[i]);
    }
    written += static_cast<size_t>(n) * static_cast<size_t>(bottom - top);
  }
  return written;
}

}  // namespace wce::gdi
