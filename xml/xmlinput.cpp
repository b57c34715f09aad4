#include "xml/xmlinput.h"

#include <cstring>

namespace {

// Characters that end a word: white space, "=", "<", ">", and "/" or "?" when a
// ">" follows them.
struct WordStops {
  bool stop[256] = {};
  constexpr WordStops() {
    for (int c = 0; c < 256; ++c) stop[c] = CXmlInput::IsSpace(static_cast<unsigned char>(c));
    stop[static_cast<unsigned char>('=')] = true;
    stop[static_cast<unsigned char>('<')] = true;
    stop[static_cast<unsigned char>('>')] = true;
    stop[static_cast<unsigned char>('/')] = true;
    stop[static_cast<unsigned char>('?')] = true;
  }
};
constexpr WordStops kWordStops;

}  // namespace

void CXmlInput::Reset() {
  m_cur = 0;
  m_pos = 0;
  m_lineCount = m_ends.size();
  m_line = m_lineCount > 0 ? 1 : 0;
  m_lastPercent = 0;
  m_peekedAt = static_cast<std::size_t>(-1);
}

void CXmlInput::LoadText(std::string_view text) {
  m_buffer.assign(text);
  if (!m_buffer.empty() && m_buffer.back() != '\n') m_buffer.push_back('\n');
  m_ends.clear();
  const char* data = m_buffer.data();
  const std::size_t size = m_buffer.size();
  std::size_t pos = 0;
  while (pos < size) {
    const void* lf = std::memchr(data + pos, '\n', size - pos);
    const std::size_t end = static_cast<const char*>(lf) - data;  // always found: the buffer ends with one
    m_ends.push_back(end);
    pos = end + 1;
  }
  Reset();
}

void CXmlInput::LoadLines(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 1;
  m_buffer.clear();
  m_buffer.reserve(total);
  m_ends.clear();
  m_ends.reserve(lines.size());
  // A line may itself hold line feeds; the recorded ends, not the bytes, delimit lines.
  for (const std::string& line : lines) {
    m_buffer += line;
    m_ends.push_back(m_buffer.size());
    m_buffer.push_back('\n');
  }
  Reset();
}

void CXmlInput::Clear() {
  std::string().swap(m_buffer);
  std::vector<std::size_t>().swap(m_ends);
  Reset();
}

void CXmlInput::NextLine() {
  ++m_cur;
  ++m_line;
  // A document without lines never gets here; the guard keeps the division safe anyway.
  const int percent =
      m_lineCount == 0 ? 100 : static_cast<int>(static_cast<double>(m_line) * 100.0 / static_cast<double>(m_lineCount));
  if (percent != m_lastPercent) {
    m_lastPercent = percent;
    if (m_sink) m_sink->Progress(m_message, percent, 0);
  }
}

void CXmlInput::MoveTo(std::size_t line, std::size_t pos) {
  while (m_cur < line) NextLine();
  m_pos = pos;
}

CXmlInput::Scan CXmlInput::ScanToken() const {
  const char* data = m_buffer.data();
  const std::size_t size = m_buffer.size();
  std::size_t p = m_pos;
  // Lines that are empty or white space only are passed over; if nothing else is
  // left, that is the end of the input and nothing is consumed.
  while (p < size && IsSpace(static_cast<unsigned char>(data[p]))) ++p;
  if (p >= size) return {XTK_END, m_cur, size, size};
  std::size_t line = m_cur;
  while (m_ends[line] < p) ++line;
  const std::size_t end = m_ends[line];
  const std::string_view rest(data + p, end - p);

  // Fixed tokens, in order of precedence; decided on the first character so
  // that common tokens cost one comparison.
  const auto fixed = [&](int code, std::size_t length) { return Scan{code, line, p, p + length}; };
  const char first = rest.front();
  const char second = rest.size() > 1 ? rest[1] : '\0';
  switch (first) {
    case '<':
      if (second == '?') return fixed(XTK_HEADER_OPEN, 2);
      if (second == '!') {
        if (rest.starts_with("<![CDATA[")) return fixed(XTK_CDATA_OPEN, 9);
        if (rest.starts_with("<!--")) return fixed(XTK_COMMENT_OPEN, 4);
      }
      if (second == '/') return fixed(XTK_END_SECTION_OPEN, 2);
      return fixed(XTK_SECTION_OPEN, 1);
    case '>': return fixed(XTK_CLOSE, 1);
    case '/':
      if (second == '>') return fixed(XTK_EMPTY_SECTION_CLOSE, 2);
      break;
    case '?':
      if (second == '>') return fixed(XTK_HEADER_CLOSE, 2);
      break;
    case '=': return fixed(XTK_EQUALS, 1);
    case '-':
      if (rest.starts_with("-->")) return fixed(XTK_COMMENT_CLOSE, 3);
      break;
    case ']':
      if (rest.starts_with("]]>")) return fixed(XTK_CDATA_CLOSE, 3);
      break;
    case '"':
    case '\'': {
      // Two quotes of the same kind in a row stand for one quote inside the string.
      std::size_t i = 1;
      for (;;) {
        const std::size_t q = rest.find(first, i);
        if (q == std::string_view::npos) return {XTK_ERROR, line, p, end};
        if (q + 1 < rest.size() && rest[q + 1] == first) {
          i = q + 2;
          continue;
        }
        return {XTK_STRING, line, p, p + q + 1};
      }
    }
    default: break;
  }

  // A word; its first character is never a stop (the fixed tokens matched those).
  std::size_t i = 1;
  while (i < rest.size()) {
    const unsigned char c = static_cast<unsigned char>(rest[i]);
    if (kWordStops.stop[c]) {
      if ((c != '/' && c != '?') || (i + 1 < rest.size() && rest[i + 1] == '>')) break;
    }
    ++i;
  }
  return {XTK_WORD, line, p, p + i};
}

