// tevroxml-cat [--progress] FILE|-
// Parses FILE (or standard input for "-"). On success writes the document to
// standard output as Display does and exits 0; on failure writes the last error to
// standard error and exits 1. --progress writes each percentage to standard error.
#include "xml/tevroxml.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

namespace {

class StderrProgress : public CXmlProgressSink {
public:
  void Progress(unsigned, int percent, int) override { std::fprintf(stderr, "%d\n", percent); }
};

int Usage() {
  std::fputs("usage: tevroxml-cat [--progress] FILE|-\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool progress = false;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--progress") == 0 && !progress) progress = true;
    else if (!file) file = argv[i];
    else return Usage();
  }
  if (!file) return Usage();

  StderrProgress sink;
  CXml xml(progress ? &sink : nullptr, 1);
  bool ok;
  if (std::strcmp(file, "-") == 0) {
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    ok = xml.ParseText(text);
  } else {
    ok = xml.ParseFile(file);
  }
  if (!ok) {
    std::fprintf(stderr, "%s\n", xml.GetLastError().c_str());
    return 1;
  }
  xml.Display();
  return 0;
}
