#include "gdi/font_face.h"

#ifndef __EMSCRIPTEN__
#include <fontconfig/fontconfig.h>
#endif
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>

#include "gdi/font_table.h"
#include "kernel/paths.h"

namespace wce::gdi {
namespace {

std::atomic<uint64_t> gRendered{0};

// One FreeType library for the process. Creating and freeing faces must be
// serialised on it; each face is then used by one thread at a time under its
// own lock. Faces hold the library so that it outlives them at exit.
class Library {
 public:
  Library() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~Library() {
    if (library_) FT_Done_FreeType(library_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  FT_Library Get() const { return library_; }
  std::mutex& Lock() { return lock_; }

 private:
  FT_Library library_ = nullptr;
  std::mutex lock_;
};

std::shared_ptr<Library> SharedLibrary() {
  static std::shared_ptr<Library> library = std::make_shared<Library>();
  return library;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  unsigned char chunk[65536];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok && !bytes.empty();
}

DesignMetrics ReadDesign(FT_Face face) {
  DesignMetrics m;
  if (face->units_per_EM > 0) m.unitsPerEm = face->units_per_EM;
  m.hheaAscender = face->ascender;
  m.hheaDescender = face->descender;
  m.maxAdvance = face->max_advance_width;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
    m.winAscent = os2->usWinAscent;
    m.winDescent = os2->usWinDescent;
    m.avgCharWidth = os2->xAvgCharWidth;
    if (os2->usWeightClass) m.weightClass = os2->usWeightClass;
    m.firstChar = static_cast<WCHAR>(os2->usFirstCharIndex);
    m.lastChar = static_cast<WCHAR>(os2->usLastCharIndex);
    if (os2->version >= 2) m.defaultChar = static_cast<WCHAR>(os2->usDefaultChar);
  }
  return m;
}

}  // namespace

// A font file's bytes, read once and shared by every size made from it.
class FontFile {
 public:
  FontFile(std::shared_ptr<Library> library, std::vector<unsigned char> bytes, int index, DesignMetrics design)
      : library_(std::move(library)), bytes_(std::move(bytes)), index_(index), design_(design) {}

  Library& Lib() { return *library_; }
  const std::shared_ptr<Library>& LibPtr() const { return library_; }
  const std::vector<unsigned char>& Bytes() const { return bytes_; }
  int Index() const { return index_; }
  const DesignMetrics& Design() const { return design_; }

 private:
  std::shared_ptr<Library> library_;
  std::vector<unsigned char> bytes_;
  int index_;
  DesignMetrics design_;
};

struct FontFace::Private {
  FT_Face face = nullptr;
  bool embolden = false;
};

namespace {

// Files are kept once read (a handful of fonts, each read once); sizes die
// with the last font that uses them.
struct Registry {
  std::mutex lock;
  std::map<std::pair<std::string, int>, std::shared_ptr<FontFile>> files;
  std::map<std::tuple<std::string, int, bool, int>, std::weak_ptr<FontFace>> faces;
};

Registry& Faces() {
  static Registry registry;
  return registry;
}

// Under the registry's lock.
std::shared_ptr<FontFile> OpenFile(Registry& registry, const FontMatch& match) {
  auto key = std::make_pair(match.path, match.index);
  if (std::shared_ptr<FontFile> file = registry.files[key]) return file;
  std::shared_ptr<Library> library = SharedLibrary();
  std::vector<unsigned char> bytes;
  if (!library->Get() || !ReadWholeFile(match.path, bytes)) return nullptr;
  DesignMetrics design;
  {
    std::lock_guard<std::mutex> guard(library->Lock());
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library->Get(), bytes.data(), static_cast<FT_Long>(bytes.size()), match.index, &face) != 0)
      return nullptr;
    bool scalable = FT_IS_SCALABLE(face);
    design = ReadDesign(face);
    FT_Done_Face(face);
    if (!scalable) return nullptr;  // bitmap-only fonts cannot take any size asked of them
  }
  auto file = std::make_shared<FontFile>(std::move(library), std::move(bytes), match.index, design);
  registry.files[key] = file;
  return file;
}

}  // namespace

std::optional<DesignMetrics> DesignOf(const FontMatch& match) {
  Registry& registry = Faces();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::shared_ptr<FontFile> file = OpenFile(registry, match);
  if (!file) return std::nullopt;
  return file->Design();
}

