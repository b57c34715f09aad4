// The grammar: document, section, header, text area, comment and CDATA block.
// Sections nest through an explicit stack rather than recursion, so however deep
// the input nests, the parser's own stack does not grow.
#include "xml/xmlarena.h"
#include "xml/xmlinput.h"
#include "xml/xmllinks.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The names read from one document, each kept once in the arena and shared by
// every tag of that name. The table stops growing at a bound, so a document of
// countless different names gets them unshared instead of an ever larger table.
class NameTable {
public:
  explicit NameTable(CXmlArena& arena) : m_arena(arena) {}

  const std::string* Get(std::string_view name) {
    std::uint64_t h = 1469598103934665603ull;
    for (const char c : name) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    if (m_slots.empty()) m_slots.resize(256);
    std::size_t mask = m_slots.size() - 1;
    std::size_t i = static_cast<std::size_t>(h) & mask;
    std::size_t probes = 0;
    for (; m_slots[i].name; i = (i + 1) & mask) {
      if (m_slots[i].hash == h && *m_slots[i].name == name) return m_slots[i].name;
      // Names made to collide must not make each look-up long: past a few
      // probes a name is stored unshared.
      if (++probes == kMaxProbes) return m_arena.MakeString(name);
    }
    const std::string* s = m_arena.MakeString(name);
    if (m_used >= kMaxNames) return s;
    if (2 * (m_used + 1) > m_slots.size()) {
      Grow();
      mask = m_slots.size() - 1;
      probes = 0;
      for (i = static_cast<std::size_t>(h) & mask; m_slots[i].name; i = (i + 1) & mask)
        if (++probes == kMaxProbes) return s;
    }
    m_slots[i] = {h, s};
    ++m_used;
    return s;
  }

private:
  struct Slot {
    std::uint64_t hash = 0;
    const std::string* name = nullptr;
  };
  static constexpr std::size_t kMaxNames = std::size_t{1} << 16;
  static constexpr std::size_t kMaxProbes = 32;

  void Grow() {
    std::vector<Slot> old(2 * m_slots.size());
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& s : old) {
      if (!s.name) continue;
      std::size_t i = static_cast<std::size_t>(s.hash) & mask;
      while (m_slots[i].name) i = (i + 1) & mask;
      m_slots[i] = s;
    }
  }

  CXmlArena& m_arena;
  std::vector<Slot> m_slots;
  std::size_t m_used = 0;
};

}  // namespace

class CXml::Parser {
public:
  Parser(CXmlInput& input, CXmlArena& arena, std::string& error)
      : m_in(input), m_arena(arena), m_names(arena), m_error(error) {}

  // Appends every top-level element to `document`; false on the first error.
  bool ParseDocument(CXmlElement* document) {
    for (;;) {
      const CXmlInput::Token t = Read();
      std::unique_ptr<CXmlElement> e;
      switch (t.code) {
        case XTK_SECTION_OPEN: e = ParseSection(); break;
        case XTK_HEADER_OPEN: e = ParseHeader(); break;
        case XTK_COMMENT_OPEN: e = ParseComment(); break;
        case XTK_CDATA_OPEN: e = ParseCData(); break;
        case XTK_ERROR: return false;
        case XTK_END:
          if (document->GetChild()) return true;
          return Fail("XML is empty");
        default: return Fail("<, <!, <? or end of file expected but not found");
      }
      if (!e) return false;
      CXmlLinks::Append(document, e.release());
    }
  }

private:
  // Formats the error with the current line number; the first error is kept.
  bool Fail(const std::string& message) {
    if (m_error.empty()) m_error = "Line " + std::to_string(m_in.GetLine()) + ": " + message;
    return false;
  }

  // Next token; an unterminated string records its error here.
  CXmlInput::Token Read() {
    const CXmlInput::Token t = m_in.Next();
    if (t.code == XTK_ERROR) Fail(CXmlInput::kStringError);
    return t;
  }

