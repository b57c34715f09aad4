#pragma once
// Tevroxml: reads a small, line-oriented XML dialect into a tree, lets the caller
// walk, search and edit it, and writes it back. Plain C++, no Qt.
//
// Ownership: a CXml owns every element linked into its tree. Elements are created
// with new, handed over with SetRoot / AddChild / AddNext, and destroyed by
// Delete, Clear, SetRoot, a failed parse or the document's destructor. Deleting an
// element (also with plain delete) first unlinks it, so no link ever dangles.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if defined(TEVROXML_BUILD)
#define TEVROXML_EXPORT __attribute__((visibility("default")))
#else
#define TEVROXML_EXPORT
#endif

// Element type codes returned by CXmlElement::GetType.
enum XmlElementType : int {
  XML_SECTION = 1,
  XML_TEXT = 2,
  XML_COMMENT = 3,
  XML_HEADER = 4,
  XML_CDATA = 5,
};

// Token codes of the tokenizer, listed in xmlinput.h with their precedence.
enum XmlToken : int {
  XTK_END = 1,                // no more input
  XTK_SECTION_OPEN = 2,       // <
  XTK_CLOSE = 3,              // >
  XTK_END_SECTION_OPEN = 4,   // </
  XTK_EMPTY_SECTION_CLOSE = 5,// />
  XTK_HEADER_OPEN = 6,        // <?
  XTK_HEADER_CLOSE = 7,       // ?>
  XTK_WORD = 8,
  XTK_STRING = 9,             // quoted, quotes kept
  XTK_EQUALS = 10,            // =
  XTK_COMMENT_OPEN = 11,      // <!--
  XTK_COMMENT_CLOSE = 12,     // -->
  XTK_CDATA_OPEN = 13,        // <![CDATA[
  XTK_CDATA_CLOSE = 14,       // ]]>
  XTK_ERROR = 15,
};

class CXmlSection;
class CXmlText;
class CXmlComment;
class CXmlHeader;
class CXmlCData;

// Base of all nodes: parent, first child, next and previous sibling.
class TEVROXML_EXPORT CXmlElement {
public:
  virtual ~CXmlElement();
  virtual int GetType() const = 0;

  CXmlElement* GetParent() const;  // null for top-level elements
  CXmlElement* GetChild() const { return m_child; }
  CXmlElement* GetNext() const { return m_next; }
  CXmlElement* GetPrev() const { return m_prev; }

  // Moves `element` and the siblings chained after it behind the last sibling of
  // this element, under this element's parent. Refused (false) for null and when
  // the move would put an element inside itself.
  bool AddNext(CXmlElement* element);
  // Unlinks and destroys this element with its subtree; returns the element that
  // followed it.
  CXmlElement* Delete();

  CXmlElement(const CXmlElement&) = delete;
  CXmlElement& operator=(const CXmlElement&) = delete;

protected:
  CXmlElement() = default;

private:
  friend class CXmlLinks;
  // Raw links, used only by the library, which keeps them consistent (the first-
  // child and last-child links of the parent, both neighbours, ownership).
  void SetParent(CXmlElement* parent) { m_parent = parent; }
  void SetChild(CXmlElement* child) { m_child = child; }
  void SetNext(CXmlElement* next) { m_next = next; }
  void SetPrev(CXmlElement* prev) { m_prev = prev; }
  void SetRelatives(CXmlElement* parent, CXmlElement* child, CXmlElement* next, CXmlElement* prev);

  CXmlElement* m_parent = nullptr;
  CXmlElement* m_child = nullptr;
  CXmlElement* m_lastChild = nullptr;  // keeps appending children constant-time
  CXmlElement* m_next = nullptr;
  CXmlElement* m_prev = nullptr;
};

// A name and a value; the value keeps its enclosing quotes, as in the source.
class TEVROXML_EXPORT CXmlAttribute {
public:
  CXmlAttribute() = default;
  CXmlAttribute(std::string name, std::string value) : m_name(std::move(name)), m_value(std::move(value)) {}
  const std::string& GetName() const { return m_name; }
  const std::string& GetValue() const { return m_value; }
  void SetName(std::string name) { m_name = std::move(name); }
  void SetValue(std::string value) { m_value = std::move(value); }

private:
  std::string m_name;
  std::string m_value;
};

// Name and attributes, shared by sections and headers. Indexes run 0 .. count-1;
// others are refused. Values without quotes drop the first and last character.
class TEVROXML_EXPORT CXmlTag : public CXmlElement {
public:
  const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }

  int GetAttributeCount() const { return static_cast<int>(m_attributes.size()); }
  std::optional<CXmlAttribute> GetAttribute(int index, bool keepQuotes) const;
  void AddAttribute(std::string name, std::string value);
  void AddAttribute(const CXmlAttribute& attribute);
  // Replaces the value of the first attribute with that name, or appends one.
  void SetAttribute(const std::string& name, std::string value);
  bool SetAttribute(int index, std::string name, std::string value);
  bool SetAttribute(int index, const CXmlAttribute& attribute);
  bool DelAttribute(int index);
  void DelAllAttributes() { m_attributes.clear(); }
  // Makes room for `count` attributes in all, so that adding them allocates once.
  void ReserveAttributes(int count) {
    if (count > 0) m_attributes.reserve(static_cast<std::size_t>(count));
  }