std::shared_ptr<FontFace> FontFace::Open(const FontMatch& match, int ppem) {
  Registry& registry = Faces();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto key = std::make_tuple(match.path, match.index, match.embolden, ppem);
  if (std::shared_ptr<FontFace> face = registry.faces[key].lock()) return face;
  std::shared_ptr<FontFile> file = OpenFile(registry, match);
  if (!file) return nullptr;
  auto ft = std::make_unique<Private>();
  ft->embolden = match.embolden;
  {
    std::lock_guard<std::mutex> libraryGuard(file->Lib().Lock());
    const auto& bytes = file->Bytes();
    if (FT_New_Memory_Face(file->Lib().Get(), bytes.data(), static_cast<FT_Long>(bytes.size()), file->Index(),
                           &ft->face) != 0)
      return nullptr;
    if (FT_Set_Pixel_Sizes(ft->face, 0, static_cast<FT_UInt>(ppem)) != 0) {
      FT_Done_Face(ft->face);
      return nullptr;
    }
  }
  auto face = std::make_shared<FontFace>(std::move(file), ppem, std::move(ft));
  registry.faces[key] = face;
  return face;
}

FontFace::FontFace(std::shared_ptr<FontFile> file, int ppem, std::unique_ptr<Private> ft)
    : file_(std::move(file)), ppem_(ppem), ft_(std::move(ft)) {}

FontFace::~FontFace() {
  std::lock_guard<std::mutex> guard(file_->Lib().Lock());
  FT_Done_Face(ft_->face);
}

const DesignMetrics& FontFace::Design() const { return file_->Design(); }

const Glyph& FontFace::GlyphAt(unsigned index) {
  auto found = glyphs_.find(index);
  if (found != glyphs_.end()) return found->second;
  Glyph& glyph = glyphs_[index];
  FT_Face face = ft_->face;
  // Light hinting snaps to the pixel grid vertically only: crisp stems
  // without distorting the shapes, which reads well at 192 dpi.
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0) return glyph;
  if (ft_->embolden) FT_GlyphSlot_Embolden(face->glyph);
  glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return glyph;
  gRendered.fetch_add(1, std::memory_order_relaxed);
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
  glyph.left = face->glyph->bitmap_left;
  glyph.top = face->glyph->bitmap_top;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
  // A negative pitch means the rows are stored bottom-up.
  for (int y = 0; y < glyph.rows; ++y) {
    const unsigned char* row =
        bitmap.pitch >= 0 ? bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch
                          : bitmap.buffer + static_cast<ptrdiff_t>(glyph.rows - 1 - y) * -bitmap.pitch;
    std::copy(row, row + glyph.width, glyph.coverage.begin() + static_cast<ptrdiff_t>(y) * glyph.width);
  }
  return glyph;
}

void FontFace::GlyphsOf(std::wstring_view text, std::vector<const Glyph*>& out) {
  out.clear();
  out.reserve(text.size());
  std::lock_guard<std::mutex> guard(lock_);
  for (wchar_t c : text) {
    char32_t code = static_cast<char32_t>(c);
    auto [at, isNew] = indexOf_.try_emplace(code, 0u);
    if (isNew) at->second = FT_Get_Char_Index(ft_->face, code);  // 0: the missing glyph
    out.push_back(&GlyphAt(at->second));
  }
}

uint64_t RenderedGlyphCount() { return gRendered.load(std::memory_order_relaxed); }

#ifdef __EMSCRIPTEN__
// The browser has no fontconfig: a fixed table of the files it would pick.
std::optional<FontMatch> MatchFont(std::wstring_view face, LONG weight, bool italic) {
  return MatchFontFromTable(face, weight, italic);
}
#else
// ---- fontconfig ----

namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// fontconfig, set up on first use and taken down at exit: its configuration
// stays allocated until FcFini, which leak checkers would otherwise report.
struct Fontconfig {
  std::mutex lock;
  bool ready = false;
  ~Fontconfig() {
    if (ready) FcFini();
  }
};

Fontconfig& FontconfigState() {
  static Fontconfig state;
  return state;
}

}  // namespace

std::optional<FontMatch> MatchFont(std::wstring_view face, LONG weight, bool italic) {
  Fontconfig& fontconfig = FontconfigState();
  std::lock_guard<std::mutex> guard(fontconfig.lock);
  if (!fontconfig.ready && !(fontconfig.ready = FcInit())) return std::nullopt;
  Pattern pattern(FcPatternCreate());
  if (!pattern) return std::nullopt;
  std::string family = WideToUtf8(face);
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  // Appended after the name, so it only wins when the name is unknown.
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  int openTypeWeight = weight <= 0 ? FW_NORMAL : std::min<LONG>(weight, 1000);
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(openTypeWeight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return std::nullopt;
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern found(FcFontMatch(nullptr, pattern.get(), &result));
  if (!found || result != FcResultMatch) return std::nullopt;
  FcChar8* file = nullptr;
  if (FcPatternGetString(found.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return std::nullopt;
  FontMatch match;
  match.path = reinterpret_cast<const char*>(file);
  int index = 0;
  if (FcPatternGetInteger(found.get(), FC_INDEX, 0, &index) == FcResultMatch) match.index = index;
  FcBool embolden = FcFalse;
  if (FcPatternGetBool(found.get(), FC_EMBOLDEN, 0, &embolden) == FcResultMatch) match.embolden = embolden;
  return match;
}

#endif

}  // namespace wce::gdi