  // After "<": the name, the attributes and "/>" or ">" (then `content` is true).
  std::unique_ptr<CXmlSection> OpenSection(bool& content) {
    const CXmlInput::Token t = Read();
    if (t.code == XTK_ERROR) return nullptr;
    if (t.code != XTK_WORD) return Fail("name of section is missing"), nullptr;
    auto s = Make<CXmlSection>();
    CXmlTagAccess::SetSharedName(*s, m_names.Get(t.text));
    // The attributes are gathered first (the token texts stay valid while the
    // input is parsed), so that the section allocates its list once.
    m_attributes.clear();
    for (;;) {
      std::string_view simpleName, simpleValue;
      if (m_in.ReadSimpleAttribute(simpleName, simpleValue)) {
        m_attributes.push_back({simpleName, simpleValue});
        continue;
      }
      if (m_in.Peek().code != XTK_WORD) break;
      const std::string_view name = m_in.Next().text;
      const CXmlInput::Token eq = Read();
      if (eq.code == XTK_ERROR) return nullptr;
      if (eq.code != XTK_EQUALS)
        return Fail("= expected after " + std::string(name) + " in " + s->GetName() + " section"), nullptr;
      const CXmlInput::Token value = Read();
      if (value.code == XTK_ERROR) return nullptr;
      if (value.code != XTK_STRING)
        return Fail("string expected after " + std::string(name) + "= in " + s->GetName() + " section"), nullptr;
      m_attributes.push_back({name, value.text});
    }
    SetAttributes(*s);
    const CXmlInput::Token close = Read();
    switch (close.code) {
      case XTK_EMPTY_SECTION_CLOSE: content = false; return s;
      case XTK_CLOSE: content = true; return s;
      case XTK_ERROR: return nullptr;
      case XTK_END: return Fail("end of file reached but the section is incomplete"), nullptr;
      default: return Fail("Unexpected token found in section " + s->GetName()), nullptr;
    }
  }

  // After "<". The returned section owns everything parsed into it, so a failure
  // anywhere below destroys the partial subtree with it.
  std::unique_ptr<CXmlSection> ParseSection() {
    bool content = false;
    std::unique_ptr<CXmlSection> top = OpenSection(content);
    if (!top || !content) return top;
    std::vector<CXmlSection*> open{top.get()};
    while (!open.empty()) {
      CXmlSection* cur = open.back();
      const CXmlInput::Token t = m_in.Peek();
      std::unique_ptr<CXmlElement> child;
      switch (t.code) {
        case XTK_SECTION_OPEN: {
          m_in.Next();
          std::unique_ptr<CXmlSection> s = OpenSection(content);
          if (!s) return nullptr;
          if (content) open.push_back(s.get());
          child = std::move(s);
          break;
        }
        case XTK_HEADER_OPEN: m_in.Next(); child = ParseHeader(); break;
        case XTK_COMMENT_OPEN: m_in.Next(); child = ParseComment(); break;
        case XTK_CDATA_OPEN: m_in.Next(); child = ParseCData(); break;
        case XTK_END_SECTION_OPEN: {
          m_in.Next();
          const CXmlInput::Token name = Read();
          if (name.code == XTK_ERROR) return nullptr;
          if (name.code != XTK_WORD || name.text != cur->GetName())
            return Fail("names of the section at the beginning and at the end do not match: " + cur->GetName() +
                        ", " + std::string(name.text)),
                   nullptr;
          const CXmlInput::Token close = Read();
          if (close.code == XTK_ERROR) return nullptr;
          if (close.code != XTK_CLOSE) return Fail("> expected after " + cur->GetName()), nullptr;
          open.pop_back();
          continue;
        }
        case XTK_END: return Fail("end of file reached but the section is incomplete"), nullptr;
        default: {
          // Any other token starts a text area, read from the current position.
          std::string text;
          if (!m_in.ReadTextArea(text)) return Fail("incomplete XML, missing end of a text area"), nullptr;
          child = Make<CXmlText>(std::move(text));
          break;
        }
      }
      if (!child) return nullptr;
      // `cur` is still the parent: a nested section was pushed after it, and its
      // own children follow from the next round.
      CXmlLinks::Append(cur, child.release());
    }
    return top;
  }

