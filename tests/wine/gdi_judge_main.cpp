// The drawing cases as a Windows program: run under Wine, it prints what
// Wine's GDI drew, for tests/wine/wine_test.cpp to compare with our device.
#include <stdio.h>

#include "gdi_cases.h"

int main() {
  fputs(gdijudge::RunGdiCases().c_str(), stdout);
  return 0;
}
