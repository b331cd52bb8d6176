// The hive file's text: its exact layout, what reading refuses, and round trips.
#include "registry/hive_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using wce::registry::Hive;
using wce::registry::HiveToText;
using wce::registry::Lookup;
using wce::registry::ParseError;
using wce::registry::ParseHiveText;
using wce::registry::Root;
using wce::registry::Value;

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00\n\n";

Hive Parsed(const std::string& text) {
  Hive hive;
  ParseError error;
  std::vector<ParseError> skipped;
  EXPECT_TRUE(ParseHiveText(text, hive, error, &skipped)) << "line " << error.line << ": " << error.reason;
  for (const ParseError& s : skipped) ADD_FAILURE() << "skipped line " << s.line << ": " << s.reason;
  return hive;
}

std::wstring TextOf(const Hive& hive, Root root, const wchar_t* key, const wchar_t* name) {
  Value v;
  EXPECT_EQ(hive.Get(root, key, name, v), Lookup::Found);
  EXPECT_EQ(v.type, wce::registry::ValueType::String);
  return v.text;
}

TEST(HiveText, WritesSortedSectionsInRegeditLayout) {
  Hive hive;
  // Inserted out of order and in mixed case: the text sorts case-insensitively.
  hive.Set(Root::LocalMachine, L"Software\\zeta", Value::Dword(L"b", 10));
  hive.Set(Root::LocalMachine, L"Software\\Alpha", Value::String(L"Say", L"a \"q\" C:\\x"));
  hive.Set(Root::LocalMachine, L"Software\\zeta", Value::Dword(L"A", 0xFFFFFFFF));
  hive.Set(Root::CurrentUser, L"", Value::String(L"", L"def"));
  hive.Set(Root::LocalMachine, L"Software\\beta", Value::String(L"crlf", L"a\r\nb"));

  EXPECT_EQ(HiveToText(hive), std::string(kHeader) +
                                  "[HKEY_CURRENT_USER]\n"
                                  "@=\"def\"\n\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Alpha]\n"
                                  "\"Say\"=\"a \\\"q\\\" C:\\\\x\"\n\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\beta]\n"
                                  "\"crlf\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\n\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\zeta]\n"
                                  "\"A\"=dword:ffffffff\n"
                                  "\"b\"=dword:0000000a\n\n");
}

TEST(HiveText, EmptyLeafKeysSurviveAndIntermediateKeysKeepTheirCase) {
  Hive hive;
  hive.CreateKey(Root::LocalMachine, {L"Software", L"Empty"});
  hive.Set(Root::LocalMachine, L"Software\\Deep\\Er", Value::Dword(L"x", 1));
  Hive again = Parsed(HiveToText(hive));
  EXPECT_TRUE(again == hive);
  EXPECT_NE(again.FindKey(Root::LocalMachine, {L"SOFTWARE", L"empty"}), nullptr);
}

TEST(HiveText, ReadsWhatRegeditAndEditorsProduce) {
  // BOM, CRLF, comments, upper-case hex and a wrapped hex(1) line.
  std::string text =
      "\xEF\xBB\xBF; exported\r\nWindows Registry Editor Version 5.00\r\n\r\n"
      "[hkey_local_machine\\Software\\J]\r\n"
      "; a comment\r\n"
      "\"N\"=DWORD:0000FFFF\r\n"
      "\"T\"=hex(1):41,00,0D,00,\\\r\n"
      "  0A,00,42,00,00,00\r\n"
      "@=\"\"\r\n"
      "\"U\"=\"Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80\"   \r\n";
  Hive hive = Parsed(text);
  Value v;
  ASSERT_EQ(hive.Get(Root::LocalMachine, L"software\\j", L"n", v), Lookup::Found);
  EXPECT_EQ(v.number, 0xFFFFu);
  EXPECT_EQ(TextOf(hive, Root::LocalMachine, L"Software\\J", L"T"), L"A\r\nB");
  EXPECT_EQ(TextOf(hive, Root::LocalMachine, L"Software\\J", L""), L"");
  EXPECT_EQ(TextOf(hive, Root::LocalMachine, L"Software\\J", L"U"), L"Gr\u00FC\u00DFe \U0001F600");
}

