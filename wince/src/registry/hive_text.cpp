#include "registry/hive_text.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace wce::registry {

namespace {

constexpr std::wstring_view kHeader = L"Windows Registry Editor Version 5.00";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr size_t kHexLineWidth = 77;  // regedit keeps its hex lines within 80 columns

// ------------------------------------------------------------------ UTF-8 --

// Strict: no overlong forms, no surrogates, nothing past U+10FFFF.
bool DecodeUtf8(std::string_view in, std::wstring& out) {
  out.clear();
  size_t i = 0;
  while (i < in.size()) {
    auto b = static_cast<uint8_t>(in[i]);
    uint32_t c = 0;
    size_t extra = 0;
    uint32_t min = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      extra = 1;
      min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      extra = 2;
      min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      extra = 3;
      min = 0x10000;
    } else {
      return false;
    }
    if (in.size() - i - 1 < extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      auto cont = static_cast<uint8_t>(in[i + k]);
      if ((cont & 0xC0) != 0x80) return false;
      c = (c << 6) | (cont & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out.push_back(static_cast<wchar_t>(c));
    i += extra + 1;
  }
  return true;
}

// Only called on texts the hive accepted, which are Unicode scalar values.
void AppendUtf8(std::string& out, std::wstring_view text) {
  for (wchar_t wc : text) {
    auto c = static_cast<uint32_t>(wc);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

// ----------------------------------------------------------------- UTF-16 --

std::vector<uint8_t> ToUtf16Le(std::wstring_view text) {
  std::vector<uint8_t> bytes;
  auto unit = [&bytes](uint32_t u) {
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  };
  for (wchar_t wc : text) {
    auto c = static_cast<uint32_t>(wc);
    if (c >= 0x10000) {
      c -= 0x10000;
      unit(0xD800 | (c >> 10));
      unit(0xDC00 | (c & 0x3FF));
    } else {
      unit(c);
    }
  }
  unit(0);
  return bytes;
}

// Exactly one terminating NUL, at the end, and surrogates only in pairs.
bool FromUtf16Le(const std::vector<uint8_t>& bytes, std::wstring& text) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return false;
  std::vector<uint32_t> units;
  for (size_t i = 0; i < bytes.size(); i += 2) units.push_back(bytes[i] | (uint32_t{bytes[i + 1]} << 8));
  if (units.back() != 0) return false;
  units.pop_back();
  text.clear();
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t u = units[i];
    if (u == 0 || (u >= 0xDC00 && u <= 0xDFFF)) return false;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    text.push_back(static_cast<wchar_t>(u));
  }
  return true;
}

// ---------------------------------------------------------------- reading --

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Case-insensitive for ASCII letters, which is all the prefixes hold.
bool ConsumePrefix(std::wstring_view& s, std::wstring_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    wchar_t a = s[i], b = prefix[i];
    if (a >= L'A' && a <= L'Z') a = static_cast<wchar_t>(a + 0x20);
    if (a != b) return false;
  }
  s.remove_prefix(prefix.size());
  return true;
}

// "hex:" is binary; "hex(N):" any type, N its number in 1 to 8 hex digits.
bool ConsumeHexTag(std::wstring_view& s, uint32_t& type) {
  if (ConsumePrefix(s, L"hex:")) {
    type = kRegBinary;
    return true;
  }
  if (!ConsumePrefix(s, L"hex(")) return false;
  size_t close = s.find(L')');
  if (close == 0 || close > 8 || close + 1 == s.size() || s[close + 1] != L':') return false;
  type = 0;
  for (size_t i = 0; i < close; ++i) {
    int d = HexDigit(s[i]);
    if (d < 0) return false;
    type = (type << 4) | static_cast<uint32_t>(d);
  }
  s.remove_prefix(close + 2);
  return true;
}

// What a line starts with when it is a line of its own and not hex data.
bool StartsOwnLine(std::wstring_view line) {
  return line.empty() || line.front() == L'"' || line.front() == L'@' || line.front() == L'[' ||
         line.front() == L';';
}

class Parser {
 public:
  Parser(Hive& hive, ParseError& error, std::vector<ParseError>* skipped)
      : hive_(hive), error_(error), skipped_(skipped) {}

