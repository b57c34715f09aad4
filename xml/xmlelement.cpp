#include "xml/xmlarena.h"
#include "xml/xmllinks.h"

#include <memory>

// ---- links ---------------------------------------------------------------

void CXmlLinks::Unlink(CXmlElement* e) {
  CXmlElement* parent = e->m_parent;
  CXmlElement* next = e->m_next;
  if (parent && parent->m_child == e) {
    parent->m_child = next;
    if (next) next->m_prev = e->m_prev;  // the last child
  } else {
    CXmlElement* prev = e->m_prev;
    if (prev) prev->m_next = next;
    if (next) next->m_prev = prev;
    else if (parent) parent->m_child->m_prev = prev;  // e was the last child
  }
  e->m_parent = e->m_next = e->m_prev = nullptr;
}

void CXmlLinks::DetachChain(CXmlElement* first) {
  CXmlElement* parent = first->m_parent;
  if (parent && parent->m_child == first) {
    parent->m_child = nullptr;
  } else if (first->m_prev) {
    first->m_prev->m_next = nullptr;
    if (parent) parent->m_child->m_prev = first->m_prev;
  }
  first->m_prev = nullptr;
  for (CXmlElement* e = first; e; e = e->m_next) e->m_parent = nullptr;
}

bool CXmlLinks::WouldCycle(const CXmlElement* target, const CXmlElement* first) {
  for (const CXmlElement* a = target; a; a = a->m_parent) {
    if (a == first) return true;
    // Only an ancestor sharing the chain's parent can be one of its later elements.
    if (first->m_next && a->m_parent == first->m_parent)
      for (const CXmlElement* x = a->GetPrev(); x; x = x->GetPrev())
        if (x == first) return true;
  }
  return false;
}

void CXmlLinks::AppendChain(CXmlElement* parent, CXmlElement* first) {
  CXmlElement* last = first;
  for (CXmlElement* e = first;; e = e->m_next) {
    e->m_parent = parent;
    if (!e->m_next) {
      last = e;
      break;
    }
  }
  if (CXmlElement* head = parent->m_child) {
    head->m_prev->m_next = first;
    first->m_prev = head->m_prev;
    head->m_prev = last;
  } else {
    parent->m_child = first;
    first->m_prev = last;
  }
}

void CXmlLinks::Append(CXmlElement* parent, CXmlElement* child) {
  child->m_parent = parent;
  if (CXmlElement* head = parent->m_child) {
    head->m_prev->m_next = child;
    child->m_prev = head->m_prev;
    head->m_prev = child;
  } else {
    parent->m_child = child;
    child->m_prev = child;
  }
}

void CXmlLinks::DestroyChildren(CXmlElement* e) {
  // The pending elements form one list through their next links; the children of
  // each element are spliced in front before it is deleted, so the stack depth
  // stays constant.
  CXmlElement* work = e->m_child;
  e->m_child = nullptr;
  while (work) {
    CXmlElement* n = work;
    work = n->m_next;
    if (n->m_child) {
      n->m_child->m_prev->m_next = work;
      work = n->m_child;
    }
    n->m_parent = n->m_child = n->m_next = n->m_prev = nullptr;
    delete n;
  }
}

const CXmlElement* CXmlLinks::Top(const CXmlElement* e) {
  while (e->m_parent) e = e->m_parent;
  return e;
}

// ---- CXmlElement ---------------------------------------------------------

CXmlElement::~CXmlElement() {
  CXmlLinks::Unlink(this);
  CXmlLinks::DestroyChildren(this);
}

void CXmlElement::SetRelatives(CXmlElement* parent, CXmlElement* child, CXmlElement* next, CXmlElement* prev) {
  SetParent(parent);
  SetChild(child);
  SetNext(next);
  SetPrev(prev);
}

CXmlElement* CXmlElement::GetParent() const {
  return m_parent && m_parent->GetType() != 0 ? m_parent : nullptr;
}

bool CXmlElement::AddNext(CXmlElement* element) {
  if (!element || CXmlLinks::WouldCycle(this, element)) return false;
  CXmlLinks::DetachChain(element);
  if (m_parent) {
    CXmlLinks::AppendChain(m_parent, element);
    return true;
  }
  CXmlElement* last = this;
  while (last->m_next) last = last->m_next;
  last->SetNext(element);
  element->SetPrev(last);
  return true;
}

CXmlElement* CXmlElement::Delete() {
  CXmlElement* next = m_next;
  delete this;
  return next;
}

// ---- typed steps -----------------------------------------------------------

namespace {
template <class T>
T* StepNext(const CXmlElement* e, int type) {
  for (CXmlElement* x = e->GetNext(); x; x = x->GetNext())
    if (x->GetType() == type) return static_cast<T*>(x);
  return nullptr;
}
template <class T>
T* StepPrev(const CXmlElement* e, int type) {
  for (CXmlElement* x = e->GetPrev(); x; x = x->GetPrev())
    if (x->GetType() == type) return static_cast<T*>(x);
  return nullptr;
}
}  // namespace