TEST(HiveText, LongTextsWrapAndComeBackExactly) {
  std::wstring text;
  for (int i = 0; i < 40; ++i) text += L"line \u00E9 \U0001F600\r\n";
  Hive hive;
  hive.Set(Root::LocalMachine, L"K", Value::String(L"Long", text));
  std::string file = HiveToText(hive);
  size_t start = 0;
  while (start < file.size()) {
    size_t end = file.find('\n', start);
    EXPECT_LE(end - start, 80u) << file.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_EQ(TextOf(Parsed(file), Root::LocalMachine, L"K", L"long"), text);

  std::vector<uint8_t> bytes(3000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  hive.Set(Root::LocalMachine, L"K", Value::Raw(L"Blob", 3, bytes));
  file = HiveToText(hive);
  Value v;
  ASSERT_EQ(Parsed(file).Get(Root::LocalMachine, L"K", L"blob", v), Lookup::Found);
  EXPECT_EQ(v.bytes, bytes);
  EXPECT_EQ(HiveToText(Parsed(file)), file);
}

// One line that cannot be read, between two that can: it alone is lost.
struct BadLine {
  const char* what;
  std::string line;
  int reported;       // the line the report names
  bool afterSurvives;  // false where the bad line was the section's key
};

TEST(HiveText, SkipsALineItCannotReadAndKeepsTheRest) {
  const std::vector<BadLine> cases = {
      {"truncated dword", "\"a\"=dword:0000", 5, true},
      {"bad dword digit", "\"a\"=dword:0000000g", 5, true},
      {"dword too long", "\"a\"=dword:000000001", 5, true},
      {"bad escape", "\"a\"=\"x\\q\"", 5, true},
      {"unterminated text", "\"a\"=\"abc", 5, true},
      {"text after value", "\"a\"=\"abc\"x", 5, true},
      {"tab inside quotes", "\"a\"=\"a\tb\"", 5, true},
      {"unknown type", "\"a\"=qword:00", 5, true},
      {"bad type number", "\"a\"=hex(g):00", 5, true},
      {"type number too long", "\"a\"=hex(123456789):00", 5, true},
      {"deleted value", "\"a\"=-", 5, true},
      {"bad hex byte", "\"a\"=hex:0g", 5, true},
      {"single hex digit", "\"a\"=hex:1,02", 5, true},
      {"trailing comma", "\"a\"=hex(1):41,00,00,00,", 5, true},
      {"stray line", "hello", 5, true},
      {"invalid UTF-8", "\"a\"=\"\xC3\x28\"", 5, true},
      {"overlong UTF-8", "\"a\"=\"\xC0\xAF\"", 5, true},
      {"UTF-8 surrogate", "\"a\"=\"\xED\xA0\x80\"", 5, true},
      {"bad value name", "\"a\x01\"=dword:00000001", 5, true},
      {"key without ]", "[HKEY_LOCAL_MACHINE\\K", 5, false},
      {"unknown root", "[HKEY_NOWHERE\\K]", 5, false},
      {"deleted key", "[-HKEY_LOCAL_MACHINE\\K]", 5, false},
      {"empty component", "[HKEY_LOCAL_MACHINE\\A\\\\B]", 5, false},
      {"trailing backslash", "[HKEY_LOCAL_MACHINE\\A\\]", 5, false},
  };
  for (const BadLine& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\K]\n\"before\"=dword:00000001\n" + c.line +
                       "\n\"after\"=dword:00000002\n";
    Hive hive;
    ParseError error;
    std::vector<ParseError> skipped;
    ASSERT_TRUE(ParseHiveText(text, hive, error, &skipped));
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].line, c.reported) << skipped[0].reason;
    EXPECT_FALSE(skipped[0].reason.empty());
    Value v;
    EXPECT_EQ(hive.Get(Root::LocalMachine, L"K", L"before", v), Lookup::Found);
    EXPECT_EQ(hive.Get(Root::LocalMachine, L"K", L"after", v), c.afterSurvives ? Lookup::Found : Lookup::NoValue);
    EXPECT_EQ(hive.Get(Root::LocalMachine, L"K", L"a", v), Lookup::NoValue);
  }
}

// Whole files: what loads (as the text it writes back) and what is reported.
struct Export {
  const char* what;
  std::string body;      // after the header
  std::string written;   // after the header
  std::vector<int> reported;
  const char* reason = "";  // a part of the first report
};

