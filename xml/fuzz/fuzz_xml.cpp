// libFuzzer target: parse arbitrary bytes, write the tree to a file and parse that
// file again. Checks that a failed parse leaves no tree and a formatted error, that
// writing succeeds, and that writing is stable: a written document that reads back
// is written again byte for byte the same.
#include "xml/tevroxml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string TempPath(const char* tag) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/tevroxml-fuzz-" + std::to_string(::getpid()) + tag;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Names the fixed layout cannot give back: written as "<" + name, a name starting
// with "!" or "?" reads as a comment, CDATA block or header, and one ending with
// "/" or "?" runs into the closing "/>", ">" or "?>".
bool Ambiguous(const std::string& name, bool header) {
  if (name.empty()) return true;
  if (!header && (name[0] == '!' || name[0] == '?')) return true;
  return name.back() == '/' || name.back() == '?';
}

bool StableLayout(const CXmlElement* root) {
  std::vector<const CXmlElement*> todo;
  for (const CXmlElement* e = root; e; e = e->GetNext()) todo.push_back(e);
  while (!todo.empty()) {
    const CXmlElement* e = todo.back();
    todo.pop_back();
    if (e->GetType() == XML_SECTION || e->GetType() == XML_HEADER) {
      if (Ambiguous(static_cast<const CXmlTag*>(e)->GetName(), e->GetType() == XML_HEADER)) return false;
    }
    for (const CXmlElement* c = e->GetChild(); c; c = c->GetNext()) todo.push_back(c);
  }
  return true;
}

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string first = TempPath("-1.xml");
  static const std::string second = TempPath("-2.xml");

  CXml xml;
  if (!xml.ParseText(std::string_view(reinterpret_cast<const char*>(data), size))) {
    Check(xml.GetRoot() == nullptr, "failed parse leaves a tree");
    Check(xml.GetLastError().rfind("Line ", 0) == 0, "error not formatted as Line %d: %s");
    return 0;
  }
  Check(xml.GetRoot() != nullptr, "successful parse without a root");
  Check(xml.Write(first), "Write failed");

  CXml again;
  const bool reread = again.ParseFile(first);
  if (reread && StableLayout(xml.GetRoot())) {
    Check(again.Write(second), "second Write failed");
    Check(Slurp(first) == Slurp(second), "writing a reread document changed it");
  }
  // Edits on the parsed tree: delete every other top-level element, then clear.
  for (CXmlElement* e = again.GetRoot(); e;) {
    e = again.Delete(e);
    if (e) e = e->GetNext();
  }
  again.Clear();
  return 0;
}