CXmlSection* CXmlSection::GetNextSection() const { return StepNext<CXmlSection>(this, XML_SECTION); }
CXmlSection* CXmlSection::GetPrevSection() const { return StepPrev<CXmlSection>(this, XML_SECTION); }
CXmlHeader* CXmlHeader::GetNextHeader() const { return StepNext<CXmlHeader>(this, XML_HEADER); }
CXmlHeader* CXmlHeader::GetPrevHeader() const { return StepPrev<CXmlHeader>(this, XML_HEADER); }
CXmlText* CXmlText::GetNextText() const { return StepNext<CXmlText>(this, XML_TEXT); }
CXmlText* CXmlText::GetPrevText() const { return StepPrev<CXmlText>(this, XML_TEXT); }
CXmlComment* CXmlComment::GetNextComment() const { return StepNext<CXmlComment>(this, XML_COMMENT); }
CXmlComment* CXmlComment::GetPrevComment() const { return StepPrev<CXmlComment>(this, XML_COMMENT); }
CXmlCData* CXmlCData::GetNextCData() const { return StepNext<CXmlCData>(this, XML_CDATA); }
CXmlCData* CXmlCData::GetPrevCData() const { return StepPrev<CXmlCData>(this, XML_CDATA); }

// ---- sections --------------------------------------------------------------

bool CXmlSection::AddChild(CXmlElement* element) {
  if (!element || CXmlLinks::WouldCycle(this, element)) return false;
  CXmlLinks::DetachChain(element);
  CXmlLinks::AppendChain(this, element);
  return true;
}

CXmlSection* CXmlSection::GetChildSection() const {
  CXmlElement* c = GetChild();
  if (!c) return nullptr;
  if (c->GetType() == XML_SECTION) return static_cast<CXmlSection*>(c);
  return StepNext<CXmlSection>(c, XML_SECTION);
}

CXmlSection* CXmlSection::FindChildSection(std::string_view name) const {
  for (CXmlSection* s = GetChildSection(); s; s = s->GetNextSection())
    if (s->GetName() == name) return s;
  return nullptr;
}

CXmlSection* CXmlSection::FindNextSection(std::string_view name) const {
  for (CXmlSection* s = GetNextSection(); s; s = s->GetNextSection())
    if (s->GetName() == name) return s;
  return nullptr;
}

// ---- attributes ------------------------------------------------------------

bool CXmlTagAccess::SetParsed(CXmlTag& tag, CXmlArena& arena, const Attribute* attributes, std::size_t count) {
  if (count == 0) return true;
  if (count >= kWide) return false;
  const bool indexed = count >= kIndexFrom;
  bool wide = false;
  std::size_t text = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t n = attributes[i].name.size(), v = attributes[i].value.size();
    if (n > UINT32_MAX || v > UINT32_MAX) return false;
    if (n > UINT16_MAX || v > UINT16_MAX) wide = true;
    text += n + v;
  }
  const std::size_t size = 4 + (indexed ? 4 * count : 0) + (wide ? 8 : 4) * count + text;
  if (size > UINT32_MAX) return false;
  char* block = static_cast<char*>(arena.Allocate(size));
  const auto put32 = [](char* at, std::size_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    __builtin_memcpy(at, &u, sizeof u);
  };
  const auto put16 = [](char* at, std::size_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    __builtin_memcpy(at, &u, sizeof u);
  };
  put32(block, count | (wide ? kWide : 0));
  char* p = block + 4 + (indexed ? 4 * count : 0);
  for (std::size_t i = 0; i < count; ++i) {
    if (indexed) put32(block + 4 + 4 * i, static_cast<std::size_t>(p - block));
    const std::string_view n = attributes[i].name, v = attributes[i].value;
    if (wide) {
      put32(p, n.size());
      put32(p + 4, v.size());
      p += 8;
    } else {
      put16(p, n.size());
      put16(p + 2, v.size());
      p += 4;
    }
    __builtin_memcpy(p, n.data(), n.size());
    __builtin_memcpy(p + n.size(), v.data(), v.size());
    p += n.size() + v.size();
  }
  tag.m_attributes = reinterpret_cast<std::uintptr_t>(block) | (tag.m_attributes & kOwnName);
  return true;
}

void CXmlTagAccess::SetSharedName(CXmlTag& tag, const std::string* name) {
  if (tag.m_attributes & kOwnName) delete tag.m_name;
  tag.m_attributes &= ~kOwnName;
  tag.m_name = name;
}

std::size_t CXmlTagAccess::Count(const CXmlTag& tag) {
  if (const auto* own = Own(tag)) return own->size();
  const char* block = Block(tag);
  return block ? BlockCount(block) : 0;
}

CXmlTagAccess::Attribute CXmlTagAccess::At(const CXmlTag& tag, std::size_t index) {
  if (const auto* own = Own(tag)) return {(*own)[index].GetName(), (*own)[index].GetValue()};
  const char* block = Block(tag);
  const bool wide = BlockWide(block);
  const char* p;
  if (BlockCount(block) >= kIndexFrom) {
    p = block + U32(block + 4 + 4 * index);
  } else {
    p = FirstEntry(block);
    for (std::size_t i = 0; i < index; ++i) Entry(p, wide);
  }
  return Entry(p, wide);
}

