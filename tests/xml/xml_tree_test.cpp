#include "xml_test_util.h"

#include <gtest/gtest.h>

namespace {

const char* kBook =
    "<?xml version=\"1.0\"?>\n"
    "<book>\n"
    "  <people><person name=\"Ann\"/><person name=\"Bob\"/></people>\n"
    "  <places><town>Oslo</town></places>\n"
    "</book>\n"
    "<book><people><person name=\"Cid\"/></people></book>\n";

TEST(XmlLookup, FindSectionByPath) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText(kBook));
  std::string v;
  CXmlSection* p = xml.FindSection("book people person", xml.GetRoot());
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->FindAttribute("name", v, false));
  EXPECT_EQ(v, "Ann");
  EXPECT_EQ(xml.FindSection("  book\tplaces\n town ", xml.GetRoot())->GetName(), "town");
  // The first match is taken at each step; there is no backtracking.
  EXPECT_EQ(xml.FindSection("book places", xml.GetRoot())->GetName(), "places");
  CXmlSection* second = xml.GetFirstSection()->GetNextSection();
  p = xml.FindSection("book people person", second);
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->FindAttribute("name", v, false));
  EXPECT_EQ(v, "Cid");
  EXPECT_EQ(xml.FindSection("Book", xml.GetRoot()), nullptr);  // case matters
  EXPECT_EQ(xml.FindSection("book town", xml.GetRoot()), nullptr);
  EXPECT_EQ(xml.FindSection("book places town x", xml.GetRoot()), nullptr);
  EXPECT_EQ(xml.FindSection("", xml.GetRoot()), nullptr);
  EXPECT_EQ(xml.FindSection(" \t", xml.GetRoot()), nullptr);
  EXPECT_EQ(xml.FindSection("book", nullptr), nullptr);
}

TEST(XmlLookup, ChildNextAndTypedSteps) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<r>t1<a/><!--c1--><b/><?h?>t2<a n='2'/><![CDATA[x]]><!--c2--><?g?>t3<![CDATA[y]]></r>"));
  auto* r = xml.GetFirstSection();
  CXmlSection* a = r->FindChildSection("a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, r->GetChildSection());
  CXmlSection* a2 = a->FindNextSection("a");
  ASSERT_NE(a2, nullptr);
  EXPECT_EQ(a2->GetAttributeCount(), 1);
  EXPECT_EQ(a2->FindNextSection("a"), nullptr);
  EXPECT_EQ(r->FindChildSection("zz"), nullptr);
  EXPECT_EQ(a->GetNextSection()->GetName(), "b");
  EXPECT_EQ(a2->GetPrevSection()->GetName(), "b");
  EXPECT_EQ(a->GetPrevSection(), nullptr);

  auto* t1 = static_cast<CXmlText*>(r->GetChild());
  EXPECT_EQ(t1->GetNextText()->GetText(), "t2");
  EXPECT_EQ(t1->GetNextText()->GetNextText()->GetPrevText(), t1->GetNextText());
  auto* c1 = static_cast<CXmlComment*>(a->GetNext());
  EXPECT_EQ(c1->GetNextComment()->GetComment(), "c2");
  EXPECT_EQ(c1->GetNextComment()->GetPrevComment(), c1);
  auto* h = static_cast<CXmlHeader*>(a->GetNextSection()->GetNext());
  EXPECT_EQ(h->GetNextHeader()->GetName(), "g");
  EXPECT_EQ(h->GetNextHeader()->GetPrevHeader(), h);
  auto* x = static_cast<CXmlCData*>(a2->GetNext());
  EXPECT_EQ(*x->GetNextCData()->GetLine(0), "y");
  EXPECT_EQ(x->GetNextCData()->GetPrevCData(), x);
  EXPECT_EQ(x->GetPrevCData(), nullptr);
  EXPECT_EQ(a->GetChild(), nullptr);
  EXPECT_EQ(a->GetChildSection(), nullptr);
}

