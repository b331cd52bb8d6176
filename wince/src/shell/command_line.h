// How a started program sees its command line: split into arguments by the
// rules of CommandLineToArgvW, which the platform's programs follow.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wce::shell {

// Blanks and tabs separate arguments outside double quotes. Backslashes are
// plain except before a quote: 2n of them and a quote give n backslashes and
// open or close quoting; 2n + 1 give n backslashes and a literal quote.
// Inside quotes, two quotes in a row give one literal quote. "" alone is an
// empty argument.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

}  // namespace wce::shell