namespace {
// The value without its enclosing quotes; a value too short to hold two quotes
// (one set by a caller) gives an empty text.
std::string Unquoted(std::string_view value) {
  return value.size() >= 2 ? std::string(value.substr(1, value.size() - 2)) : std::string();
}
}  // namespace

namespace {
// The name of tags made without one; never destroyed, so that it outlives every tag.
const std::string* EmptyName() {
  static const std::string* const empty = new std::string();
  return empty;
}
}  // namespace

CXmlTag::CXmlTag(std::string name) : m_name(EmptyName()) {
  if (!name.empty()) SetName(std::move(name));
}

CXmlTag::~CXmlTag() {
  delete CXmlTagAccess::Own(*this);
  if (m_attributes & CXmlTagAccess::kOwnName) delete m_name;
}

void CXmlTag::SetName(std::string name) {
  if (m_attributes & CXmlTagAccess::kOwnName) {
    *const_cast<std::string*>(m_name) = std::move(name);
    return;
  }
  m_name = new std::string(std::move(name));
  m_attributes |= CXmlTagAccess::kOwnName;
}

std::vector<CXmlAttribute>& CXmlTag::Editable() {
  if (m_attributes & CXmlTagAccess::kOwnList)
    return *reinterpret_cast<std::vector<CXmlAttribute>*>(m_attributes & ~CXmlTagAccess::kFlags);
  auto own = std::make_unique<std::vector<CXmlAttribute>>();
  own->reserve(CXmlTagAccess::Count(*this));
  CXmlTagAccess::ForEach(*this, [&](const CXmlTagAccess::Attribute& a) {
    own->emplace_back(std::string(a.name), std::string(a.value));
    return true;
  });
  m_attributes = reinterpret_cast<std::uintptr_t>(own.release()) | CXmlTagAccess::kOwnList |
                 (m_attributes & CXmlTagAccess::kOwnName);
  return *reinterpret_cast<std::vector<CXmlAttribute>*>(m_attributes & ~CXmlTagAccess::kFlags);
}

int CXmlTag::GetAttributeCount() const { return static_cast<int>(CXmlTagAccess::Count(*this)); }

std::optional<CXmlAttribute> CXmlTag::GetAttribute(int index, bool keepQuotes) const {
  if (index < 0 || index >= GetAttributeCount()) return std::nullopt;
  const CXmlTagAccess::Attribute a = CXmlTagAccess::At(*this, static_cast<std::size_t>(index));
  return CXmlAttribute(std::string(a.name), keepQuotes ? std::string(a.value) : Unquoted(a.value));
}

bool CXmlTag::FindAttributeValue(std::string_view name, std::string& value, bool keepQuotes) const {
  bool found = false;
  CXmlTagAccess::ForEach(*this, [&](const CXmlTagAccess::Attribute& a) {
    if (a.name != name) return true;
    if (keepQuotes) value.assign(a.value);
    else value = Unquoted(a.value);
    found = true;
    return false;
  });
  if (!found) value.clear();
  return found;
}

void CXmlTag::AddAttribute(std::string name, std::string value) { Editable().emplace_back(std::move(name), std::move(value)); }

void CXmlTag::AddAttribute(const CXmlAttribute& attribute) { Editable().push_back(attribute); }

void CXmlTag::SetAttribute(const std::string& name, std::string value) {
  std::vector<CXmlAttribute>& list = Editable();
  for (CXmlAttribute& a : list) {
    if (a.GetName() == name) {
      a.SetValue(std::move(value));
      return;
    }
  }
  list.emplace_back(name, std::move(value));
}

bool CXmlTag::SetAttribute(int index, std::string name, std::string value) {
  if (index < 0 || index >= GetAttributeCount()) return false;
  Editable()[static_cast<std::size_t>(index)] = CXmlAttribute(std::move(name), std::move(value));
  return true;
}

bool CXmlTag::SetAttribute(int index, const CXmlAttribute& attribute) {
  if (index < 0 || index >= GetAttributeCount()) return false;
  Editable()[static_cast<std::size_t>(index)] = attribute;
  return true;
}

bool CXmlTag::DelAttribute(int index) {
  if (index < 0 || index >= GetAttributeCount()) return false;
  std::vector<CXmlAttribute>& list = Editable();
  list.erase(list.begin() + index);
  return true;
}

void CXmlTag::DelAllAttributes() {
  delete CXmlTagAccess::Own(*this);
  m_attributes &= CXmlTagAccess::kOwnName;
}

void CXmlTag::ReserveAttributes(int count) {
  if (count > 0) Editable().reserve(static_cast<std::size_t>(count));
}

// ---- CDATA -----------------------------------------------------------------

const std::string* CXmlCData::GetLine(int index) const {
  if (index < 0 || index >= GetLineCount()) return nullptr;
  return &m_lines[static_cast<std::size_t>(index)];
}

CXmlProgressSink::~CXmlProgressSink() = default;
