// Writing a tree back as text (Write and Display). Layout: headers, comments and
// CDATA blocks at top level end with a line end; children go on new lines indented
// two blanks deeper, except directly after a text child, which stays inline.
#include "xml/xmllinks.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class Output {
public:
  explicit Output(std::FILE* f) : m_file(f) { m_buffer.reserve(kChunk + 4096); }
  void Put(std::string_view s) {
    m_buffer.append(s);
    if (m_buffer.size() >= kChunk) Flush();
  }
  void Blanks(int n) { m_buffer.append(static_cast<std::size_t>(n), ' '); }
  bool Flush() {
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) m_ok = false;
    m_buffer.clear();
    return m_ok;
  }

private:
  static constexpr std::size_t kChunk = 1 << 16;
  std::FILE* m_file;
  std::string m_buffer;
  bool m_ok = true;
};

void PutAttributes(Output& out, const CXmlTag& tag) {
  for (int i = 0; i < tag.GetAttributeCount(); ++i) {
    const std::optional<CXmlAttribute> a = tag.GetAttribute(i, true);
    out.Put(" ");
    out.Put(a->GetName());
    out.Put("=");
    out.Put(a->GetValue());
  }
}

// A header, comment, CDATA block or text, without any line end after it.
void PutLeaf(Output& out, const CXmlElement& e) {
  switch (e.GetType()) {
    case XML_HEADER: {
      const auto& h = static_cast<const CXmlHeader&>(e);
      out.Put("<?");
      out.Put(h.GetName());
      PutAttributes(out, h);
      out.Put("?>");
      break;
    }
    case XML_COMMENT:
      out.Put("<!--");
      out.Put(static_cast<const CXmlComment&>(e).GetComment());
      out.Put("-->");
      break;
    case XML_CDATA: {
      const auto& c = static_cast<const CXmlCData&>(e);
      out.Put("<![CDATA[");
      for (int i = 0; i < c.GetLineCount(); ++i) {
        if (i > 0) out.Put("\n");
        out.Put(*c.GetLine(i));
      }
      out.Put("]]>");
      break;
    }
    case XML_TEXT: out.Put(static_cast<const CXmlText&>(e).GetText()); break;
    default: break;
  }
}

// A section and everything below it; an explicit stack instead of recursion.
void PutSection(Output& out, const CXmlSection& top) {
  struct Frame {
    const CXmlSection* section;
    const CXmlElement* next;  // next child to write
    int indent;
    bool lastWasText;
  };
  std::vector<Frame> stack;
  auto open = [&](const CXmlSection& s, int indent) {
    out.Put("<");
    out.Put(s.GetName());
    PutAttributes(out, s);
    if (!s.GetChild()) {
      out.Put("/>");
      return;
    }
    out.Put(">");
    stack.push_back({&s, s.GetChild(), indent, false});
  };
  open(top, 0);
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (!f.next) {
      if (!f.lastWasText) {
        out.Put("\n");
        out.Blanks(f.indent);
      }
      out.Put("</");
      out.Put(f.section->GetName());
      out.Put(">");
      stack.pop_back();
      continue;
    }
    const CXmlElement* child = f.next;
    f.next = child->GetNext();
    if (child->GetType() == XML_TEXT) {
      PutLeaf(out, *child);
      f.lastWasText = true;
      continue;
    }
    const int indent = f.indent + 2;
    if (!f.lastWasText) {
      out.Put("\n");
      out.Blanks(indent);
    }
    f.lastWasText = false;
    if (child->GetType() == XML_SECTION) open(static_cast<const CXmlSection&>(*child), indent);  // may move `f`
    else PutLeaf(out, *child);
  }
}

bool PutDocument(std::FILE* f, const CXmlElement* root) {
  Output out(f);
  for (const CXmlElement* e = root; e; e = e->GetNext()) {
    switch (e->GetType()) {
      case XML_SECTION: PutSection(out, static_cast<const CXmlSection&>(*e)); break;
      case XML_TEXT: PutLeaf(out, *e); break;
      default:
        PutLeaf(out, *e);
        out.Put("\n");
        break;
    }
  }
  return out.Flush();
}

bool WriteDirect(const std::string& path, const CXmlElement* root) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = PutDocument(f, root);
  return (std::fclose(f) == 0) && ok;
}

}  // namespace

bool CXml::Write(const std::string& path) const {
  // The new contents go to a temporary file beside the target, which replaces the
  // target only once everything is written: a full disk or an I/O error leaves
  // the previous file intact instead of truncated.
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return WriteDirect(path, GetRoot());  // a device or pipe
  // A read-only file stays as it is, also for a user (root) whom the system
  // would let write it: replacing it through the directory would go around
  // the file's own protection.
  if (exists && (::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) return false;
  // A file with several hard links is rewritten in place, so that every name
  // keeps showing the same file.
  if (exists && st.st_nlink > 1) return WriteDirect(path, GetRoot());
  std::string target = path;
  if (exists) {
    // Through a symbolic link, replace the file it names, not the link.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  // A directory we may not create files in: write the file in place.
  if (fd < 0) return WriteDirect(path, GetRoot());
  if (exists) (void)::fchmod(fd, st.st_mode & 07777);
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  }
  bool ok = PutDocument(f, GetRoot());
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void CXml::Display() const {
  PutDocument(stdout, GetRoot());
  std::fflush(stdout);
}
