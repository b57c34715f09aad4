#pragma once
// Link maintenance shared by the elements and the document. Every change of a
// link goes through here, so these stay true:
//  - a parent's first-child and last-child links name the ends of its child chain;
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
  static CXmlElement* LastChild(const CXmlElement* e) { return e->m_lastChild; }

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