  // After "<?".
  std::unique_ptr<CXmlHeader> ParseHeader() {
    const CXmlInput::Token t = Read();
    if (t.code == XTK_ERROR) return nullptr;
    if (t.code != XTK_WORD) return Fail("name of the header expacted after <?"), nullptr;
    auto h = Make<CXmlHeader>();
    CXmlTagAccess::SetSharedName(*h, m_names.Get(t.text));
    m_attributes.clear();
    for (;;) {
      const CXmlInput::Token a = Read();
      switch (a.code) {
        case XTK_HEADER_CLOSE: SetAttributes(*h); return h;
        case XTK_WORD: {
          const std::string_view name = a.text;
          const CXmlInput::Token eq = Read();
          if (eq.code == XTK_ERROR) return nullptr;
          if (eq.code != XTK_EQUALS) return Fail("= expacted afrer " + std::string(name)), nullptr;
          const CXmlInput::Token value = Read();
          if (value.code == XTK_ERROR) return nullptr;
          if (value.code != XTK_STRING) return Fail("string expected after " + std::string(name) + "="), nullptr;
          m_attributes.push_back({name, value.text});
          break;
        }
        case XTK_ERROR: return nullptr;
        case XTK_END: return Fail("end of file reached but the header is incomplete"), nullptr;
        default:
          return Fail("end of the header or identifier expected but " + std::string(a.text) + " found"), nullptr;
      }
    }
  }

  // After "<!--".
  std::unique_ptr<CXmlComment> ParseComment() {
    std::string text;
    if (!m_in.ReadUntil("-->", text)) return Fail("incomplete XML, missing and of a comment"), nullptr;
    return Make<CXmlComment>(std::move(text));
  }

  // Hands the gathered attributes (their texts still lie in the input) to `tag`.
  void SetAttributes(CXmlTag& tag) {
    if (!CXmlTagAccess::SetParsed(tag, m_arena, m_attributes.data(), m_attributes.size()))
      for (const CXmlTagAccess::Attribute& a : m_attributes) tag.AddAttribute(std::string(a.name), std::string(a.value));
  }

  // After "<![CDATA[". Running out of lines reports the same text as a comment does.
  std::unique_ptr<CXmlCData> ParseCData() {
    std::vector<std::string> lines;
    if (!m_in.ReadLinesUntil("]]>", lines)) return Fail("incomplete XML, missing and of a comment"), nullptr;
    auto c = Make<CXmlCData>();
    for (std::string& line : lines) c->AddLine(std::move(line));
    return c;
  }

  // A new element in the document's storage.
  template <class Element, class... Args>
  std::unique_ptr<Element> Make(Args&&... args) {
    return std::unique_ptr<Element>(new (&m_arena) CXmlArenaNode<Element>(std::forward<Args>(args)...));
  }

  CXmlInput& m_in;
  CXmlArena& m_arena;
  NameTable m_names;
  std::string& m_error;
  std::vector<CXmlTagAccess::Attribute> m_attributes;  // of the tag being read
};

bool CXml::ParseFile(const std::string& path) {
  Clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    m_lastError = "Line 0: failed to open the input file";
    return false;
  }
  std::string data;
  char chunk[1 << 16];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, n);
  std::fclose(f);
  if (data.empty()) {
    m_lastError = "Line 0: no data read. empty file?";
    return false;
  }
  m_input->LoadText(data);
  return Parse();
}

bool CXml::ParseText(std::string_view text) {
  Clear();
  m_input->LoadText(text);
  return Parse();
}

bool CXml::ParseVector(const std::vector<std::string>& lines) {
  Clear();
  m_input->LoadLines(lines);
  return Parse();
}

bool CXml::Parse() {
  m_storage = CXmlArena::Create();
  Parser parser(*m_input, *m_storage, m_lastError);
  const bool ok = parser.ParseDocument(m_document.get());
  // The tree no longer refers to the input; release it now rather than at the next parse.
  m_input->Clear();
  if (!ok) {
    CXmlLinks::DestroyChildren(m_document.get());
    m_storage->Release();
    m_storage = nullptr;
  }
  return ok;
}
