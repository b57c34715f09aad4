// Tevroxml next to tinyxml2 and pugixml on generated documents of three
// shapes (many small sections with attributes, long text areas, one huge
// line) at 8, 20 and 40 MB.
//
// Speed: in each round every library parses the same document once, in an
// order that rotates from round to round; the figure per round is the ratio
// t(tinyxml2) / t(tevroxml), and the median over the rounds is reported. A
// busy machine slows the libraries of one round alike, so the ratio holds
// where absolute times do not.
// Memory: a child process parses the document and keeps it; its peak resident
// size during parsing minus the size before, divided by the input's size, is
// the figure (the caller's input string is not counted, a library's own copy
// of it is).
//
//   bench_xml [--rounds N] [MB ...]      (default 5 rounds, 8 20 40 MB)
//
// The last line says whether the goal holds: at least 1.00 x tinyxml2's speed
// on every document and at most 3.0 x the input's size in memory.
#include "xml/tevroxml.h"

#include <pugixml.hpp>
#include <tinyxml2.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string Sections(std::size_t bytes) {
  std::string s = "<?xml version=\"1.0\"?>\n<book>\n";
  for (std::size_t i = 0; s.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    s += "  <contact id=\"" + n + "\" name=\"Name " + n + "\" town='Town'>\n";
    s += "    <phone kind=\"home\" primary=\"yes\">555-" + n + "</phone>\n";
    s += "    <address street=\"" + n + " Main Street\" zip=\"0" + n + "\"/>\n";
    s += "  </contact>\n";
  }
  return s + "</book>\n";
}

std::string TextAreas(std::size_t bytes) {
  std::string s = "<book>\n";
  const std::string line = "    The quick brown fox jumps over the lazy dog, again and again and again.\n";
  while (s.size() < bytes) {
    s += "  <note>\n";
    for (int i = 0; i < 40; ++i) s += line;
    s += "  </note>\n";
  }
  return s + "</book>\n";
}

std::string OneLine(std::size_t bytes) {
  std::string s = "<book>";
  for (std::size_t i = 0; s.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    s += "<contact id=\"" + n + "\" name=\"Name " + n + "\"><phone kind=\"home\">555-" + n + "</phone>text</contact>";
  }
  return s + "</book>";
}

enum Library { kTevro, kTiny, kPugi, kLibraries };
const char* const kNames[kLibraries] = {"tevroxml", "tinyxml2", "pugixml"};

// Parses `doc` with one library; `keep` runs while the document still exists.
bool Parse(Library lib, const std::string& doc, const std::function<void()>& keep = {}) {
  switch (lib) {
    case kTevro: {
      CXml xml;
      const bool ok = xml.ParseText(doc);
      if (keep) keep();
      return ok;
    }
    case kTiny: {
      tinyxml2::XMLDocument xml;
      const bool ok = xml.Parse(doc.data(), doc.size()) == tinyxml2::XML_SUCCESS;
      if (keep) keep();
      return ok;
    }
    default: {
      pugi::xml_document xml;
      const bool ok = static_cast<bool>(xml.load_buffer(doc.data(), doc.size()));
      if (keep) keep();
      return ok;
    }
  }
}

// Seconds for one parse, destroying the document included.
double TimeOne(Library lib, const std::string& doc) {
  const auto start = std::chrono::steady_clock::now();
  if (!Parse(lib, doc)) {
    std::fprintf(stderr, "%s: parse failed\n", kNames[lib]);
    std::exit(1);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

long ResidentKb() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The peak resident size since the last ResetPeak (VmHWM), or 0.
long PeakKb() {
  long kb = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(f);
  }
  return kb;
}

bool ResetPeak() {
  std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
  if (!f) return false;
  const bool ok = std::fputs("5", f) >= 0;
  return (std::fclose(f) == 0) && ok;
}

// Peak memory of parsing and holding `doc`, as a multiple of its size.
double MemoryRatio(Library lib, const std::string& doc) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    malloc_trim(0);  // free heap pages of earlier runs would hide the growth
    const long before = ResidentKb();
    const bool peakKnown = ResetPeak();  // else the size while the document is held
    long peak = 0;
    Parse(lib, doc, [&] { peak = ResidentKb(); });
    if (peakKnown) peak = std::max(peak, PeakKb());
    const double ratio = static_cast<double>(peak - before) * 1024.0 / static_cast<double>(doc.size());
    if (write(fds[1], &ratio, sizeof ratio) != sizeof ratio) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  double ratio = -1;
  if (read(fds[0], &ratio, sizeof ratio) != sizeof ratio) ratio = -1;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return ratio;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  std::vector<double> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else sizes.push_back(std::atof(argv[i]));
  }
  if (sizes.empty()) sizes = {8, 20, 40};
  struct Shape {
    const char* name;
    std::string (*make)(std::size_t);
  } shapes[] = {{"sections", Sections}, {"text areas", TextAreas}, {"one line", OneLine}};

  std::printf("%-10s %5s | %9s %9s %9s | %8s %8s | %9s %9s %9s\n", "document", "MB", "tevroxml", "tinyxml2",
              "pugixml", "vs tiny", "vs pugi", "memory", "memory", "memory");
  std::printf("%-10s %5s | %9s %9s %9s | %8s %8s | %9s %9s %9s\n", "", "", "MB/s", "MB/s", "MB/s", "median",
              "median", "tevroxml", "tinyxml2", "pugixml");
  double worstSpeed = 1e9, worstMemory = 0;
  for (const Shape& shape : shapes) {
    for (double mb : sizes) {
      const std::string doc = shape.make(static_cast<std::size_t>(mb * 1024 * 1024));
      std::vector<double> times[kLibraries], vsTiny, vsPugi;
      for (int r = 0; r < rounds; ++r) {
        double t[kLibraries];
        for (int k = 0; k < kLibraries; ++k) {
          const Library lib = static_cast<Library>((k + r) % kLibraries);
          t[lib] = TimeOne(lib, doc);
          times[lib].push_back(t[lib]);
        }
        vsTiny.push_back(t[kTiny] / t[kTevro]);
        vsPugi.push_back(t[kPugi] / t[kTevro]);
      }
      double memory[kLibraries];
      for (int k = 0; k < kLibraries; ++k) memory[k] = MemoryRatio(static_cast<Library>(k), doc);
      const double size = static_cast<double>(doc.size()) / (1024.0 * 1024.0);
      const double ratio = Median(vsTiny);
      std::printf("%-10s %5.1f | %9.1f %9.1f %9.1f | %8.2f %8.2f | %8.1fx %8.1fx %8.1fx\n", shape.name, size,
                  size / Median(times[kTevro]), size / Median(times[kTiny]), size / Median(times[kPugi]), ratio,
                  Median(vsPugi), memory[kTevro], memory[kTiny], memory[kPugi]);
      std::fflush(stdout);
      worstSpeed = std::min(worstSpeed, ratio);
      worstMemory = std::max(worstMemory, memory[kTevro]);
    }
  }
  const bool met = worstSpeed >= 1.0 && worstMemory <= 3.0 && worstMemory >= 0;
  std::printf("goal (>= 1.00 x tinyxml2 on every document, memory <= 3.0 x input): %s "
              "(slowest %.2f x tinyxml2, most memory %.1f x input)\n",
              met ? "PASS" : "FAIL", worstSpeed, worstMemory);
  return met ? 0 : 1;
}