TEST(XmlAttributes, QuotesIndexesAndEdits) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a one=\"1\" two='2' q=\"a\"\"b\" one=\"dup\"/>"));
  CXmlSection* a = xml.GetFirstSection();
  ASSERT_EQ(a->GetAttributeCount(), 4);
  std::string v = "junk";
  EXPECT_TRUE(a->FindAttribute("one", v, false));
  EXPECT_EQ(v, "1");  // the first of equal names
  EXPECT_TRUE(a->FindAttribute("q", v, false));
  EXPECT_EQ(v, "a\"\"b");  // doubled quotes stay as written
  EXPECT_FALSE(a->FindAttribute("ONE", v, true));
  EXPECT_EQ(v, "");

  EXPECT_EQ(a->GetAttribute(1, true)->GetValue(), "'2'");
  EXPECT_EQ(a->GetAttribute(1, false)->GetValue(), "2");
  EXPECT_EQ(a->GetAttribute(1, false)->GetName(), "two");
  EXPECT_FALSE(a->GetAttribute(4, true).has_value());
  EXPECT_FALSE(a->GetAttribute(-1, true).has_value());

  a->SetAttribute("two", "\"22\"");
  a->SetAttribute("three", "\"" + CXml::XmlString("say \"hi\"") + "\"");
  EXPECT_EQ(a->GetAttributeCount(), 5);
  EXPECT_EQ(a->GetAttribute(1, true)->GetValue(), "\"22\"");
  EXPECT_EQ(a->GetAttribute(4, true)->GetValue(), "\"say \"\"hi\"\"\"");
  EXPECT_TRUE(a->SetAttribute(0, "zero", "\"0\""));
  EXPECT_TRUE(a->SetAttribute(3, CXmlAttribute("last", "'L'")));
  EXPECT_FALSE(a->SetAttribute(5, "x", "\"x\""));
  EXPECT_FALSE(a->SetAttribute(-1, CXmlAttribute("x", "\"x\"")));
  EXPECT_TRUE(a->DelAttribute(2));
  EXPECT_FALSE(a->DelAttribute(4));
  EXPECT_EQ(Written(xml), "<a zero=\"0\" two=\"22\" last='L' three=\"say \"\"hi\"\"\"/>");

  // The written document reads back with the same values.
  CXml again;
  ASSERT_TRUE(again.ParseText(Written(xml)));
  EXPECT_TRUE(again.GetFirstSection()->FindAttribute("three", v, false));
  EXPECT_EQ(v, "say \"\"hi\"\"");

  // Values set without quotes are too short to strip safely: empty, never a crash.
  a->AddAttribute("bare", "x");
  a->AddAttribute(CXmlAttribute("none", ""));
  EXPECT_TRUE(a->FindAttribute("bare", v, false));
  EXPECT_EQ(v, "");
  EXPECT_TRUE(a->FindAttribute("none", v, false));
  EXPECT_EQ(v, "");
  a->DelAllAttributes();
  EXPECT_EQ(a->GetAttributeCount(), 0);
}

TEST(XmlAttributes, HeaderFindStripsQuotes) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<?xml version=\"1.0\" standalone='yes'?><a/>"));
  auto* h = static_cast<CXmlHeader*>(xml.GetRoot());
  std::string v;
  EXPECT_TRUE(h->FindAttribute("standalone", v));
  EXPECT_EQ(v, "yes");
  EXPECT_FALSE(h->FindAttribute("encoding", v));
  EXPECT_EQ(h->GetAttribute(0, true)->GetValue(), "\"1.0\"");
  EXPECT_EQ(CXml::XmlString("a\"b\"\"c'"), "a\"\"b\"\"\"\"c'");
  EXPECT_EQ(CXml::XmlString(""), "");
}

