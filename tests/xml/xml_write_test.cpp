#include "xml_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

std::string Rewritten(const std::string& text) {
  CXml xml;
  if (!xml.ParseText(text)) return "<parse failed: " + xml.GetLastError() + ">";
  return Written(xml);
}

TEST(XmlWrite, LayoutRules) {
  // Headers, comments and CDATA blocks at top level each end with a line end.
  EXPECT_EQ(Rewritten("<?xml version=\"1.0\"?> <!--c--> <a x='1'   y=\"2\"></a>"),
            "<?xml version=\"1.0\"?>\n<!--c-->\n<a x='1' y=\"2\"/>");
  // Nested sections are indented two blanks per level; closing tags line up.
  EXPECT_EQ(Rewritten("<a><b><c/></b><d/></a>"), "<a>\n  <b>\n    <c/>\n  </b>\n  <d/>\n</a>");
  // Text stays inline: a child after text follows directly, and after a last text
  // child the closing tag does too.
  EXPECT_EQ(Rewritten("<a>one<b>two</b>three</a>"), "<a>one<b>two</b>three</a>");
  EXPECT_EQ(Rewritten("<a>one<b/></a>"), "<a>one<b/>\n</a>");
  EXPECT_EQ(Rewritten("<a><b/>one</a>"), "<a>\n  <b/>one</a>");
  // Comments, headers and CDATA inside a section go on their own indented lines.
  EXPECT_EQ(Rewritten("<a><!--c--><?p q='1'?><![CDATA[l1\nl2]]></a>"),
            "<a>\n  <!--c-->\n  <?p q='1'?>\n  <![CDATA[l1\nl2]]>\n</a>");
  // The edge case of a header, a comment and a section on separate lines.
  EXPECT_EQ(Rewritten("<?xml?><!-- note --><root/>"), "<?xml?>\n<!-- note -->\n<root/>");
  // Consecutive top-level sections follow each other directly.
  EXPECT_EQ(Rewritten("<a/>\n<b/>"), "<a/><b/>");
  EXPECT_EQ(Rewritten("<![CDATA[]]>"), "<![CDATA[]]>\n");
}

TEST(XmlWrite, WrittenDocumentsReadBackUnchanged) {
  const std::string docs[] = {
      "<?xml version=\"1.0\"?>\n<!-- one\ntwo -->\n<book id=\"a\"\"b\">\n  <e n='x'>hello <b>bold</b> world</e>\n"
      "  <![CDATA[raw <x>\n]]]>\n  text\n</book>",
      "<a>\r\n  t\r\n</a>",
      "<a>--<!--x----->]]</a>",
  };
  for (const std::string& doc : docs) {
    const std::string once = Rewritten(doc);
    EXPECT_EQ(Rewritten(once), once) << doc;
  }
  EXPECT_EQ(Rewritten(docs[0]), docs[0]);
}

TEST(XmlWrite, BuiltByTheCaller) {
  CXml xml;
  auto* root = new CXmlSection("contacts");
  xml.SetRoot(new CXmlHeader("xml"));
  static_cast<CXmlHeader*>(xml.GetRoot())->AddAttribute("version", "\"1.0\"");
  xml.GetRoot()->AddNext(root);
  auto* c = new CXmlSection("contact");
  c->AddAttribute("name", "\"" + CXml::XmlString("J \"Jo\" Doe") + "\"");
  c->AddChild(new CXmlText("note"));
  auto* cdata = new CXmlCData;
  cdata->AddLine("a");
  cdata->AddLine("b");
  root->AddChild(c);
  root->AddChild(cdata);
  root->AddChild(new CXmlComment(" end "));
  EXPECT_EQ(Written(xml),
            "<?xml version=\"1.0\"?>\n<contacts>\n  <contact name=\"J \"\"Jo\"\" Doe\">note</contact>\n"
            "  <![CDATA[a\nb]]>\n  <!-- end -->\n</contacts>");
}

