// The grammar: document, section, header, text area, comment and CDATA block.
// Sections nest through an explicit stack rather than recursion, so however deep
// the input nests, the parser's own stack does not grow.
#include "xml/xmlinput.h"
#include "xml/xmllinks.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CXml::Parser {
public:
  Parser(CXmlInput& input, std::string& error) : m_in(input), m_error(error) {}

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
    auto s = std::make_unique<CXmlSection>(std::string(t.text));
    // The attributes are gathered first (the token texts stay valid while the
    // input is parsed), so that the section allocates its list once.
    m_attributes.clear();
    while (m_in.Peek().code == XTK_WORD) {
      const std::string_view name = m_in.Next().text;
      const CXmlInput::Token eq = Read();
      if (eq.code == XTK_ERROR) return nullptr;
      if (eq.code != XTK_EQUALS)
        return Fail("= expected after " + std::string(name) + " in " + s->GetName() + " section"), nullptr;
      const CXmlInput::Token value = Read();
      if (value.code == XTK_ERROR) return nullptr;
      if (value.code != XTK_STRING)
        return Fail("string expected after " + std::string(name) + "= in " + s->GetName() + " section"), nullptr;
      m_attributes.emplace_back(name, value.text);
    }
    s->ReserveAttributes(static_cast<int>(m_attributes.size()));
    for (const auto& [name, value] : m_attributes) s->AddAttribute(std::string(name), std::string(value));
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
          child = std::make_unique<CXmlText>(std::move(text));
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
    auto h = std::make_unique<CXmlHeader>(std::string(t.text));
    for (;;) {
      const CXmlInput::Token a = Read();
      switch (a.code) {
        case XTK_HEADER_CLOSE: return h;
        case XTK_WORD: {
          std::string name(a.text);
          const CXmlInput::Token eq = Read();
          if (eq.code == XTK_ERROR) return nullptr;
          if (eq.code != XTK_EQUALS) return Fail("= expacted afrer " + name), nullptr;
          const CXmlInput::Token value = Read();
          if (value.code == XTK_ERROR) return nullptr;
          if (value.code != XTK_STRING) return Fail("string expected after " + name + "="), nullptr;
          h->AddAttribute(std::move(name), std::string(value.text));
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
    return std::make_unique<CXmlComment>(std::move(text));
  }

  // After "<![CDATA[". Running out of lines reports the same text as a comment does.
  std::unique_ptr<CXmlCData> ParseCData() {
    std::vector<std::string> lines;
    if (!m_in.ReadLinesUntil("]]>", lines)) return Fail("incomplete XML, missing and of a comment"), nullptr;
    auto c = std::make_unique<CXmlCData>();
    for (std::string& line : lines) c->AddLine(std::move(line));
    return c;
  }

  CXmlInput& m_in;
  std::string& m_error;
  std::vector<std::pair<std::string_view, std::string_view>> m_attributes;  // of the section being opened
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
  Parser parser(*m_input, m_lastError);
  const bool ok = parser.ParseDocument(m_document.get());
  if (!ok) CXmlLinks::DestroyChildren(m_document.get());
  // The tree no longer refers to the input; release it now rather than at the next parse.
  m_input->Clear();
  return ok;
}
