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
  EXPECT_TRUE(ParseHiveText(text, hive, error)) << "line " << error.line << ": " << error.reason;
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
}

struct Damaged {
  const char* what;
  std::string body;  // after the header line
  int line;
};

TEST(HiveText, RefusesDamagedTextNamingTheLine) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\K]\n";
  const std::vector<Damaged> cases = {
      {"truncated dword", key + "\"a\"=dword:0000", 4},
      {"bad dword digit", key + "\"a\"=dword:0000000g", 4},
      {"dword too long", key + "\"a\"=dword:000000001", 4},
      {"bad escape", key + "\"a\"=\"x\\q\"", 4},
      {"unterminated text", key + "\"a\"=\"abc", 4},
      {"text after value", key + "\"a\"=\"abc\"x", 4},
      {"tab inside quotes", key + "\"a\"=\"a\tb\"", 4},
      {"unknown type", key + "\"a\"=hex(2):00,00", 4},
      {"binary value", key + "\"a\"=hex:01,02", 4},
      {"deleted value", key + "\"a\"=-", 4},
      {"odd hex(1) bytes", key + "\"a\"=hex(1):41,00,00", 4},
      {"hex(1) without NUL", key + "\"a\"=hex(1):41,00", 4},
      {"hex(1) with inner NUL", key + "\"a\"=hex(1):00,00,41,00,00,00", 4},
      {"hex(1) lone surrogate", key + "\"a\"=hex(1):00,d8,00,00", 4},
      {"hex continued past end", key + "\"a\"=hex(1):41,00,\\", 4},
      {"trailing comma", key + "\"a\"=hex(1):41,00,00,00,", 4},
      {"value before key", "\"a\"=dword:00000001", 3},
      {"key without ]", "[HKEY_LOCAL_MACHINE\\K", 3},
      {"unknown root", "[HKEY_NOWHERE\\K]", 3},
      {"deleted key", "[-HKEY_LOCAL_MACHINE\\K]", 3},
      {"empty component", "[HKEY_LOCAL_MACHINE\\A\\\\B]", 3},
      {"trailing backslash", "[HKEY_LOCAL_MACHINE\\A\\]", 3},
      {"stray line", key + "\"a\"=dword:00000001\nhello", 5},
      {"invalid UTF-8", key + "\"a\"=\"\xC3\x28\"", 4},
      {"overlong UTF-8", key + "\"a\"=\"\xC0\xAF\"", 4},
      {"UTF-8 surrogate", key + "\"a\"=\"\xED\xA0\x80\"", 4},
  };
  for (const Damaged& c : cases) {
    Hive hive;
    ParseError error;
    EXPECT_FALSE(ParseHiveText("Windows Registry Editor Version 5.00\n\n" + c.body, hive, error)) << c.what;
    EXPECT_EQ(error.line, c.line) << c.what << ": " << error.reason;
    EXPECT_FALSE(error.reason.empty()) << c.what;
    EXPECT_TRUE(hive == Hive()) << c.what << ": a refused file leaves nothing behind";
  }
}

TEST(HiveText, RefusesFilesWithoutTheHeader) {
  for (std::string text : {std::string(), std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n"),
                           std::string("\x00\xFF\xFE\x01junk", 8)}) {
    Hive hive;
    ParseError error;
    EXPECT_FALSE(ParseHiveText(text, hive, error));
    EXPECT_EQ(error.line, 1);
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
