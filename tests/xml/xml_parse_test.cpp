#include "xml_test_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

struct ErrorCase {
  const char* input;
  const char* error;
};

TEST(XmlParse, EveryErrorMessage) {
  const ErrorCase cases[] = {
      {"", "Line 0: XML is empty"},
      {"\n \n\t\n", "Line 1: XML is empty"},
      {"hello", "Line 1: <, <!, <? or end of file expected but not found"},
      {"<a/>\n>", "Line 2: <, <!, <? or end of file expected but not found"},
      {"<a x=\"1/>", "Line 1: end of string expected but not found"},
      {"<>", "Line 1: name of section is missing"},
      {"<a x>", "Line 1: = expected after x in a section"},
      {"<a x=y>", "Line 1: string expected after x= in a section"},
      {"<a\n", "Line 1: end of file reached but the section is incomplete"},
      {"<a>\n<b>\n", "Line 2: end of file reached but the section is incomplete"},
      {"<a =\"1\">", "Line 1: Unexpected token found in section a"},
      {"<a></b>", "Line 1: names of the section at the beginning and at the end do not match: a, b"},
      {"<a></>", "Line 1: names of the section at the beginning and at the end do not match: a, >"},
      {"<a></a x>", "Line 1: > expected after a"},
      {"<a>\ntext\nmore", "Line 3: incomplete XML, missing end of a text area"},
      {"<!-- a\nb", "Line 2: incomplete XML, missing and of a comment"},
      {"<![CDATA[a\nb", "Line 2: incomplete XML, missing and of a comment"},
      {"<? ?>", "Line 1: name of the header expacted after <?"},
      {"<?xml version ?>", "Line 1: = expacted afrer version"},
      {"<?xml version=1?>", "Line 1: string expected after version="},
      {"<?xml version=\"1\"", "Line 1: end of file reached but the header is incomplete"},
      {"<?xml version=\"1\" > ?>", "Line 1: end of the header or identifier expected but > found"},
      {"<?xml \"v\"?>", "Line 1: end of the header or identifier expected but \"v\" found"},
  };
  for (const ErrorCase& c : cases) {
    CXml xml;
    EXPECT_FALSE(xml.ParseText(c.input)) << c.input;
    EXPECT_EQ(xml.GetLastError(), c.error) << c.input;
    EXPECT_EQ(xml.GetRoot(), nullptr) << c.input;
  }
}

TEST(XmlParse, FileErrors) {
  TempDir dir;
  CXml xml;
  EXPECT_FALSE(xml.ParseFile(dir.File("missing.xml")));
  EXPECT_EQ(xml.GetLastError(), "Line 0: failed to open the input file");
  WriteFile(dir.File("empty.xml"), "");
  EXPECT_FALSE(xml.ParseFile(dir.File("empty.xml")));
  EXPECT_EQ(xml.GetLastError(), "Line 0: no data read. empty file?");
  WriteFile(dir.File("ok.xml"), "<a>x</a>");
  EXPECT_TRUE(xml.ParseFile(dir.File("ok.xml")));
  EXPECT_EQ(xml.GetLastError(), "");
}

TEST(XmlParse, FailureAfterSuccessLeavesNoTree) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a><b/></a>"));
  ASSERT_NE(xml.GetRoot(), nullptr);
  EXPECT_FALSE(xml.ParseText("<?x?>\n<a><b><c>t</c></b>"));  // a header and a partial section are dropped
  EXPECT_EQ(xml.GetRoot(), nullptr);
  EXPECT_TRUE(xml.ParseText("<z/>"));
  EXPECT_EQ(AsSection(xml.GetRoot())->GetName(), "z");
}

TEST(XmlParse, DocumentStructure) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText(
      "<?xml version=\"1.0\" encoding='x'?>\n<!-- one\ntwo\nthree -->\n"
      "<book id=\"a\"\"b\">\n  <entry>hello <b>bold</b> world</entry>\n  <![CDATA[raw <x>\n"
      "more]]>\n</book>\n<tail/>"));
  CXmlElement* root = xml.GetRoot();
  ASSERT_EQ(root->GetType(), XML_HEADER);
  auto* header = static_cast<CXmlHeader*>(root);
  EXPECT_EQ(header->GetName(), "xml");
  std::string v;
  EXPECT_TRUE(header->FindAttribute("encoding", v));
  EXPECT_EQ(v, "x");

  ASSERT_EQ(root->GetNext()->GetType(), XML_COMMENT);
  EXPECT_EQ(static_cast<CXmlComment*>(root->GetNext())->GetComment(), " one\ntwo\nthree ");

  CXmlSection* book = xml.GetFirstSection();
  ASSERT_NE(book, nullptr);
  EXPECT_EQ(book->GetName(), "book");
  EXPECT_EQ(book->GetParent(), nullptr);
  EXPECT_TRUE(book->FindAttribute("id", v, true));
  EXPECT_EQ(v, "\"a\"\"b\"");
  EXPECT_TRUE(book->FindAttribute("id", v, false));
  EXPECT_EQ(v, "a\"\"b");

  CXmlSection* entry = book->GetChildSection();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->GetParent(), book);
  CXmlElement* t1 = entry->GetChild();
  ASSERT_EQ(t1->GetType(), XML_TEXT);
  EXPECT_EQ(static_cast<CXmlText*>(t1)->GetText(), "hello ");
  EXPECT_EQ(AsSection(t1->GetNext())->GetName(), "b");
  EXPECT_EQ(static_cast<CXmlText*>(t1->GetNext()->GetChild())->GetText(), "bold");
  EXPECT_EQ(static_cast<CXmlText*>(t1->GetNext()->GetNext())->GetText(), " world");

  ASSERT_EQ(entry->GetNext()->GetType(), XML_CDATA);
  auto* cdata = static_cast<CXmlCData*>(entry->GetNext());
  ASSERT_EQ(cdata->GetLineCount(), 2);
  EXPECT_EQ(*cdata->GetLine(0), "raw <x>");
  EXPECT_EQ(*cdata->GetLine(1), "more");
  EXPECT_EQ(cdata->GetLine(2), nullptr);
  EXPECT_EQ(cdata->GetLine(-1), nullptr);

  EXPECT_EQ(book->GetNextSection()->GetName(), "tail");
}

