#include "report/json_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "report/dot_text.h"
#include "tests/support/test_files.h"

namespace {

// Report text is CP932 with "[U+XXXX]" for what CP932 lacks (the tests'
// plain literals are CP932 as the program's are); JSON and DOT strings are
// UTF-8, given as u8 literals.
struct StringCase {
  std::string text;
  std::u8string json;
  std::u8string dot;
};

std::string bytes(const std::u8string& utf8) { return std::string(utf8.begin(), utf8.end()); }

TEST(JsonWriter, StringsAreUtf8WithTheEscapesEachLanguageNeeds) {
  const StringCase cases[] = {
      {"main", u8"\"main\"", u8"\"main\""},
      {"say \"hi\"\\n", u8"\"say \\\"hi\\\"\\\\n\"", u8"\"say \\\"hi\\\"\\\\n\""},
      {"a\tb\nc\x01\x7f", u8"\"a\\tb\\nc\\u0001\\u007f\"",
       u8"\"a[U+0009]b[U+000A]c[U+0001][U+007F]\""},
      {"計算", u8"\"計算\"", u8"\"計算\""},
      // 表 and ソ end in the byte of a backslash: no escape comes of it.
      {"表ソ", u8"\"表ソ\"", u8"\"表ソ\""},
      {"ｱｲ", u8"\"ｱｲ\"", u8"\"ｱｲ\""},
      {"caf[U+00E9].c", u8"\"café.c\"", u8"\"café.c\""},
      {"[U+1F600]", u8"\"😀\"", u8"\"😀\""},
      // A control character's stand-in is the character: JSON escapes it,
      // DOT keeps it visible.
      {"a[U+000A]b", u8"\"a\\nb\"", u8"\"a[U+000A]b\""},
      {"[U+005B]x]", u8"\"[x]\"", u8"\"[x]\""},
      // A byte of a file name that was no UTF-8 stays as its stand-in.
      {"n[U+DC80]", u8"\"n[U+DC80]\"", u8"\"n[U+DC80]\""},
      // Not stand-ins: too few digits, lower case, no closing bracket.
      {"[U+12] [U+00e9] [U+00E9", u8"\"[U+12] [U+00e9] [U+00E9\"", u8"\"[U+12] [U+00e9] [U+00E9\""},
  };
  std::ostringstream unused;
  JsonWriter json(unused);
  DotText dot;
  for (const StringCase& c : cases) {
    EXPECT_EQ(json.quoted(c.text), bytes(c.json)) << toUtf8(c.text);
    EXPECT_EQ(dot.quoted(c.text), bytes(c.dot)) << toUtf8(c.text);
  }
}

// The two outer levels put each member and element on a line of its own;
// deeper values stay on their element's line.
TEST(JsonWriter, WritesTheOuterLevelsLineByLine) {
  std::ostringstream out;
  JsonWriter json(out);
  json.beginObject();
  json.member("format", "x");
  json.key("empty");
  json.beginArray();
  json.endArray();
  json.key("list");
  json.beginArray();
  json.beginObject();
  json.member("n", -3);
  json.key("none");
  json.null();
  json.key("inner");
  json.beginArray();
  json.number(1);
  json.boolean(true);
  json.endArray();
  json.endObject();
  json.beginArray();
  json.endArray();
  json.endArray();
  json.endObject();
  EXPECT_EQ(out.str(),
            "{\n\"format\":\"x\",\n\"empty\":[],\n\"list\":[\n"
            "{\"n\":-3,\"none\":null,\"inner\":[1,true]},\n[]\n]\n}\n");
}

}  // namespace