protected:
  explicit CXmlTag(std::string name) : m_name(std::move(name)) {}
  bool FindAttributeValue(std::string_view name, std::string& value, bool keepQuotes) const;

private:
  std::string m_name;
  std::vector<CXmlAttribute> m_attributes;
};

class TEVROXML_EXPORT CXmlSection : public CXmlTag {
public:
  explicit CXmlSection(std::string name = {}) : CXmlTag(std::move(name)) {}
  int GetType() const override { return XML_SECTION; }

  bool FindAttribute(std::string_view name, std::string& value, bool keepQuotes) const {
    return FindAttributeValue(name, value, keepQuotes);
  }
  // Moves `element` and the siblings chained after it to the end of the children.
  // Refused (false) for null and when the section would end up inside itself.
  bool AddChild(CXmlElement* element);
  CXmlSection* GetChildSection() const;
  CXmlSection* FindChildSection(std::string_view name) const;
  CXmlSection* FindNextSection(std::string_view name) const;
  CXmlSection* GetNextSection() const;
  CXmlSection* GetPrevSection() const;
};

// A processing instruction such as <?xml version="1.0"?>.
class TEVROXML_EXPORT CXmlHeader : public CXmlTag {
public:
  explicit CXmlHeader(std::string name = {}) : CXmlTag(std::move(name)) {}
  int GetType() const override { return XML_HEADER; }

  bool FindAttribute(std::string_view name, std::string& value) const {
    return FindAttributeValue(name, value, false);
  }
  CXmlHeader* GetNextHeader() const;
  CXmlHeader* GetPrevHeader() const;
};

class TEVROXML_EXPORT CXmlText : public CXmlElement {
public:
  explicit CXmlText(std::string text = {}) : m_text(std::move(text)) {}
  int GetType() const override { return XML_TEXT; }
  const std::string& GetText() const { return m_text; }
  void SetText(std::string text) { m_text = std::move(text); }
  CXmlText* GetNextText() const;
  CXmlText* GetPrevText() const;

private:
  std::string m_text;
};

class TEVROXML_EXPORT CXmlComment : public CXmlElement {
public:
  explicit CXmlComment(std::string comment = {}) : m_comment(std::move(comment)) {}
  int GetType() const override { return XML_COMMENT; }
  const std::string& GetComment() const { return m_comment; }
  void SetComment(std::string comment) { m_comment = std::move(comment); }
  CXmlComment* GetNextComment() const;
  CXmlComment* GetPrevComment() const;

private:
  std::string m_comment;
};

class TEVROXML_EXPORT CXmlCData : public CXmlElement {
public:
  int GetType() const override { return XML_CDATA; }
  void AddLine(std::string line) { m_lines.push_back(std::move(line)); }
  const std::string* GetLine(int index) const;  // null when out of range
  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  CXmlCData* GetNextCData() const;
  CXmlCData* GetPrevCData() const;

private:
  std::vector<std::string> m_lines;
};

// Receives parsing progress: the message id given to CXml, the percentage and 0.
class TEVROXML_EXPORT CXmlProgressSink {
public:
  virtual ~CXmlProgressSink();
  virtual void Progress(unsigned message, int percent, int zero) = 0;
};

class CXmlInput;

// The document and its parser.
class TEVROXML_EXPORT CXml {
public:
  // Either may be null/0; without a sink no progress is sent.
  explicit CXml(CXmlProgressSink* progressWindow = nullptr, unsigned progressMessage = 0);
  ~CXml();
  CXml(const CXml&) = delete;
  CXml& operator=(const CXml&) = delete;

  // Each clears the document first. On failure GetLastError holds "Line %d: %s"
  // and the tree is empty.
  bool ParseFile(const std::string& path);
  bool ParseText(std::string_view text);
  bool ParseVector(const std::vector<std::string>& lines);

  // The first top-level element; the others are its siblings.
  CXmlElement* GetRoot() const;
  // Makes `root` and its chained siblings the top-level elements; the previous
  // top-level elements that are not among them are destroyed. Null empties the tree.
  void SetRoot(CXmlElement* root);
  CXmlSection* GetFirstSection() const;
  // Path of section names separated by white space, matched from `start` and its
  // following sibling sections, descending into the first child section per step.
  CXmlSection* FindSection(std::string_view path, CXmlElement* start) const;
  // Destroys an element of this document with its subtree and returns the element
  // that followed it; null (and nothing done) for elements of other trees.
  // Deleting the root clears the whole document (as Clear does) and gives null.
  CXmlElement* Delete(CXmlElement* element);
  void Clear();
  // False when the file cannot be written, also when it exists and is read-only.
  bool Write(const std::string& path) const;
  void Display() const;
  const std::string& GetLastError() const { return m_lastError; }

  // The text with every double quote doubled, for use inside an attribute value.
  static std::string XmlString(std::string_view text);

private:
  class Parser;
  bool Parse();

  std::unique_ptr<CXmlInput> m_input;
  std::unique_ptr<CXmlElement> m_document;  // parent of the top-level elements
  std::string m_lastError;
};