TEST(HiveText, KeepsValuesOfEveryTypeAndReportsWhatItLoses) {
  const std::string k = "[HKEY_LOCAL_MACHINE\\K]\n";
  const std::vector<Export> cases = {
      {"every export form, kept as it came",
       k + "\"bin\"=hex:01,02,\\\n  03,ff\n\"exp\"=hex(2):25,00,50,00,00,00\n"
           "\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n\"q\"=hex(b):01,00,00,00,00,00,00,00\n"
           "\"none\"=hex(0):\n\"d4\"=hex(4):0a,00,00,00\n\"big\"=hex(ffffffff):00\n",
       k + "\"big\"=hex(ffffffff):00\n\"bin\"=hex:01,02,03,ff\n\"d4\"=hex(4):0a,00,00,00\n"
           "\"exp\"=hex(2):25,00,50,00,00,00\n\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
           "\"none\"=hex(0):\n\"q\"=hex(b):01,00,00,00,00,00,00,00\n\n",
       {}},
      {"type tags in regedit's spelling", k + "\"a\"=HEX(0B):01\n\"b\"=hex(3):02\n\"c\"=hex(00000007):00,00\n",
       k + "\"a\"=hex(b):01\n\"b\"=hex:02\n\"c\"=hex(7):00,00\n\n", {}},
      {"hex(1) text reads as text, other bytes stay bytes",
       k + "\"t\"=hex(1):41,00,00,00\n\"odd\"=hex(1):41,00,00\n\"nul\"=hex(1):00,00,41,00,00,00\n\"e\"=hex(1):\n",
       k + "\"e\"=hex(1):\n\"nul\"=hex(1):00,00,41,00,00,00\n\"odd\"=hex(1):41,00,00\n\"t\"=\"A\"\n\n", {}},
      {"a broken continuation loses its value only",
       k + "\"a\"=hex:01,02,\\\n\"b\"=dword:00000002\n\"c\"=hex:01,\\\n  zz,00\n\"d\"=hex:05\n",
       k + "\"b\"=dword:00000002\n\"d\"=hex:05\n\n", {4, 6}, "continuation line 5"},
      {"a hex value continued past the end", k + "\"a\"=dword:00000001\n\"b\"=hex:01,\\", k + "\"a\"=dword:00000001\n\n",
       {5}, "past the end"},
      {"a section with a bad key line loses its values, with one report",
       k + "\"a\"=dword:00000001\n[HKEY_NOWHERE\\X]\n\"x\"=dword:00000001\n\"y\"=hex:01\n"
           "[HKEY_LOCAL_MACHINE\\L]\n\"c\"=\"ok\"\n",
       k + "\"a\"=dword:00000001\n\n[HKEY_LOCAL_MACHINE\\L]\n\"c\"=\"ok\"\n\n", {5}, "2 value line(s)"},
      {"values before any key", "\"a\"=dword:00000001\n" + k + "\"b\"=dword:00000002\n",
       k + "\"b\"=dword:00000002\n\n", {3}, "before any key"},
  };
  for (const Export& c : cases) {
    SCOPED_TRACE(c.what);
    Hive hive;
    ParseError error;
    std::vector<ParseError> skipped;
    ASSERT_TRUE(ParseHiveText(kHeader + c.body, hive, error, &skipped));
    std::vector<int> lines;
    for (const ParseError& s : skipped) lines.push_back(s.line);
    EXPECT_EQ(lines, c.reported);
    if (!skipped.empty()) {
      EXPECT_NE(skipped[0].reason.find(c.reason), std::string::npos) << skipped[0].reason;
    }
    std::string written = HiveToText(hive);
    EXPECT_EQ(written, kHeader + c.written);
    // Our own text is read back without a report and written the same again.
    EXPECT_EQ(HiveToText(Parsed(written)), written);
  }
}

TEST(HiveText, RefusesFilesThatAreNoHiveAtAll) {
  const std::pair<std::string, int> cases[] = {
      {"", 1},
      {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n", 1},
      {"; comment\n\nnot a header\n", 3},
      {std::string("\x00\xFF\xFE\x01junk", 8), 1},
      {"\xC3\x28\nWindows Registry Editor Version 5.00\n", 1},
      {std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\K]\n\"a\"=\"x\"\n" + std::string("\x7F" "ELF\x02\x00\x00", 7), 5},
  };
  for (const auto& [text, line] : cases) {
    Hive hive;
    ParseError error;
    std::vector<ParseError> skipped;
    EXPECT_FALSE(ParseHiveText(text, hive, error, &skipped));
    EXPECT_EQ(error.line, line) << error.reason;
    EXPECT_FALSE(error.reason.empty());
    EXPECT_TRUE(hive == Hive()) << "a refused file leaves nothing behind";
    EXPECT_TRUE(skipped.empty());
  }
}

TEST(HiveText, HiveRefusesNamesAndTextsItCannotWrite) {
  Hive hive;
  EXPECT_FALSE(hive.Set(Root::LocalMachine, L"A\\\\B", Value::Dword(L"x", 1)));
  EXPECT_FALSE(hive.Set(Root::LocalMachine, L"A\\", Value::Dword(L"x", 1)));
  EXPECT_FALSE(hive.Set(Root::LocalMachine, L"A\nB", Value::Dword(L"x", 1)));
  EXPECT_FALSE(hive.Set(Root::LocalMachine, std::wstring(256, L'k'), Value::Dword(L"x", 1)));
  EXPECT_FALSE(hive.Set(Root::LocalMachine, L"A", Value::Dword(L"x\ty", 1)));
  EXPECT_FALSE(hive.Set(Root::LocalMachine, L"A", Value::String(L"x", std::wstring(1, wchar_t(0xDC00)))));
  EXPECT_FALSE(hive.Set(Root::LocalMachine, L"A", Value::String(L"x", std::wstring(1, wchar_t(0x110000)))));
  std::wstring deep;
  for (int i = 0; i < 513; ++i) deep += L"k\\";
  deep.pop_back();
  EXPECT_FALSE(hive.Set(Root::LocalMachine, deep, Value::Dword(L"x", 1)));
  EXPECT_TRUE(hive == Hive());
  EXPECT_TRUE(hive.Set(Root::LocalMachine, std::wstring(255, L'k'), Value::Dword(L"x", 1)));
}

}  // namespace
