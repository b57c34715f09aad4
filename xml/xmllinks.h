#pragma once
// Link maintenance shared by the elements and the document. Every change of a
// link goes through here, so these stay true:
//  - a parent's first-child link names the start of its child chain, and the
//    previous-sibling link of that first child names the end of it;
//  - every element of a chain has the same parent and consistent next/prev links;
//  - an element is owned by its parent (the document node for top-level elements),
//    so it is destroyed exactly once.
#include "xml/tevroxml.h"

// Parent of a document's top-level elements; never visible to callers.
class CXmlDocumentNode final : public CXmlElement {
public:
  int GetType() const override { return 0; }
};

class CXmlLinks {
public:
  static CXmlElement* Parent(const CXmlElement* e) { return e->m_parent; }
  static CXmlElement* LastChild(const CXmlElement* e) { return e->m_child ? e->m_child->m_prev : nullptr; }

  // Takes one element out of its chain; it keeps its children.
  static void Unlink(CXmlElement* e);
  // Cuts `first` and the siblings after it out of their chain.
  static void DetachChain(CXmlElement* first);
  // True if `target` or one of its ancestors is `first` or follows it.
  static bool WouldCycle(const CXmlElement* target, const CXmlElement* first);
  // Appends a detached chain to the children of `parent`.
  static void AppendChain(CXmlElement* parent, CXmlElement* first);
  // Appends a single new element to the children of `parent` (the parser's path).
  static void Append(CXmlElement* parent, CXmlElement* child);
  // Destroys every descendant without recursion, however deep the tree.
  static void DestroyChildren(CXmlElement* e);
  // The outermost ancestor (the document node for elements of a document).
  static const CXmlElement* Top(const CXmlElement* e);
};

class CXmlArena;

// The attribute lists of tags. A list read by the parser is one compact block:
//   u32 count (highest bit: wide lengths), [u32 offset of each entry, for long
//   lists], entries;
// an entry is the name length and the value length (u16 each, u32 when wide),
// the name, the value. Long lists carry the offsets so that reading attribute i
// stays constant-time.
class CXmlTagAccess {
public:
  struct Attribute {
    std::string_view name;
    std::string_view value;
  };
  // Gives a tag without attributes the compact list of `count` attributes.
  // False (nothing done) when a length does not fit the block's fields.
  static bool SetParsed(CXmlTag& tag, CXmlArena& arena, const Attribute* attributes, std::size_t count);

  // Gives a tag a name that lives in the document's storage.
  static void SetSharedName(CXmlTag& tag, const std::string* name);

  static std::size_t Count(const CXmlTag& tag);
  static Attribute At(const CXmlTag& tag, std::size_t index);
  // Calls f(Attribute) for every attribute in order; stops early when f returns false.
  template <class F>
  static void ForEach(const CXmlTag& tag, F&& f);

private:
  static constexpr std::size_t kIndexFrom = 8;  // lists at least this long carry offsets
  static constexpr std::uint32_t kWide = 0x80000000u;
  static std::uint32_t U32(const char* p) {
    std::uint32_t v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
  }
  static std::uint32_t U16(const char* p) {
    std::uint16_t v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
  }
  static constexpr std::uintptr_t kOwnList = 1, kOwnName = 2, kFlags = kOwnList | kOwnName;
  static const char* Block(const CXmlTag& tag) {
    return (tag.m_attributes & kOwnList) ? nullptr : reinterpret_cast<const char*>(tag.m_attributes & ~kFlags);
  }
  static const std::vector<CXmlAttribute>* Own(const CXmlTag& tag) {
    return (tag.m_attributes & kOwnList) ? reinterpret_cast<const std::vector<CXmlAttribute>*>(tag.m_attributes & ~kFlags)
                                         : nullptr;
  }
  static std::size_t BlockCount(const char* block) { return U32(block) & ~kWide; }
  static bool BlockWide(const char* block) { return (U32(block) & kWide) != 0; }
  // The first entry of a block.
  static const char* FirstEntry(const char* block) {
    const std::size_t count = BlockCount(block);
    return block + 4 + (count >= kIndexFrom ? 4 * count : 0);
  }
  // The entry at `p`, and the position after it.
  static Attribute Entry(const char*& p, bool wide) {
    const std::size_t n = wide ? U32(p) : U16(p), v = wide ? U32(p + 4) : U16(p + 2);
    const char* text = p + (wide ? 8 : 4);
    p = text + n + v;
    return {std::string_view(text, n), std::string_view(text + n, v)};
  }
  friend class CXmlTag;
};

template <class F>
void CXmlTagAccess::ForEach(const CXmlTag& tag, F&& f) {
  if (const auto* own = Own(tag)) {
    for (const CXmlAttribute& a : *own)
      if (!f(Attribute{a.GetName(), a.GetValue()})) return;
    return;
  }
  const char* block = Block(tag);
  if (!block) return;
  const std::size_t count = BlockCount(block);
  const bool wide = BlockWide(block);
  const char* p = FirstEntry(block);
  for (std::size_t i = 0; i < count; ++i)
    if (!f(Entry(p, wide))) return;
}