  bool Run(std::string_view bytes) {
    if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
    SplitLines(bytes);
    // A NUL never occurs in text: this is some other file, not a damaged hive.
    for (index_ = 0; index_ < raw_.size(); ++index_)
      if (raw_[index_].find('\0') != std::string_view::npos) return FailWhole("binary data");
    if (!FindHeader()) return false;
    for (++index_; index_ < raw_.size(); ++index_) {
      start_ = index_;
      if (!ParseLine()) Skip();
    }
    EndSection();
    return true;
  }

 private:
  bool FailWhole(const char* reason) {
    error_.line = static_cast<int>(index_ + 1);
    error_.reason = reason;
    return false;
  }

  // The problem is reported at the line its value starts on.
  bool Fail(std::string reason) {
    error_.line = static_cast<int>(start_ + 1);
    error_.reason = std::move(reason);
    return false;
  }

  void Skip() {
    if (skipped_) skipped_->push_back(error_);
    error_ = ParseError();
  }

  void SplitLines(std::string_view bytes) {
    for (;;) {
      size_t end = bytes.find('\n');
      std::string_view line = bytes.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      raw_.push_back(line);
      if (end == std::string_view::npos) return;
      bytes.remove_prefix(end + 1);
    }
  }

  bool Decode(size_t index, std::wstring& line) { return DecodeUtf8(raw_[index], line); }

  // Blank lines and comments may come first; then the header, or this is no hive.
  bool FindHeader() {
    std::wstring decoded;
    for (index_ = 0; index_ < raw_.size(); ++index_) {
      if (!Decode(index_, decoded)) return FailWhole("invalid UTF-8 before the header");
      std::wstring_view line = Trim(decoded);
      if (line.empty() || line.front() == L';') continue;
      if (line == kHeader) return true;
      break;
    }
    if (index_ == raw_.size()) index_ = 0;
    return FailWhole("no \"Windows Registry Editor Version 5.00\" header");
  }

  bool ParseLine() {
    std::wstring decoded;
    if (!Decode(index_, decoded)) return Fail("invalid UTF-8");
    std::wstring_view line = Trim(decoded);
    if (line.empty() || line.front() == L';') return true;
    if (line.front() == L'[') return ParseKeyLine(line);
    if (line.front() == L'"' || line.front() == L'@') return ParseValueLine(line);
    return Fail("unrecognised line");
  }

  // A section that could not be read takes its values with it: they belong to
  // no key we know. Its one report says how many.
  void EndSection() {
    if (lostSection_ && lostValues_ > 0 && skipped_ && lostReport_ < skipped_->size())
      (*skipped_)[lostReport_].reason += "; its " + std::to_string(lostValues_) + " value line(s) are skipped too";
    lostSection_ = false;
    lostValues_ = 0;
  }

  bool ParseKeyLine(std::wstring_view line) {
    EndSection();
    key_ = nullptr;
    lostSection_ = true;  // until the line proves good
    lostReport_ = skipped_ ? skipped_->size() : 0;
    if (line.size() < 2 || line.back() != L']') return Fail("key line without its closing ]");
    std::wstring_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path.front() == L'-') return Fail("a key deletion, which a hive cannot hold");
    size_t slash = path.find(L'\\');
    Root root;
    if (!RootFromName(path.substr(0, slash), root)) return Fail("unknown root key");
    std::vector<std::wstring> parts;
    if (slash != std::wstring_view::npos) {
      // SplitKeyPath forgives a leading backslash; a file line must not have two.
      std::wstring_view rest = path.substr(slash + 1);
      if (rest.empty() || rest.front() == L'\\' || !SplitKeyPath(rest, parts)) return Fail("bad key name");
    }
    // Keys are only created here, so this pointer stays valid for the values below it.
    key_ = &hive_.CreateKey(root, parts);
    lostSection_ = false;
    return true;
  }

