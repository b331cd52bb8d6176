// Addresses the program hands to its default browser, made fit for a new tab.
#pragma once

#include <string>

namespace jpweb {

// The address as given when it names its scheme ("https://...", "mailto:...");
// otherwise the same address over https, as a person typing it would mean.
std::string WithScheme(const std::string& address);

}  // namespace jpweb
