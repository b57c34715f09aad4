#pragma once
// The storage of a parsed document: the parser takes its elements and their
// attribute lists from large blocks instead of one heap allocation each.
//
// An arena lives as long as its document holds it or any element taken from it
// still exists (an element may be moved into another tree and outlive the
// document it was read into), so every link and every attribute list stays
// valid. Elements taken from an arena are of the types CXmlArenaNode<...>: their
// own operator delete hands the element back, so destroying one (also with plain
// delete by a caller) works like any other element.
#include "xml/tevroxml.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Under AddressSanitizer the unused and the given-back parts of the arena are
// poisoned, so that a stray access to them is caught as it would be on the heap.
#if defined(__SANITIZE_ADDRESS__)
#define TEVROXML_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEVROXML_ASAN 1
#endif
#endif
#if defined(TEVROXML_ASAN)
#include <sanitizer/asan_interface.h>
#define TEVROXML_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TEVROXML_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define TEVROXML_POISON(p, n) ((void)(p), (void)(n))
#define TEVROXML_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

class CXmlArena {
public:
  // A new arena, held once by its creator (Release gives that hold back).
  static CXmlArena* Create();

  // `size` bytes aligned for any element, valid while the arena lives.
  void* Allocate(std::size_t size) {
    size = (size + 7) & ~std::size_t{7};
    if (size <= static_cast<std::size_t>(m_end - m_next)) {
      void* p = m_next;
      m_next += size;
      TEVROXML_UNPOISON(p, size);
      return p;
    }
    return AllocateSlow(size);
  }
  // A string that lives as long as the arena.
  const std::string* MakeString(std::string_view text);

  // Element bookkeeping. During parsing only the parsing thread can reach the
  // arena, so counting a new element needs no atomic read-modify-write.
  void AddElementWhileParsing() { m_holds.store(m_holds.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }
  void Release() {
    if (m_holds.fetch_sub(1, std::memory_order_acq_rel) == 1) Destroy();
  }
  // The arena an element of type CXmlArenaNode lies in.
  static CXmlArena* Of(const void* element);

  CXmlArena(const CXmlArena&) = delete;
  CXmlArena& operator=(const CXmlArena&) = delete;

private:
  struct Chunk;
  struct Big;
  CXmlArena() = default;
  ~CXmlArena() = default;
  void* AllocateSlow(std::size_t size);
  void Destroy();

  char* m_next = nullptr;
  char* m_end = nullptr;
  Chunk* m_chunks = nullptr;
  Big* m_big = nullptr;
  std::vector<std::string*> m_longStrings;  // strings with storage of their own, destroyed with the arena
  std::atomic<std::size_t> m_holds{1};
};

// An element type allocated in an arena.
template <class Element>
class CXmlArenaNode final : public Element {
public:
  template <class... Args>
  explicit CXmlArenaNode(Args&&... args) : Element(std::forward<Args>(args)...) {}

  static void* operator new(std::size_t size, CXmlArena* arena) {
    void* p = arena->Allocate(size);
    arena->AddElementWhileParsing();
    return p;
  }
  // Called when the constructor throws.
  static void operator delete(void* p, CXmlArena*) { CXmlArena::Of(p)->Release(); }
  static void operator delete(void* p, std::size_t size) {
    CXmlArena* arena = CXmlArena::Of(p);
    TEVROXML_POISON(p, size);
    arena->Release();
  }
};
