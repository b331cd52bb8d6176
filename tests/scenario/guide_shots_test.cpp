// The user guide's screenshot script (docs/guide/shots.txt) still runs on the
// staged program and writes every shot, and the guide shows each of them.
// The pictures themselves are not compared: the skin may change.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "png_reader.h"
#include "scenario_support.h"

namespace jptest {
namespace {

std::string DocsDir() { return std::string(JP_ASSETS_DIR) + "/../docs"; }

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(GuideShots, TheScriptWritesEveryShotAndTheGuideShowsEachOne) {
  TempDir temp;
  std::string script = ReadText(DocsDir() + "/guide/shots.txt");
  ASSERT_FALSE(script.empty());
  // The script names its shots relative to where it runs; here they go to the temporary folder.
  std::istringstream in(script);
  std::string line, rewritten;
  std::vector<std::string> shots;
  while (std::getline(in, line)) {
    if (line.rfind("shot ", 0) == 0) {
      shots.push_back(line.substr(5));
      line = "shot " + (temp / shots.back());
    }
    rewritten += line + "\n";
  }
  ASSERT_GE(shots.size(), 7u) << "a shot of every page";

  MakeDirs(temp / "device");
  RunResult result = RunJostlepad({"--headless", "--script", WriteScript(temp.Path(), "shots.txt", rewritten),
                                   "--device", temp / "device", "--app-dir", StagedAppDir()},
                                  temp.Path());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");

  std::string guide = ReadText(DocsDir() + "/guide.md");
  std::set<std::string> names;
  for (const std::string& shot : shots) {
    SCOPED_TRACE(shot);
    EXPECT_TRUE(names.insert(shot).second) << "taken twice";
    PngImage image;
    ASSERT_TRUE(ReadPngRgb(temp / shot, image));
    EXPECT_EQ(image.width, 480);
    EXPECT_EQ(image.height, 640);
    EXPECT_NE(guide.find("guide/" + shot), std::string::npos) << "not shown in docs/guide.md";
  }
}

}  // namespace
}  // namespace jptest
