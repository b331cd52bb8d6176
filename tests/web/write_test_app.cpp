// Writes the folders the browser tests run the program from, with the same
// test support as the bench's own tests: OUT/app (the test skin and five
// slots' packs), packaged into the site as ?app=test and given to the bench,
// and OUT/Mine, a pack of the user's own to add in the page.
#include <cstdio>
#include <string>

#include "test_app_dir.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: web_test_app OUT_DIR\n");
    return 2;
  }
  std::string out = argv[1];
  jptest::TestPack mine = {"Mine", {{"Mine.wav", 7000, 200}}};
  if (!jptest::WriteTestAppDir(out + "/app", jptest::FiveSlotPacks()) || !jptest::WriteTestPack(out, mine)) {
    std::fprintf(stderr, "web_test_app: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
