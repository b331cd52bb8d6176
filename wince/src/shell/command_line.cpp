#include "shell/command_line.h"

namespace wce::shell {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// A run of backslashes at `i`: how many, and whether a quote follows it.
size_t BackslashRun(std::wstring_view line, size_t i) {
  size_t end = i;
  while (end < line.size() && line[end] == L'\\') ++end;
  return end - i;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
  std::vector<std::wstring> args;
  std::wstring current;
  bool inArgument = false;
  bool quoted = false;
  size_t i = 0;
  while (i < line.size()) {
    wchar_t c = line[i];
    if (!quoted && IsBlank(c)) {
      if (inArgument) args.push_back(std::move(current));
      current.clear();
      inArgument = false;
      ++i;
      continue;
    }
    inArgument = true;
    if (c == L'\\') {
      size_t run = BackslashRun(line, i);
      bool beforeQuote = i + run < line.size() && line[i + run] == L'"';
      if (!beforeQuote) {
        current.append(run, L'\\');
        i += run;
      } else if (run % 2 == 1) {
        current.append(run / 2, L'\\');
        current += L'"';
        i += run + 1;
      } else {
        current.append(run / 2, L'\\');
        i += run;  // the quote is a delimiter, handled next
      }
      continue;
    }
    if (c == L'"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
        current += L'"';
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
      continue;
    }
    current += c;
    ++i;
  }
  if (inArgument) args.push_back(std::move(current));
  return args;
}

}  // namespace wce::shell
