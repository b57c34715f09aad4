#include "xml/xmlinput.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, std::string>> Tokens(std::string_view text) {
  CXmlInput in;
  in.LoadText(text);
  std::vector<std::pair<int, std::string>> out;
  for (int guard = 0; guard < 100; ++guard) {
    const CXmlInput::Token t = in.Next();
    out.emplace_back(t.code, std::string(t.text));
    if (t.code == XTK_END || t.code == XTK_ERROR) break;
  }
  return out;
}

using Toks = std::vector<std::pair<int, std::string>>;

TEST(XmlTokenizer, EveryCodeAndItsText) {
  EXPECT_EQ(Tokens("<? <![CDATA[ <!-- </ < > /> ?> = --> ]]> \"s\" 'q' word"),
            (Toks{{6, "<?"}, {13, "<![CDATA["}, {11, "<!--"}, {4, "</"}, {2, "<"}, {3, ">"}, {5, "/>"},
                  {7, "?>"}, {10, "="}, {12, "-->"}, {14, "]]>"}, {9, "\"s\""}, {9, "'q'"}, {8, "word"},
                  {1, ""}}));
}

TEST(XmlTokenizer, PrecedenceOfOverlappingPrefixes) {
  // "<?" and "<!--" win over "<"; "</" over "<"; an incomplete CDATA opener is a "<".
  EXPECT_EQ(Tokens("<?x").at(0), (std::pair<int, std::string>{6, "<?"}));
  EXPECT_EQ(Tokens("<!--x").at(0), (std::pair<int, std::string>{11, "<!--"}));
  EXPECT_EQ(Tokens("</x").at(0), (std::pair<int, std::string>{4, "</"}));
  EXPECT_EQ(Tokens("<![CDATA"), (Toks{{2, "<"}, {8, "![CDATA"}, {1, ""}}));
  EXPECT_EQ(Tokens("<!x"), (Toks{{2, "<"}, {8, "!x"}, {1, ""}}));
  EXPECT_EQ(Tokens("-->x"), (Toks{{12, "-->"}, {8, "x"}, {1, ""}}));
  EXPECT_EQ(Tokens("--x"), (Toks{{8, "--x"}, {1, ""}}));
}

TEST(XmlTokenizer, WordsEndAtSpaceEqualsAnglesAndClosers) {
  EXPECT_EQ(Tokens("a=b"), (Toks{{8, "a"}, {10, "="}, {8, "b"}, {1, ""}}));
  EXPECT_EQ(Tokens("a<b>c"), (Toks{{8, "a"}, {2, "<"}, {8, "b"}, {3, ">"}, {8, "c"}, {1, ""}}));
  EXPECT_EQ(Tokens("a/b/>"), (Toks{{8, "a/b"}, {5, "/>"}, {1, ""}}));
  EXPECT_EQ(Tokens("x?y?>"), (Toks{{8, "x?y"}, {7, "?>"}, {1, ""}}));
  EXPECT_EQ(Tokens("don't\tstop\r\n"), (Toks{{8, "don't"}, {8, "stop"}, {1, ""}}));
  // Bytes above 127 are word characters, never white space.
  EXPECT_EQ(Tokens("\xa0\xff"), (Toks{{8, "\xa0\xff"}, {1, ""}}));
}

TEST(XmlTokenizer, StringsKeepQuotesAndDoubledQuotes) {
  EXPECT_EQ(Tokens("\"a\"\"b\" 'it''s' \"x'y\" \"\""),
            (Toks{{9, "\"a\"\"b\""}, {9, "'it''s'"}, {9, "\"x'y\""}, {9, "\"\""}, {1, ""}}));
  EXPECT_EQ(Tokens("\"a>b\"c"), (Toks{{9, "\"a>b\""}, {8, "c"}, {1, ""}}));
  // The closing quote must be on the same line.
  const Toks open = Tokens("\"abc\ndef\"");
  EXPECT_EQ(open.back().first, XTK_ERROR);
}

TEST(XmlTokenizer, BlankLinesLookAheadAndLineNumbers) {
  CXmlInput in;
  in.LoadText("\n  \t\n\r\n  <a\n\n b");
  EXPECT_EQ(in.GetLineCount(), 6u);
  EXPECT_EQ(in.GetLine(), 1);
  EXPECT_EQ(in.Peek().code, XTK_SECTION_OPEN);
  EXPECT_EQ(in.GetLine(), 1);  // looking ahead moves nothing
  EXPECT_EQ(in.Next().code, XTK_SECTION_OPEN);
  EXPECT_EQ(in.GetLine(), 4);
  EXPECT_EQ(in.Next().text, "a");
  EXPECT_EQ(in.Next().text, "b");
  EXPECT_EQ(in.GetLine(), 6);
  EXPECT_EQ(in.Next().code, XTK_END);
  EXPECT_EQ(in.Next().code, XTK_END);

  CXmlInput blank;
  blank.LoadText(" \n\t\n");
  EXPECT_EQ(blank.Next().code, XTK_END);
  EXPECT_EQ(blank.GetLine(), 1);
}

TEST(XmlTokenizer, LineSplitting) {
  CXmlInput in;
  in.LoadText("a\nb");
  EXPECT_EQ(in.GetLineCount(), 2u);  // a last line without a line feed counts
  in.LoadText("a\nb\n");
  EXPECT_EQ(in.GetLineCount(), 2u);  // but no empty line after the last line feed
  in.LoadText("\n\n");
  EXPECT_EQ(in.GetLineCount(), 2u);
  in.LoadText("");
  EXPECT_EQ(in.GetLineCount(), 0u);
  EXPECT_EQ(in.GetLine(), 0);
  EXPECT_EQ(in.Next().code, XTK_END);
  in.LoadLines({"<a", "", "b/>"});
  EXPECT_EQ(in.GetLineCount(), 3u);
}

TEST(XmlTokenizer, SimpleAttributesReadAsTheTokensWould) {
  // The one-step attribute reader either declines or gives what Next gives.
  const char* const cases[] = {"a=\"1\"",      "  a = '1' ", "a=\"x\"\"y\"\"\"", "a='it''s'",  "a/b=\"1\"",
                               "a?=\"1\"",     "-a='1'",     "]a='1'",         "a=\"open",   "a='x\ny'",
                               "a\n='1'",       "a=\n'1'",   "a/>",            "a=b",        "a='1'/>",
                               "\xc3\xa9='1'", "a=''",       "a==\"1\"",       "!a='1'",     "a'b='1'"};
  int read = 0;
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    CXmlInput fast, tokens;
    fast.LoadText(text);
    tokens.LoadText(text);
    std::string_view name, value;
    if (!fast.ReadSimpleAttribute(name, value)) {
      EXPECT_EQ(fast.Next().text, tokens.Next().text);  // nothing consumed
      continue;
    }
    ++read;
    const CXmlInput::Token n = tokens.Next(), eq = tokens.Next(), v = tokens.Next();
    EXPECT_EQ(n.code, XTK_WORD);
    EXPECT_EQ(eq.code, XTK_EQUALS);
    EXPECT_EQ(v.code, XTK_STRING);
    EXPECT_EQ(name, n.text);
    EXPECT_EQ(value, v.text);
    const CXmlInput::Token after = fast.Next(), expected = tokens.Next();
    EXPECT_EQ(after.code, expected.code);
    EXPECT_EQ(after.text, expected.text);
  }
  EXPECT_GE(read, 9);
}

}  // namespace
