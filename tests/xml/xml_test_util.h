#pragma once
#include "xml/tevroxml.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

// A scratch directory removed at the end of the test.
class TempDir {
public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tevroxml-test-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(m_path); }
  std::string File(const std::string& name) const { return (std::filesystem::path(m_path) / name).string(); }

private:
  std::string m_path;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

// What Write puts into a file.
inline std::string Written(const CXml& xml) {
  TempDir dir;
  const std::string path = dir.File("out.xml");
  if (!xml.Write(path)) return "<write failed>";
  return ReadFile(path);
}

inline CXmlSection* AsSection(CXmlElement* e) {
  return e && e->GetType() == XML_SECTION ? static_cast<CXmlSection*>(e) : nullptr;
}

// True if every chain below `top` (and the chain starting at `top`) reads the
// same forwards and backwards and names the right parent.
inline bool LinksConsistent(CXmlElement* top) {
  std::vector<CXmlElement*> pending{top};
  while (!pending.empty()) {
    CXmlElement* first = pending.back();
    pending.pop_back();
    std::vector<CXmlElement*> chain;
    for (CXmlElement* e = first; e; e = e->GetNext()) {
      if (e->GetParent() != first->GetParent()) return false;
      chain.push_back(e);
      if (e->GetChild()) {
        if (e->GetChild()->GetParent() != e || e->GetChild()->GetPrev()) return false;
        pending.push_back(e->GetChild());
      }
    }
    for (std::size_t i = chain.size(); i-- > 0;)
      if (chain[i]->GetPrev() != (i > 0 ? chain[i - 1] : first->GetPrev())) return false;
  }
  return true;
}