  bool ParseValueLine(std::wstring_view line) {
    std::wstring name;
    if (line.front() == L'@') {
      line.remove_prefix(1);
    } else if (!ParseQuoted(line, name)) {
      return false;
    }
    if (!IsValidValueName(name)) return Fail("bad value name");
    if (line.empty() || line.front() != L'=') return Fail("value name without =");
    line.remove_prefix(1);

    Value value;
    if (!ParseData(line, value)) return false;
    if (!key_) {
      if (!lostSection_) return Fail("value before any key");
      ++lostValues_;
      return true;
    }
    value.name = std::move(name);
    StoreValue(*key_, value);
    return true;
  }

  bool ParseData(std::wstring_view data, Value& value) {
    if (!data.empty() && data.front() == L'"') {
      value.type = ValueType::String;
      if (!ParseQuoted(data, value.text)) return false;
      return data.empty() || Fail("text after the value");
    }
    if (ConsumePrefix(data, L"dword:")) {
      value.type = ValueType::Dword;
      return ParseDword(data, value.number);
    }
    if (data == L"-") return Fail("a value deletion, which a hive cannot hold");
    uint32_t type = 0;
    if (!ConsumeHexTag(data, type)) return Fail("unknown value type");
    std::vector<uint8_t> bytes;
    if (!ParseHex(data, bytes)) return false;
    // Text is text however it was written; bytes that are none stay as they came.
    if (type == kRegSz && FromUtf16Le(bytes, value.text)) {
      value.type = ValueType::String;
      return true;
    }
    value.type = ValueType::Raw;
    value.rawType = type;
    value.bytes = std::move(bytes);
    return true;
  }

  // `s` starts at the opening quote; on success it is left after the closing one.
  bool ParseQuoted(std::wstring_view& s, std::wstring& out) {
    out.clear();
    for (size_t i = 1; i < s.size(); ++i) {
      wchar_t c = s[i];
      if (c == L'"') {
        s.remove_prefix(i + 1);
        return true;
      }
      if (IsControlChar(c)) return Fail("control character in a quoted text");
      if (c == L'\\') {
        if (++i == s.size() || (s[i] != L'\\' && s[i] != L'"')) return Fail("bad escape");
        c = s[i];
      }
      out.push_back(c);
    }
    return Fail("text without its closing quote");
  }

  bool ParseDword(std::wstring_view digits, uint32_t& number) {
    if (digits.size() != 8) return Fail("dword is not 8 hex digits");
    number = 0;
    for (wchar_t c : digits) {
      int d = HexDigit(c);
      if (d < 0) return Fail("dword is not 8 hex digits");
      number = (number << 4) | static_cast<uint32_t>(d);
    }
    return true;
  }

  // "xx,xx,...", continued on the next line after ",\" as regedit wraps it.
  // Nothing at all is an empty value, as regedit writes one.
  bool ParseHex(std::wstring_view s, std::vector<uint8_t>& bytes) {
    if (s.empty()) return true;
    for (;;) {
      if (s.size() < 2 || HexDigit(s[0]) < 0 || HexDigit(s[1]) < 0) return BadHex();
      bytes.push_back(static_cast<uint8_t>(HexDigit(s[0]) << 4 | HexDigit(s[1])));
      s.remove_prefix(2);
      if (s.empty()) return true;
      if (s.front() != L',') return BadHex();
      s.remove_prefix(1);
      if (s == L"\\") {
        if (index_ + 1 == raw_.size()) return Fail("hex data continued past the end of the file");
        ++index_;
        if (!Decode(index_, continued_)) return BadHex();
        s = Trim(continued_);
      }
    }
  }

  // On a continuation line that is none, the value is lost; a line that
  // starts a line of its own (the next value, a key) is read as such.
  bool BadHex() {
    if (index_ == start_) return Fail("bad hex data");
    std::string reason = "bad hex data on its continuation line " + std::to_string(index_ + 1);
    std::wstring decoded;
    if (Decode(index_, decoded) && StartsOwnLine(Trim(decoded))) --index_;
    return Fail(std::move(reason));
  }

