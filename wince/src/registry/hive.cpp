#include "registry/hive.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>

namespace wce::registry {

namespace {

constexpr std::array<std::wstring_view, kRootCount> kRootNames = {
    L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"};

// Upper-casing through a fixed UTF-8 locale, so the order of saved keys does
// not hang on the user's locale; plain ASCII when the system lacks it.
locale_t FoldLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

wchar_t FoldChar(wchar_t c) {
  if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 0x20) : c;
  locale_t locale = FoldLocale();
  return locale ? static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), locale)) : c;
}

bool IsScalar(wchar_t c) {
  auto u = static_cast<uint32_t>(c);
  return u != 0 && u <= 0x10FFFF && (u < 0xD800 || u > 0xDFFF);
}

bool FoldedLess(const Key& key, std::wstring_view folded) { return key.folded < folded; }

}  // namespace

std::wstring_view RootName(Root root) { return kRootNames[static_cast<size_t>(root)]; }

bool RootFromName(std::wstring_view name, Root& root) {
  std::wstring folded = FoldCase(name);
  for (size_t i = 0; i < kRootCount; ++i) {
    if (folded == kRootNames[i]) {
      root = static_cast<Root>(i);
      return true;
    }
  }
  return false;
}

Value Value::String(std::wstring_view name, std::wstring_view text) {
  Value v;
  v.name = name;
  v.type = ValueType::String;
  v.text = text;
  return v;
}

Value Value::Dword(std::wstring_view name, uint32_t number) {
  Value v;
  v.name = name;
  v.type = ValueType::Dword;
  v.number = number;
  return v;
}

Value Value::Raw(std::wstring_view name, uint32_t type, std::vector<uint8_t> bytes) {
  Value v;
  v.name = name;
  v.type = ValueType::Raw;
  v.rawType = type;
  v.bytes = std::move(bytes);
  return v;
}

uint32_t Value::RegType() const {
  switch (type) {
    case ValueType::String:
      return kRegSz;
    case ValueType::Dword:
      return kRegDword;
    case ValueType::Raw:
      break;
  }
  return rawType;
}

bool Value::SameData(const Value& other) const {
  if (type != other.type) return false;
  switch (type) {
    case ValueType::String:
      return text == other.text;
    case ValueType::Dword:
      return number == other.number;
    case ValueType::Raw:
      break;
  }
  return rawType == other.rawType && bytes == other.bytes;
}

const Key* Key::Child(std::wstring_view foldedName) const {
  auto it = std::lower_bound(children.begin(), children.end(), foldedName, FoldedLess);
  return (it != children.end() && it->folded == foldedName) ? &*it : nullptr;
}

Key& Key::ChildOrNew(std::wstring_view name) {
  std::wstring folded = FoldCase(name);
  auto it = std::lower_bound(children.begin(), children.end(), folded, FoldedLess);
  if (it != children.end() && it->folded == folded) return *it;
  Key child;
  child.name = name;
  child.folded = std::move(folded);
  return *children.insert(it, std::move(child));
}

bool Key::operator==(const Key& other) const {
  if (name != other.name || children != other.children || values.size() != other.values.size())
    return false;
  return std::equal(values.begin(), values.end(), other.values.begin(), [](const auto& a, const auto& b) {
    return a.first == b.first && a.second.name == b.second.name && a.second.SameData(b.second);
  });
}

std::wstring FoldCase(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = FoldChar(c);
  return out;
}

bool IsStorableText(std::wstring_view text) { return std::all_of(text.begin(), text.end(), IsScalar); }

bool IsControlChar(wchar_t c) {
  auto u = static_cast<uint32_t>(c);
  return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool HasControlChar(std::wstring_view text) { return std::any_of(text.begin(), text.end(), IsControlChar); }

bool IsValidKeyName(std::wstring_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameLength && name.find(L'\\') == std::wstring_view::npos &&
         IsStorableText(name) && !HasControlChar(name);
}

bool IsValidValueName(std::wstring_view name) {
  return name.size() <= kMaxValueNameLength && IsStorableText(name) && !HasControlChar(name);
}

bool SplitKeyPath(std::wstring_view path, std::vector<std::wstring>& parts) {
  parts.clear();
  if (!path.empty() && path.front() == L'\\') path.remove_prefix(1);
  if (path.empty()) return true;  // the root itself
  for (;;) {
    size_t end = path.find(L'\\');
    std::wstring_view part = path.substr(0, end);
    if (!IsValidKeyName(part) || parts.size() == kMaxKeyDepth) return false;
    parts.emplace_back(part);
    if (end == std::wstring_view::npos) return true;
    path.remove_prefix(end + 1);
  }
}

void StoreValue(Key& key, const Value& value) {
  auto [it, added] = key.values.try_emplace(FoldCase(value.name), value);
  if (added) return;
  std::wstring keptName = std::move(it->second.name);
  it->second = value;
  it->second.name = std::move(keptName);
}

Hive Hive::NewDevice(std::wstring_view browser) {
  Hive hive;
  const wchar_t* power = L"System\\CurrentControlSet\\Control\\Power";
  hive.Set(Root::LocalMachine, power, Value::Dword(L"BattPowerOff", 180));
  hive.Set(Root::LocalMachine, power, Value::Dword(L"ExtPowerOff", 0));
  hive.Set(Root::LocalMachine, power, Value::Dword(L"ScreenPowerOff", 60));
  // The browser's command line, its program as a device path in quotes.
  hive.Set(Root::LocalMachine, L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER",
           Value::String(L"1", L"\"" + std::wstring(browser) + L"\" %1"));
  return hive;
}

const Key* Hive::FindKey(Root root, const std::vector<std::wstring>& parts) const {
  const Key* key = &RootKey(root);
  for (const std::wstring& part : parts) {
    key = key->Child(FoldCase(part));
    if (!key) return nullptr;
  }
  return key;
}

Key& Hive::CreateKey(Root root, const std::vector<std::wstring>& parts) {
  Key* key = &MutableRoot(root);
  for (const std::wstring& part : parts) key = &key->ChildOrNew(part);
  return *key;
}

Lookup Hive::Get(Root root, std::wstring_view subKey, std::wstring_view valueName, Value& out) const {
  std::vector<std::wstring> parts;
  if (!SplitKeyPath(subKey, parts)) return Lookup::BadPath;
  const Key* key = FindKey(root, parts);
  if (!key) return Lookup::NoKey;
  auto it = key->values.find(FoldCase(valueName));
  if (it == key->values.end()) return Lookup::NoValue;
  out = it->second;
  return Lookup::Found;
}

bool Hive::Set(Root root, std::wstring_view subKey, const Value& value) {
  std::vector<std::wstring> parts;
  if (!SplitKeyPath(subKey, parts) || !IsValidValueName(value.name)) return false;
  if (value.type == ValueType::String && !IsStorableText(value.text)) return false;
  StoreValue(CreateKey(root, parts), value);
  return true;
}

}  // namespace wce::registry
