#pragma once
#include "xml/tevroxml.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

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
