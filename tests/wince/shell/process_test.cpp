// CreateProcessW: the command line split as the started program sees it, a
// real start of a small script, handles, reaping and refusals.
#include <gtest/gtest-spi.h>
#include <regext.h>
#include <signal.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "shell/command_line.h"
#include "shell/process.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

using wce::shell::SplitCommandLine;
using Args = std::vector<std::wstring>;

TEST(CommandLine, SplitsAsTheStartedProgramSees) {
  struct Case {
    const wchar_t* line;
    Args args;
  };
  const Case cases[] = {
      {L"", {}},
      {L"   \t ", {}},
      {L"http://example.org/give", {L"http://example.org/give"}},
      {L"  a   b\tc ", {L"a", L"b", L"c"}},
      {L"\"two words\" x", {L"two words", L"x"}},
      {L"pre\"fix mid\"post", {L"prefix midpost"}},
      {L"\"\" x \"\"", {L"", L"x", L""}},
      {LR"(a\b c\\d)", {LR"(a\b)", LR"(c\\d)"}},   // backslashes before no quote stay
      {LR"(a\"b)", {LR"(a"b)"}},                    // odd run: literal quote
      {LR"(a\\"b c")", {LR"(a\b c)"}},              // even run: half, and the quote opens
      {LR"(a\\\"b)", {LR"(a\"b)"}},
      {LR"("a""b" c)", {LR"(a"b)", L"c"}},          // two quotes inside quotes: one literal
      {LR"("unclosed  tail)", {L"unclosed  tail"}},
      {LR"(end\)", {LR"(end\)"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << std::wstring(c.line).size();
}

class ProcessTest : public ShellTest {
 protected:
  // A script that writes each argument in brackets, one a line, to `out`.
  std::string Script(const std::string& out) {
    std::string path = temp_ / "echo args.sh";
    jptest::WriteText(path, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + out + "'\n");
    chmod(path.c_str(), 0755);
    return path;
  }

  static BOOL Start(const std::wstring& image, const wchar_t* line, PROCESS_INFORMATION* info) {
    std::wstring copy = line ? line : L"";
    return CreateProcessW(image.c_str(), line ? copy.data() : nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          nullptr, info);
  }

  // Waits for the program to end; afterwards it must be gone, not a zombie.
  static void ExpectEndsAndIsReaped(const PROCESS_INFORMATION& info) {
    int status = -1;
    ASSERT_TRUE(wce::shell::WaitForProgramEnd(info.hProcess, 20000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    errno = 0;
    EXPECT_EQ(kill(static_cast<pid_t>(info.dwProcessId), 0), -1);
    EXPECT_EQ(errno, ESRCH);
  }
};

TEST_F(ProcessTest, StartsTheProgramWithItsArguments) {
  std::string out = temp_ / "args.txt";
  std::string script = Script(out);
  const wchar_t* line = LR"(first "two words" back\\\"slash "")";
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(Start(wce::PosixPathToDevice(script), line, &info));
  EXPECT_GT(info.dwProcessId, 0u);
  ExpectEndsAndIsReaped(info);

  std::vector<uint8_t> bytes = jptest::ReadFile(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[first]\n[two words]\n[back\\\"slash]\n[]\n");
  EXPECT_EQ(Events(), (std::vector<std::string>{"start-program " + script + R"( first "two words" back\\\"slash "")"}));

  // Both handles close once, and only once.
  EXPECT_TRUE(CloseHandle(info.hProcess));
  EXPECT_TRUE(CloseHandle(info.hThread));
  EXPECT_FALSE(CloseHandle(info.hProcess));
  EXPECT_FALSE(CloseHandle(info.hThread));
}

TEST_F(ProcessTest, BareNamesAreFoundOnThePath) {
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(Start(L"true", nullptr, &info));
  ExpectEndsAndIsReaped(info);
  EXPECT_EQ(Events(), (std::vector<std::string>{"start-program true"}));
  EXPECT_TRUE(Start(L"\\bin\\true", L"ignored", nullptr));  // no record wanted: still starts
}

TEST_F(ProcessTest, AProgramThatCannotStartFails) {
  std::string plain = temp_ / "not-a-program.txt";
  ASSERT_TRUE(jptest::WriteText(plain, "text\n"));
  PROCESS_INFORMATION info{};
  SetLastError(0);
  EXPECT_FALSE(Start(L"\\no\\such\\browser", L"http://example.org", &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(Start(wce::PosixPathToDevice(plain), nullptr, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Events(), (std::vector<std::string>{"start-program-failed /no/such/browser http://example.org",
                                                "start-program-failed " + plain}));
}

// A test's device names a harmless browser; starting the system's opener
// fails the test that does it, naming the program, and starts nothing.
TEST_F(ProcessTest, ATestsDeviceNeverStartsTheRealOpener) {
  WCHAR entry[MAX_PATH] = L"";
  ASSERT_EQ(RegistryGetString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Shell\\Rai\\:DEFBROWSER", L"1", entry,
                              MAX_PATH),
            S_OK);
  EXPECT_STREQ(entry, L"\"\\bin\\true\" %1");
  EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(Start(L"\\usr\\bin\\xdg-open", L"example.org", nullptr)),
                          "the real program /usr/bin/xdg-open");
  EXPECT_EQ(Events(), (std::vector<std::string>{"start-program-failed /usr/bin/xdg-open example.org"}));
}

TEST_F(ProcessTest, WhatWindowsCeLeavesOutIsRefused) {
  SECURITY_ATTRIBUTES security{};
  wchar_t dir[] = L"\\tmp";
  char environment[] = "A=1\0";
  PROCESS_INFORMATION info{};
  auto refused = [&](BOOL result) {
    bool ok = !result && GetLastError() == static_cast<DWORD>(ERROR_INVALID_PARAMETER);
    SetLastError(0);
    return ok;
  };
  EXPECT_TRUE(refused(CreateProcessW(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info)));
  EXPECT_TRUE(refused(CreateProcessW(L"", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info)));
  EXPECT_TRUE(refused(CreateProcessW(L"true", nullptr, &security, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info)));
  EXPECT_TRUE(refused(CreateProcessW(L"true", nullptr, nullptr, &security, FALSE, 0, nullptr, nullptr, nullptr, &info)));
  EXPECT_TRUE(refused(CreateProcessW(L"true", nullptr, nullptr, nullptr, TRUE, 0, nullptr, nullptr, nullptr, &info)));
  EXPECT_TRUE(refused(CreateProcessW(L"true", nullptr, nullptr, nullptr, FALSE, 0, environment, nullptr, nullptr, &info)));
  EXPECT_TRUE(refused(CreateProcessW(L"true", nullptr, nullptr, nullptr, FALSE, 0, nullptr, dir, nullptr, &info)));
  EXPECT_TRUE(Events().empty());
}

// A device without processes of its own (the browser) takes every start
// itself, with the path and the split arguments; its answer is the result.
// The device's check still comes first.
TEST_F(ProcessTest, ADeviceWithoutProcessesTakesTheStartItself) {
  std::vector<std::pair<std::string, std::vector<std::string>>> starts;
  bool accept = true;
  wce::UnregisterProgramThread();
  wce::DeviceStop();
  config_.programStarter = [&](const std::string& path, const std::vector<std::string>& args) {
    starts.emplace_back(path, args);
    return accept;
  };
  ASSERT_TRUE(wce::DeviceStart(config_));
  wce::RegisterProgramThread();

  PROCESS_INFORMATION info{};
  ASSERT_TRUE(Start(L"\\bin\\browser", LR"(example.org/give "two words")", &info));
  int status = -1;
  EXPECT_TRUE(wce::shell::WaitForProgramEnd(info.hProcess, 0, &status));  // nothing of ours runs
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(CloseHandle(info.hProcess));
  EXPECT_TRUE(CloseHandle(info.hThread));
  accept = false;
  SetLastError(0);
  EXPECT_FALSE(Start(L"\\bin\\browser", L"x", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(Start(L"\\usr\\bin\\xdg-open", L"example.org", nullptr)),
                          "the real program /usr/bin/xdg-open");

  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].first, "/bin/browser");
  EXPECT_EQ(starts[0].second, (std::vector<std::string>{"example.org/give", "two words"}));
  EXPECT_EQ(Events(), (std::vector<std::string>{"start-program /bin/browser example.org/give \"two words\"",
                                                "start-program-failed /bin/browser x",
                                                "start-program-failed /usr/bin/xdg-open example.org"}));
}

}  // namespace
}  // namespace shelltest
