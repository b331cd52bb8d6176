// The registry's contents as the device holds them in memory: four roots, each
// a tree of keys with named values. Names compare case-insensitively and keep
// the case they were first written with, as on the platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace wce::registry {

enum class Root : uint8_t { ClassesRoot, CurrentUser, LocalMachine, Users };
constexpr size_t kRootCount = 4;

// "HKEY_LOCAL_MACHINE" and friends, as a .reg file spells them.
std::wstring_view RootName(Root root);
bool RootFromName(std::wstring_view name, Root& root);

// The platform's own limits; they also keep a hostile hive file from nesting
// keys deep enough to exhaust the stack.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxValueNameLength = 16383;

// The platform's type numbers the device knows by name.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// String and Dword are what the device reads and writes itself. Everything
// else a hive file holds (binary data, multi-strings, a REG_SZ whose bytes are
// no text, ...) is Raw: its type number and bytes, written back as they came.
enum class ValueType : uint8_t { String, Dword, Raw };

struct Value {
  std::wstring name;  // as first written; empty is the key's default value
  ValueType type = ValueType::String;
  std::wstring text;  // String
  uint32_t number = 0;  // Dword
  uint32_t rawType = 0;        // Raw: the type number
  std::vector<uint8_t> bytes;  // Raw: the data

  static Value String(std::wstring_view name, std::wstring_view text);
  static Value Dword(std::wstring_view name, uint32_t number);
  static Value Raw(std::wstring_view name, uint32_t type, std::vector<uint8_t> bytes);
  // The type number the platform would report for it.
  uint32_t RegType() const;
  bool SameData(const Value& other) const;
};

struct Key {
  std::wstring name;    // as first written
  std::wstring folded;  // what lookups compare
  std::vector<Key> children;             // ordered by `folded`
  std::map<std::wstring, Value> values;  // by folded name

  const Key* Child(std::wstring_view foldedName) const;
  Key& ChildOrNew(std::wstring_view name);
  bool operator==(const Key& other) const;
};

// Case folding used for every comparison of names.
std::wstring FoldCase(std::wstring_view text);

// Texts the hive can hold: Unicode scalar values only (a surrogate or a
// number beyond U+10FFFF has no UTF-8 or UTF-16 form), and no NUL.
bool IsStorableText(std::wstring_view text);
// Characters a quoted line of the hive file cannot carry.
bool IsControlChar(wchar_t c);
bool HasControlChar(std::wstring_view text);
// Names also go into quoted lines, so they refuse control characters.
bool IsValidKeyName(std::wstring_view name);
bool IsValidValueName(std::wstring_view name);

// "A\B\C" into its components; one leading backslash is ignored. False for an
// empty path component, a name the hive cannot hold, or a path too deep.
bool SplitKeyPath(std::wstring_view path, std::vector<std::wstring>& parts);

enum class Lookup { Found, NoKey, NoValue, BadPath };

class Hive {
 public:
  // The defaults of a new device: power timeouts and the browser, its
  // program given as a device path.
  static Hive NewDevice(std::wstring_view browser = L"\\usr\\bin\\xdg-open");

  const Key& RootKey(Root root) const { return roots_[static_cast<size_t>(root)]; }

  // A null result when a key on the way is missing. `parts` as SplitKeyPath gives.
  const Key* FindKey(Root root, const std::vector<std::wstring>& parts) const;
  // Creates what is missing; existing keys keep their case.
  Key& CreateKey(Root root, const std::vector<std::wstring>& parts);

  // Empty subKey: the root itself.
  Lookup Get(Root root, std::wstring_view subKey, std::wstring_view valueName, Value& out) const;
  // Creates the key, replaces the value whatever its old type (its name keeps
  // its first case). False, with nothing changed, for a path, name or text the
  // hive cannot hold.
  bool Set(Root root, std::wstring_view subKey, const Value& value);

  bool operator==(const Hive& other) const { return roots_ == other.roots_; }

 private:
  Key& MutableRoot(Root root) { return roots_[static_cast<size_t>(root)]; }

  std::array<Key, kRootCount> roots_;
};

// Puts a value into a key, keeping the case of a name that is already there.
void StoreValue(Key& key, const Value& value);

}  // namespace wce::registry