TEST(XmlParse, TextAreasAreUntrimmedAndKeepCarriageReturns) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a>\r\n  hello\r\n</a>\r\n"));
  EXPECT_EQ(static_cast<CXmlText*>(xml.GetRoot()->GetChild())->GetText(), "\r\n  hello\r\n");
  // White space alone between elements is no text.
  ASSERT_TRUE(xml.ParseText("<a>\n  <b/>  \n\n</a>"));
  EXPECT_EQ(xml.GetRoot()->GetChild()->GetNext(), nullptr);
  // A text area may start with a quote that is never closed.
  ASSERT_TRUE(xml.ParseText("<a>\"it is</a>"));
  EXPECT_EQ(static_cast<CXmlText*>(xml.GetRoot()->GetChild())->GetText(), "\"it is");
}

TEST(XmlParse, ParseVectorCopiesTheLines) {
  std::vector<std::string> lines{"<a>", "x", "</a>"};
  CXml xml;
  ASSERT_TRUE(xml.ParseVector(lines));
  lines.clear();
  EXPECT_EQ(static_cast<CXmlText*>(xml.GetRoot()->GetChild())->GetText(), "\nx\n");
  EXPECT_FALSE(xml.ParseVector({}));
  EXPECT_EQ(xml.GetLastError(), "Line 0: XML is empty");
}

class RecordingSink : public CXmlProgressSink {
public:
  void Progress(unsigned message, int percent, int zero) override {
    EXPECT_EQ(message, 77u);
    EXPECT_EQ(zero, 0);
    percents.push_back(percent);
  }
  std::vector<int> percents;
};

TEST(XmlParse, ProgressIsSentWhenThePercentageChanges) {
  RecordingSink sink;
  CXml xml(&sink, 77);
  ASSERT_TRUE(xml.ParseText("<a>\n<b/>\n<c/>\n</a>\n"));
  EXPECT_EQ(sink.percents, (std::vector<int>{50, 75, 100}));

  sink.percents.clear();
  std::string many = "<a>\n";
  for (int i = 0; i < 998; ++i) many += "<b/>\n";
  many += "</a>\n";
  ASSERT_TRUE(xml.ParseText(many));
  ASSERT_EQ(sink.percents.size(), 100u);  // 1000 lines, one message per percent
  for (int i = 0; i < 100; ++i) EXPECT_EQ(sink.percents[static_cast<std::size_t>(i)], i + 1);

  sink.percents.clear();
  EXPECT_FALSE(xml.ParseText(""));  // zero lines: nothing to divide by, nothing sent
  EXPECT_FALSE(xml.ParseVector({}));
  EXPECT_TRUE(sink.percents.empty());

  CXml quiet(nullptr, 77);  // without a sink nothing is sent, and nothing breaks
  EXPECT_TRUE(quiet.ParseText(many));
}

TEST(XmlParse, DeepNestingNeedsNoDeepStack) {
  const int depth = 100000;
  std::string text;
  // Text before and after each nested section keeps the written form on one line.
  for (int i = 0; i < depth; ++i) text += "<d>x";
  for (int i = 0; i < depth; ++i) text += "y</d>";
  CXml xml;
  ASSERT_TRUE(xml.ParseText(text));
  EXPECT_EQ(Written(xml), text);
  text.resize(text.size() - 4);  // one end tag short: the whole partial tree is destroyed
  EXPECT_FALSE(xml.ParseText(text));
  EXPECT_EQ(xml.GetRoot(), nullptr);
}

double SecondsToParse(const std::string& text) {
  CXml xml;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(xml.ParseText(text)) << xml.GetLastError();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(XmlParse, LargeInputsParseInLinearTime) {
  // 10 MB on one line and 20 MB over many lines. Copying or erasing the front of
  // the line per token would take minutes here; the bound leaves room for
  // sanitizers and a busy machine.
  std::string oneLine = "<list>";
  while (oneLine.size() < 10'000'000) oneLine += "<item name=\"n\" value='v'>some text</item>";
  oneLine += "</list>";
  std::string manyLines = "<list>\n";
  while (manyLines.size() < 20'000'000) manyLines += "  <item name=\"n\">\n    text of the item\n  </item>\n";
  manyLines += "</list>\n";
  EXPECT_LT(SecondsToParse(oneLine), 20.0);
  EXPECT_LT(SecondsToParse(manyLines), 20.0);
  // A text area and a comment spanning one huge line.
  EXPECT_LT(SecondsToParse("<a>" + std::string(10'000'000, 'x') + "</a>"), 20.0);
  EXPECT_LT(SecondsToParse("<!--" + std::string(10'000'000, '-') + "-->"), 20.0);
}

}  // namespace
