#include "xml/xmlarena.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {

// Elements lie in chunks aligned to their size, so the chunk of an element, and
// from it the arena, is found by masking the element's address.
constexpr std::size_t kChunkSize = std::size_t{1} << 18;
// Larger requests get blocks of their own (they never hold elements).
constexpr std::size_t kBigSize = kChunkSize / 8;

}  // namespace

struct CXmlArena::Chunk {
  CXmlArena* arena;
  Chunk* next;
};

struct CXmlArena::Big {
  Big* next;
  std::size_t pad;  // keeps the payload 16-byte aligned
};

CXmlArena* CXmlArena::Create() { return new CXmlArena(); }

CXmlArena* CXmlArena::Of(const void* element) {
  const auto base = reinterpret_cast<std::uintptr_t>(element) & ~(kChunkSize - 1);
  return reinterpret_cast<const Chunk*>(base)->arena;
}

void* CXmlArena::AllocateSlow(std::size_t size) {
  if (size > kBigSize) {
    auto* big = static_cast<Big*>(std::malloc(sizeof(Big) + size));
    if (!big) throw std::bad_alloc();
    big->next = m_big;
    m_big = big;
    return big + 1;
  }
  // Twice the size is mapped and trimmed to one aligned chunk; pages are backed
  // only once they are written.
  void* raw = ::mmap(nullptr, 2 * kChunkSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kChunkSize - 1) & ~(kChunkSize - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t tail = aligned + kChunkSize;
  if (tail < start + 2 * kChunkSize) ::munmap(reinterpret_cast<void*>(tail), start + 2 * kChunkSize - tail);
  auto* chunk = reinterpret_cast<Chunk*>(aligned);
  chunk->arena = this;
  chunk->next = m_chunks;
  m_chunks = chunk;
  m_next = reinterpret_cast<char*>(aligned) + ((sizeof(Chunk) + 15) & ~std::size_t{15});
  m_end = reinterpret_cast<char*>(aligned) + kChunkSize;
  TEVROXML_POISON(m_next, static_cast<std::size_t>(m_end - m_next));
  void* p = m_next;
  m_next += size;
  TEVROXML_UNPOISON(p, size);
  return p;
}

const std::string* CXmlArena::MakeString(std::string_view text) {
  void* at = Allocate(sizeof(std::string));
  auto* s = new (at) std::string(text);
  if (s->capacity() > std::string().capacity()) {
    try {
      m_longStrings.push_back(s);
    } catch (...) {
      s->~basic_string();
      throw;
    }
  }
  return s;
}

void CXmlArena::Destroy() {
  for (std::string* s : m_longStrings) s->~basic_string();
  for (Chunk* c = m_chunks; c;) {
    Chunk* next = c->next;
    TEVROXML_UNPOISON(c, kChunkSize);
    ::munmap(c, kChunkSize);
    c = next;
  }
  for (Big* b = m_big; b;) {
    Big* next = b->next;
    std::free(b);
    b = next;
  }
  delete this;
}