TEST(XmlWrite, DisplayMatchesWrite) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<?h?><a><b>t</b></a>"));
  testing::internal::CaptureStdout();
  xml.Display();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), Written(xml));
}

TEST(XmlWrite, FailuresAndReplacingFiles) {
  TempDir dir;
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a>new</a>"));
  EXPECT_FALSE(xml.Write(dir.File("no/such/dir.xml")));
  EXPECT_FALSE(xml.Write("/dev/full"));  // opened, but writing fails

  // Replacing keeps the file's permissions and writes through a symbolic link.
  const std::string target = dir.File("target.xml");
  WriteFile(target, "<old>much longer old contents</old>");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = dir.File("link.xml");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  EXPECT_TRUE(xml.Write(link));
  EXPECT_EQ(ReadFile(target), "<a>new</a>");
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // No temporary file is left behind.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(target).parent_path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 2);
}

TEST(XmlWrite, ReadOnlyFilesAndHardLinks) {
  TempDir dir;
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a>new</a>"));

  // A read-only file is refused and left as it was (also when run as root).
  const std::string locked = dir.File("locked.xml");
  WriteFile(locked, "<old/>");
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  EXPECT_FALSE(xml.Write(locked));
  EXPECT_EQ(ReadFile(locked), "<old/>");
  struct stat st {};
  ASSERT_EQ(::stat(locked.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);

  // Through a symbolic link to a read-only file: refused as well.
  const std::string lockedLink = dir.File("locked-link.xml");
  ASSERT_EQ(::symlink(locked.c_str(), lockedLink.c_str()), 0);
  EXPECT_FALSE(xml.Write(lockedLink));
  EXPECT_EQ(ReadFile(locked), "<old/>");

  // A file with two names stays one file: both names show the new contents.
  const std::string first = dir.File("first.xml");
  const std::string second = dir.File("second.xml");
  WriteFile(first, "<old>longer old contents</old>");
  ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
  struct stat before {};
  ASSERT_EQ(::stat(first.c_str(), &before), 0);
  EXPECT_TRUE(xml.Write(second));
  EXPECT_EQ(ReadFile(first), "<a>new</a>");
  EXPECT_EQ(ReadFile(second), "<a>new</a>");
  struct stat after {};
  ASSERT_EQ(::stat(second.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_nlink, 2u);
}

struct CatRun {
  int status;
  std::string out;
  std::string err;
};

CatRun Cat(const std::string& args, const std::string& input = "") {
  TempDir dir;
  WriteFile(dir.File("in"), input);
  const std::string cmd = std::string(TEVROXML_CAT) + " " + args + " <" + dir.File("in") + " >" + dir.File("out") +
                          " 2>" + dir.File("err");
  const int rc = std::system(cmd.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFile(dir.File("out")), ReadFile(dir.File("err"))};
}

TEST(XmlCat, ParsesPrintsAndReports) {
  TempDir dir;
  WriteFile(dir.File("ok.xml"), "<?x?>\n<a>\n<b/>\n</a>\n");
  WriteFile(dir.File("bad.xml"), "<a>\n</b>\n");

  CatRun r = Cat(dir.File("ok.xml"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "<?x?>\n<a>\n  <b/>\n</a>");
  EXPECT_EQ(r.err, "");

  r = Cat("--progress " + dir.File("ok.xml"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "50\n75\n100\n");

  r = Cat(dir.File("bad.xml"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Line 2: names of the section at the beginning and at the end do not match: a, b\n");

  r = Cat(dir.File("missing.xml"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Line 0: failed to open the input file\n");

  r = Cat("-", "<a>x</a>");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "<a>x</a>");
  r = Cat("-", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Line 0: XML is empty\n");

  EXPECT_EQ(Cat("").status, 2);
  EXPECT_EQ(Cat("a b").status, 2);
}

}  // namespace