// Every test here runs under AddressSanitizer in `make test-sanitize`: a double
// free, leak or use after free fails it there.
TEST(XmlOwnership, DeleteRootMiddleLastAndCData) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<?h?><a><b/><![CDATA[x\ny]]><c/><d/></a><!--z-->"));
  CXmlSection* a = xml.GetFirstSection();
  CXmlElement* cdata = a->GetChild()->GetNext();
  ASSERT_EQ(cdata->GetType(), XML_CDATA);
  CXmlElement* c = xml.Delete(cdata);  // a middle sibling with lines
  EXPECT_EQ(AsSection(c)->GetName(), "c");
  EXPECT_EQ(c->GetPrev(), a->GetChild());
  EXPECT_EQ(a->GetChild()->GetNext(), c);
  EXPECT_EQ(xml.Delete(a->GetChild()), c);  // the first child
  EXPECT_EQ(a->GetChild(), c);
  EXPECT_EQ(c->GetPrev(), nullptr);
  EXPECT_EQ(xml.Delete(c->GetNext()), nullptr);  // the last child
  EXPECT_EQ(Written(xml), "<?h?>\n<a>\n  <c/>\n</a><!--z-->\n");

  // A top-level element after the root goes alone; the others stay.
  EXPECT_EQ(xml.Delete(a)->GetType(), XML_COMMENT);
  EXPECT_EQ(Written(xml), "<?h?>\n<!--z-->\n");
  EXPECT_EQ(xml.Delete(nullptr), nullptr);
}

TEST(XmlOwnership, DeletingTheRootClearsTheDocument) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<?h?>\n<a><b/></a>\n<!--z-->\n<c/>"));
  CXmlElement* a = xml.GetRoot()->GetNext();
  EXPECT_EQ(xml.Delete(a->GetChild()), nullptr);  // an inner element: only it goes
  EXPECT_EQ(Written(xml), "<?h?>\n<a/><!--z-->\n<c/>");
  EXPECT_EQ(xml.Delete(xml.GetRoot()), nullptr);
  EXPECT_EQ(xml.GetRoot(), nullptr);
  EXPECT_EQ(xml.GetFirstSection(), nullptr);
  EXPECT_EQ(Written(xml), "");
  // The document is usable again afterwards.
  ASSERT_TRUE(xml.ParseText("<x/>"));
  EXPECT_EQ(xml.Delete(xml.GetRoot()), nullptr);
  EXPECT_EQ(xml.GetRoot(), nullptr);
}

TEST(XmlOwnership, ForeignElementsAreNotDeletedByAnotherDocument) {
  CXml one, two;
  ASSERT_TRUE(one.ParseText("<a><b/></a>"));
  ASSERT_TRUE(two.ParseText("<x/>"));
  CXmlSection free("f");
  EXPECT_EQ(two.Delete(one.GetRoot()->GetChild()), nullptr);
  EXPECT_EQ(two.Delete(&free), nullptr);
  EXPECT_NE(one.GetRoot()->GetChild(), nullptr);
}

TEST(XmlOwnership, AddChildAndAddNextMoveChains) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a><x/></a>"));
  CXmlSection* a = xml.GetFirstSection();
  // A chain built by the caller is appended as a whole.
  auto* b = new CXmlSection("b");
  EXPECT_TRUE(b->AddNext(new CXmlText("t")));
  EXPECT_TRUE(b->AddNext(new CXmlSection("c")));
  EXPECT_TRUE(a->AddChild(b));
  EXPECT_EQ(Written(xml), "<a>\n  <x/>\n  <b/>t<c/>\n</a>");
  for (CXmlElement* e = a->GetChild(); e; e = e->GetNext()) EXPECT_EQ(e->GetParent(), a);

  // Moving the tail of a chain into a child: the old chain ends before it.
  CXmlElement* t = b->GetNext();
  EXPECT_TRUE(AsSection(a->GetChild())->AddChild(t));
  EXPECT_EQ(b->GetNext(), nullptr);
  EXPECT_EQ(t->GetParent(), a->GetChild());
  EXPECT_EQ(Written(xml), "<a>\n  <x>t<c/>\n  </x>\n  <b/>\n</a>");

  // AddNext on a child appends at the end of its siblings, under its parent.
  auto* d = new CXmlComment("d");
  EXPECT_TRUE(a->GetChild()->AddNext(d));
  EXPECT_EQ(d->GetParent(), a);
  EXPECT_EQ(d->GetPrev(), b);
  // AddNext on a top-level element adds a top-level element.
  EXPECT_TRUE(a->AddNext(new CXmlHeader("end")));
  EXPECT_EQ(a->GetNext()->GetParent(), nullptr);
  EXPECT_EQ(Written(xml), "<a>\n  <x>t<c/>\n  </x>\n  <b/>\n  <!--d-->\n</a><?end?>\n");
}