// The parser looks ahead before most reads; the scan depends only on the
// position, so it is done once per position.
const CXmlInput::Scan& CXmlInput::Scanned() const {
  if (m_peekedAt != m_pos) {
    m_peeked = ScanToken();
    m_peekedAt = m_pos;
  }
  return m_peeked;
}

CXmlInput::Token CXmlInput::Peek() const {
  const Scan& s = Scanned();
  return {s.code, std::string_view(m_buffer.data() + s.begin, s.end - s.begin)};
}

CXmlInput::Token CXmlInput::Next() {
  const Scan s = Scanned();
  if (s.code != XTK_END && s.code != XTK_ERROR) MoveTo(s.line, s.end);
  else if (s.code == XTK_ERROR) MoveTo(s.line, s.begin);
  return {s.code, std::string_view(m_buffer.data() + s.begin, s.end - s.begin)};
}

bool CXmlInput::ReadTextArea(std::string& text) {
  // Every line lies in the buffer followed by its line feed, so the text, whole
  // lines joined by line feeds, is the stretch of the buffer up to the "<": it
  // is copied once, at its exact size.
  text.clear();
  const char* data = m_buffer.data();
  const std::size_t start = m_pos;
  while (m_cur < m_ends.size()) {
    const std::size_t end = m_ends[m_cur];
    const void* lt = std::memchr(data + m_pos, '<', end - m_pos);
    if (lt) {
      const std::size_t at = static_cast<const char*>(lt) - data;
      text.assign(data + start, at - start);
      m_pos = at;
      return true;
    }
    if (m_cur + 1 >= m_ends.size()) {
      m_pos = end;
      return false;
    }
    NextLine();
    m_pos = LineBegin(m_cur);
  }
  return false;
}

bool CXmlInput::ReadUntil(std::string_view endMark, std::string& text) {
  text.clear();
  const char* data = m_buffer.data();
  while (m_cur < m_ends.size()) {
    const std::size_t end = m_ends[m_cur];
    const std::string_view rest(data + m_pos, end - m_pos);
    const std::size_t at = rest.find(endMark);
    if (at != std::string_view::npos) {
      text.append(rest.substr(0, at));
      m_pos += at + endMark.size();
      return true;
    }
    text.append(rest);
    text.push_back('\n');
    if (m_cur + 1 >= m_ends.size()) {
      m_pos = end;
      return false;
    }
    NextLine();
    m_pos = LineBegin(m_cur);
  }
  return false;
}

bool CXmlInput::ReadLinesUntil(std::string_view endMark, std::vector<std::string>& lines) {
  lines.clear();
  const char* data = m_buffer.data();
  while (m_cur < m_ends.size()) {
    const std::size_t end = m_ends[m_cur];
    const std::string_view rest(data + m_pos, end - m_pos);
    const std::size_t at = rest.find(endMark);
    if (at != std::string_view::npos) {
      lines.emplace_back(rest.substr(0, at));
      m_pos += at + endMark.size();
      return true;
    }
    lines.emplace_back(rest);
    if (m_cur + 1 >= m_ends.size()) {
      m_pos = end;
      return false;
    }
    NextLine();
    m_pos = LineBegin(m_cur);
  }
  return false;
}
