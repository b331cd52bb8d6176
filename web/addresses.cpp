#include "addresses.h"

#include <cctype>

namespace jpweb {

std::string WithScheme(const std::string& address) {
  // "host:port/..." looks like a scheme too: only "://" or a scheme that
  // never has slashes counts as one.
  for (const char* bare : {"mailto:", "tel:", "sms:"}) {
    size_t n = std::char_traits<char>::length(bare);
    bool same = address.size() > n;
    for (size_t i = 0; same && i < n; ++i)
      same = std::tolower(static_cast<unsigned char>(address[i])) == bare[i];
    if (same) return address;
  }
  size_t colon = address.find("://");
  bool scheme = colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(address[0]));
  for (size_t i = 1; scheme && i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(address[i]);
    scheme = std::isalnum(c) || c == '+' || c == '-' || c == '.';
  }
  return scheme ? address : "https://" + address;
}

}  // namespace jpweb