TEST(XmlOwnership, MovesThatWouldNestAnElementInItselfAreRefused) {
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a><b><c/></b><e/></a><z/>"));
  CXmlSection* a = xml.GetFirstSection();
  CXmlSection* b = a->GetChildSection();
  CXmlSection* c = b->GetChildSection();
  EXPECT_FALSE(c->AddChild(a));
  EXPECT_FALSE(c->AddChild(b));
  EXPECT_FALSE(b->AddChild(b));
  EXPECT_FALSE(c->AddNext(b));      // c's parent is b
  EXPECT_FALSE(c->AddChild(xml.GetRoot()));  // a and the z after it
  EXPECT_FALSE(b->AddNext(a));
  EXPECT_FALSE(a->AddChild(nullptr));
  EXPECT_FALSE(a->AddNext(nullptr));
  // The chain starting at a earlier sibling would carry c's own ancestor b along.
  CXml chain;
  ASSERT_TRUE(chain.ParseText("<r><p/><q><s/></q></r>"));
  CXmlSection* s = chain.FindSection("r q s", chain.GetRoot());
  EXPECT_FALSE(s->AddChild(chain.GetFirstSection()->GetChild()));
  EXPECT_FALSE(s->AddNext(chain.GetFirstSection()->GetChild()));
  EXPECT_EQ(Written(chain), "<r>\n  <p/>\n  <q>\n    <s/>\n  </q>\n</r>");
  // A chain that only follows the target is fine: e moves under c.
  EXPECT_TRUE(c->AddChild(b->GetNext()));
  EXPECT_EQ(Written(xml), "<a>\n  <b>\n    <c>\n      <e/>\n    </c>\n  </b>\n</a><z/>");
}

TEST(XmlOwnership, SetRootClearAndDestroyMidEdit) {
  auto* extra = new CXmlSection("extra");
  {
    CXml xml;
    ASSERT_TRUE(xml.ParseText("<a><b><c/></b></a><d/>"));
    CXmlSection* b = xml.GetFirstSection()->GetChildSection();
    xml.SetRoot(b);  // a descendant of the old root survives; a and d go
    EXPECT_EQ(xml.GetRoot(), b);
    EXPECT_EQ(b->GetParent(), nullptr);
    EXPECT_EQ(b->GetNext(), nullptr);
    EXPECT_EQ(Written(xml), "<b>\n  <c/>\n</b>");
    xml.GetFirstSection()->AddChild(extra);
    xml.SetRoot(nullptr);
    EXPECT_EQ(xml.GetRoot(), nullptr);

    ASSERT_TRUE(xml.ParseText("<a/>"));
    xml.GetFirstSection()->AddChild(new CXmlText("x"));
    xml.GetRoot()->AddNext(new CXmlSection("n"));
    xml.Clear();
    EXPECT_EQ(xml.GetRoot(), nullptr);
    EXPECT_EQ(xml.GetLastError(), "");

    ASSERT_TRUE(xml.ParseText("<a><b/></a>"));
    xml.GetFirstSection()->GetChildSection()->AddChild(new CXmlSection("mid"));
    // The document goes out of scope in the middle of the edit.
  }
  // Deleting an element directly unlinks it first.
  CXml xml;
  ASSERT_TRUE(xml.ParseText("<a><b/><c/></a>"));
  delete xml.GetFirstSection()->GetChildSection();
  EXPECT_EQ(AsSection(xml.GetFirstSection()->GetChild())->GetName(), "c");
  delete xml.GetRoot();
  EXPECT_EQ(xml.GetRoot(), nullptr);
  CXmlSection* lone = new CXmlSection("lone");
  EXPECT_EQ(lone->Delete(), nullptr);
}

}  // namespace
