// Font files and their sized faces: fontconfig picks the file for a face
// name, FreeType renders it. A file is read once and kept, shared by every
// size of it; a size is one FT_Face shared by every font handle asking for it, and it
// renders each glyph once (anti-aliased), keeping the coverage for later.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wce::gdi {

// What fontconfig chose for a request.
struct FontMatch {
  std::string path;
  int index = 0;          // face in a collection file
  bool embolden = false;  // no bold face in the family: thicken the outlines
};

// fontconfig's best file for a face name (UTF-32), a LOGFONT weight and an
// italic flag. Names the system lacks fall back to its sans-serif family.
// Nothing when the system has no fonts at all.
std::optional<FontMatch> MatchFont(std::wstring_view face, LONG weight, bool italic);

// The numbers of a font file in font design units, as its tables give them.
struct DesignMetrics {
  int unitsPerEm = 2048;
  int winAscent = 0;  // OS/2 usWinAscent / usWinDescent, 0 when absent
  int winDescent = 0;
  int hheaAscender = 0;   // hhea, descender negative
  int hheaDescender = 0;
  int avgCharWidth = 0;  // OS/2 xAvgCharWidth
  int maxAdvance = 0;
  int weightClass = FW_NORMAL;
  WCHAR firstChar = 0x20;
  WCHAR lastChar = 0xFFFF;
  WCHAR defaultChar = 0;
};

// One rendered glyph: 8-bit coverage, `width` x `rows`, placed with its top
// left at (pen x + left, baseline - top).
struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  int advance = 0;  // whole pixels, hinted
  std::vector<uint8_t> coverage;
};

// The design metrics of the file; nothing when it cannot be read.
std::optional<DesignMetrics> DesignOf(const FontMatch& match);

class FontFile;

class FontFace {
 public:
  // The face of `match` at `ppem` pixels per em, shared with every other
  // font asking for the same; null when the file cannot be read.
  static std::shared_ptr<FontFace> Open(const FontMatch& match, int ppem);

  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  int Ppem() const { return ppem_; }
  const DesignMetrics& Design() const;
  // The glyph of each character of `text` in order (the font's missing
  // glyph for those it lacks), rendered on first use. The pointers stay
  // valid as long as the face.
  void GlyphsOf(std::wstring_view text, std::vector<const Glyph*>& out);

  struct Private;  // FreeType's side, out of this header
  FontFace(std::shared_ptr<FontFile> file, int ppem, std::unique_ptr<Private> ft);

 private:
  const Glyph& GlyphAt(unsigned index);  // under lock_

  std::shared_ptr<FontFile> file_;
  const int ppem_;
  std::unique_ptr<Private> ft_;
  std::mutex lock_;  // FreeType faces serve one thread at a time
  std::unordered_map<char32_t, unsigned> indexOf_;
  std::unordered_map<unsigned, Glyph> glyphs_;  // nodes: references stay put
};

// Glyphs rendered by every face since the process started; tests read it to
// see that a second draw takes its glyphs from the cache.
uint64_t RenderedGlyphCount();

}  // namespace wce::gdi