  Hive& hive_;
  ParseError& error_;
  std::vector<ParseError>* skipped_;
  std::vector<std::string_view> raw_;
  std::wstring continued_;
  size_t index_ = 0;  // the line being read
  size_t start_ = 0;  // where the current value started
  Key* key_ = nullptr;
  bool lostSection_ = false;
  size_t lostValues_ = 0;
  size_t lostReport_ = 0;
};

// ---------------------------------------------------------------- writing --

void AppendQuoted(std::string& out, std::wstring_view text) {
  out.push_back('"');
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'"') out.push_back('\\');
    AppendUtf8(out, std::wstring_view(&c, 1));
  }
  out.push_back('"');
}

void AppendHex(std::string& out, const std::vector<uint8_t>& bytes, size_t column) {
  static const char kDigits[] = "0123456789abcdef";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && column + 3 > kHexLineWidth) {
      out += "\\\n  ";
      column = 2;
    }
    out.push_back(kDigits[bytes[i] >> 4]);
    out.push_back(kDigits[bytes[i] & 0xF]);
    column += 2;
    if (i + 1 < bytes.size()) {
      out.push_back(',');
      ++column;
    }
  }
}

// regedit's own spelling: "hex:" for binary, else the number in lower-case
// hex without leading zeros.
void AppendHexTag(std::string& out, uint32_t type) {
  if (type == kRegBinary) {
    out += "hex:";
    return;
  }
  char tag[24];
  std::snprintf(tag, sizeof tag, "hex(%x):", type);
  out += tag;
}

void AppendValue(std::string& out, const Value& value) {
  size_t lineStart = out.size();
  if (value.name.empty()) {
    out.push_back('@');
  } else {
    AppendQuoted(out, value.name);
  }
  out.push_back('=');
  if (value.type == ValueType::Dword) {
    static const char kDigits[] = "0123456789abcdef";
    out += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kDigits[(value.number >> shift) & 0xF]);
  } else if (value.type == ValueType::Raw) {
    AppendHexTag(out, value.rawType);
    AppendHex(out, value.bytes, out.size() - lineStart);
  } else if (HasControlChar(value.text)) {
    AppendHexTag(out, kRegSz);
    AppendHex(out, ToUtf16Le(value.text), out.size() - lineStart);
  } else {
    AppendQuoted(out, value.text);
  }
  out.push_back('\n');
}

// A key gets a section when it has values or is a leaf; the keys on the way
// to it need none, reading the section creates them with the case shown.
void AppendKey(std::string& out, std::wstring& path, const Key& key, bool isRoot) {
  if (!key.values.empty() || (!isRoot && key.children.empty())) {
    out.push_back('[');
    AppendUtf8(out, path);
    out += "]\n";
    for (const auto& entry : key.values) AppendValue(out, entry.second);
    out.push_back('\n');
  }
  for (const Key& child : key.children) {
    size_t length = path.size();
    path += L'\\';
    path += child.name;
    AppendKey(out, path, child, false);
    path.resize(length);
  }
}

}  // namespace

bool ParseHiveText(std::string_view bytes, Hive& hive, ParseError& error, std::vector<ParseError>* skipped) {
  hive = Hive();
  error = ParseError();
  if (skipped) skipped->clear();
  Parser parser(hive, error, skipped);
  if (parser.Run(bytes)) return true;
  hive = Hive();
  if (skipped) skipped->clear();
  return false;
}

std::string HiveToText(const Hive& hive) {
  std::string out;
  AppendUtf8(out, kHeader);
  out += "\n\n";
  for (size_t i = 0; i < kRootCount; ++i) {
    auto root = static_cast<Root>(i);
    std::wstring path(RootName(root));
    AppendKey(out, path, hive.RootKey(root), true);
  }
  return out;
}

}  // namespace wce::registry
