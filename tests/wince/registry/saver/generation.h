// The values the hive saver writes: one generation number spread over many
// values of every kind, some large, so a save takes a while and a torn one
// would show as values that disagree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/hive.h"

namespace saver {

constexpr wchar_t kKey[] = L"Software\\Jostlepad\\Saver";
constexpr int kTexts = 120;
constexpr int kNumbers = 60;
constexpr int kBlobs = 16;
constexpr size_t kBlobSize = 4096;

inline std::wstring Name(const wchar_t* kind, int i) { return kind + std::to_wstring(1000 + i).substr(1); }

inline std::wstring TextOf(uint32_t gen, int i) {
  return L"generation " + std::to_wstring(gen) + L", value " + std::to_wstring(i) + L" \u00e9\u65e5 " +
         std::wstring(static_cast<size_t>(i % 40), L'x');
}

inline std::vector<uint8_t> BlobOf(uint32_t gen, int i) {
  std::vector<uint8_t> bytes(kBlobSize);
  for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<uint8_t>(gen * 31 + static_cast<uint32_t>(i) * 7 + k);
  return bytes;
}

inline std::vector<wce::registry::Value> Generation(uint32_t gen) {
  using wce::registry::Value;
  std::vector<Value> values;
  values.push_back(Value::Dword(L"Gen", gen));
  for (int i = 0; i < kTexts; ++i) values.push_back(Value::String(Name(L"S", i), TextOf(gen, i)));
  for (int i = 0; i < kNumbers; ++i) values.push_back(Value::Dword(Name(L"D", i), gen ^ static_cast<uint32_t>(i)));
  for (int i = 0; i < kBlobs; ++i)
    values.push_back(Value::Raw(Name(L"B", i), i % 2 ? wce::registry::kRegBinary : wce::registry::kRegMultiSz,
                                BlobOf(gen, i)));
  return values;
}

// The generation every value holds, read through `get` (false when the
// value is missing); false when one is missing or of another generation.
template <typename Get>
bool OneGeneration(Get get, uint32_t& gen) {
  wce::registry::Value value;
  if (!get(std::wstring(L"Gen"), value) || value.type != wce::registry::ValueType::Dword) return false;
  gen = value.number;
  for (const wce::registry::Value& want : Generation(gen))
    if (!get(want.name, value) || !value.SameData(want)) return false;
  return true;
}

}  // namespace saver
