#include "app/TransitionFrame.h"

namespace {

enum class Source { From, To };
enum class Axis { Columns, Rows };
// Positions and lengths along the moving axis, from its extent E and the
// travelled distance v.
enum class Span { Zero, V, ExtentMinusV, Extent };

struct Copy {
  Source source;
  Span sourceStart;
  Span targetStart;
  Span length;
};

struct Kind {
  TransitionKind kind;
  Axis axis;
  Copy copies[2];  // in drawing order
};

const Kind kKinds[] = {
    // The old page leaves on one side while the new one comes in from the other.
    {PushLeft, Axis::Columns,
     {{Source::From, Span::V, Span::Zero, Span::ExtentMinusV},
      {Source::To, Span::Zero, Span::ExtentMinusV, Span::V}}},
    {PushRight, Axis::Columns,
     {{Source::To, Span::ExtentMinusV, Span::Zero, Span::V},
      {Source::From, Span::Zero, Span::V, Span::ExtentMinusV}}},
    {PushUp, Axis::Rows,
     {{Source::From, Span::V, Span::Zero, Span::ExtentMinusV},
      {Source::To, Span::Zero, Span::ExtentMinusV, Span::V}}},
    {PushDown, Axis::Rows,
     {{Source::To, Span::ExtentMinusV, Span::Zero, Span::V},
      {Source::From, Span::Zero, Span::V, Span::ExtentMinusV}}},
    // One page lies still underneath while the other slides over it.
    {UncoverUp, Axis::Rows,
     {{Source::To, Span::Zero, Span::Zero, Span::Extent},
      {Source::From, Span::V, Span::Zero, Span::ExtentMinusV}}},
    {CoverDown, Axis::Rows,
     {{Source::From, Span::Zero, Span::Zero, Span::Extent},
      {Source::To, Span::ExtentMinusV, Span::Zero, Span::V}}},
};

int Measure(Span span, int extent, int v) {
  switch (span) {
    case Span::Zero:
      return 0;
    case Span::V:
      return v;
    case Span::ExtentMinusV:
      return extent - v;
    case Span::Extent:
      return extent;
  }
  return 0;
}

const Kind* FindKind(int kind) {
  for (const Kind& entry : kKinds) {
    if (entry.kind == kind) return &entry;
  }
  return NULL;
}

}  // namespace

bool DrawTransitionCopies(HDC back, HDC from, HDC to, int kind, double progress, int width, int height) {
  const Kind* entry = FindKind(kind);
  if (entry == NULL) return false;
  bool columns = entry->axis == Axis::Columns;
  int extent = columns ? width : height;
  // Truncated toward zero, as a cast does.
  int v = static_cast<int>(extent * progress);
  for (const Copy& copy : entry->copies) {
    HDC source = copy.source == Source::From ? from : to;
    int sourceStart = Measure(copy.sourceStart, extent, v);
    int targetStart = Measure(copy.targetStart, extent, v);
    int length = Measure(copy.length, extent, v);
    // Each copy spans the whole of the other dimension.
    if (columns) {
      BitBlt(back, targetStart, 0, length, height, source, sourceStart, 0, SRCCOPY);
    } else {
      BitBlt(back, 0, targetStart, width, length, source, 0, sourceStart, SRCCOPY);
    }
  }
  return true;
}
