// Inside the device: how wide device texts and paths meet the host's UTF-8
// file system, and the name matching the device's file search uses.
#pragma once

#include <string>
#include <string_view>

namespace wce {

// wchar_t holds UTF-32 here. Anything that is not a Unicode scalar value
// (negative, above U+10FFFF, a lone surrogate) becomes U+FFFD; a high and low
// surrogate in a row are joined, so UTF-16 text from elsewhere still reads.
std::string WideToUtf8(std::wstring_view text);
// Malformed UTF-8 (bad lead, truncated, overlong, surrogate, > U+10FFFF)
// becomes one U+FFFD per maximal bad subsequence.
std::wstring Utf8ToWide(std::string_view text);

// Case folding of one code point, the same whatever locale the host set.
wchar_t FoldCase(wchar_t c);

// The device's file name patterns: '*' any run, '?' exactly one character,
// compared after FoldCase. "*.*" is everything, as on the device.
bool MatchesPattern(std::wstring_view pattern, std::wstring_view name);

// The POSIX path of the executable as the program sees it (SetModulePath, else
// the real one).
std::string ModulePosixPath();

// Closes every open file search (device reset).
void FindSearchesReset();

}  // namespace wce
