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

namespace {

std::size_t CountFeeds(const char* from, const char* to) {
  std::size_t n = 0;
  while (from < to) {
    const void* lf = std::memchr(from, '\n', static_cast<std::size_t>(to - from));
    if (!lf) break;
    ++n;
    from = static_cast<const char*>(lf) + 1;
  }
  return n;
}

}  // namespace

std::size_t CXmlInput::EndOfLine(std::size_t line, std::size_t begin) const {
  if (!m_ends.empty()) return line < m_ends.size() ? m_ends[line] : m_size;
  if (begin >= m_size) return m_size;
  const void* lf = std::memchr(m_data + begin, '\n', m_size - begin);
  return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - m_data) : m_size;
}

void CXmlInput::Reset() {
  m_cur = 0;
  m_pos = 0;
  m_lineEnd = m_lineCount > 0 ? EndOfLine(0, 0) : 0;
  m_line = m_lineCount > 0 ? 1 : 0;
  m_lastPercent = 0;
  m_peekedAt = static_cast<std::size_t>(-1);
}

void CXmlInput::LoadText(std::string_view text) {
  std::string().swap(m_own);
  std::vector<std::size_t>().swap(m_ends);
  m_data = text.data();
  m_size = text.size();
  m_lineCount = CountFeeds(m_data, m_data + m_size);
  if (m_size > 0 && m_data[m_size - 1] != '\n') ++m_lineCount;
  Reset();
}

void CXmlInput::LoadLines(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 1;
  m_own.clear();
  m_own.reserve(total);
  m_ends.clear();
  m_ends.reserve(lines.size());
  // A line may itself hold line feeds; the recorded ends, not the bytes, delimit lines.
  for (const std::string& line : lines) {
    m_own += line;
    m_ends.push_back(m_own.size());
    m_own.push_back('\n');
  }
  m_data = m_own.data();
  m_size = m_own.size();
  m_lineCount = m_ends.size();
  Reset();
}

void CXmlInput::Clear() {
  std::string().swap(m_own);
  std::vector<std::size_t>().swap(m_ends);
  m_data = nullptr;
  m_size = 0;
  m_lineCount = 0;
  Reset();
}

void CXmlInput::CountLines(std::size_t n) {
  if (!m_sink) {
    m_cur += n;
    m_line += static_cast<int>(n);
    return;
  }
  for (; n > 0; --n) {
    ++m_cur;
    ++m_line;
    // A document without lines never gets here; the guard keeps the division safe anyway.
    const int percent = m_lineCount == 0
                            ? 100
                            : static_cast<int>(static_cast<double>(m_line) * 100.0 / static_cast<double>(m_lineCount));
    if (percent != m_lastPercent) {
      m_lastPercent = percent;
      m_sink->Progress(m_message, percent, 0);
    }
  }
}

void CXmlInput::NextLine() {
  CountLines(1);
  m_pos = m_lineEnd + 1;
  m_lineEnd = EndOfLine(m_cur, m_pos);
}

void CXmlInput::AdvanceTo(std::size_t pos) {
  if (pos > m_lineEnd) {
    if (!m_ends.empty()) {
      std::size_t line = m_cur;
      while (m_ends[line] < pos) ++line;
      CountLines(line - m_cur);
    } else {
      CountLines(CountFeeds(m_data + m_lineEnd, m_data + pos));
    }
    m_lineEnd = EndOfLine(m_cur, pos);
  }
  m_pos = pos;
}

CXmlInput::Scan CXmlInput::ScanToken() const {
  const char* data = m_data;
  const std::size_t size = m_size;
  std::size_t p = m_pos;
  // Lines that are empty or white space only are passed over; if nothing else is
  // left, that is the end of the input and nothing is consumed.
  while (p < size && IsSpace(static_cast<unsigned char>(data[p]))) ++p;
  if (p >= size) return {XTK_END, m_cur, size, size, m_lineEnd};
  std::size_t line = m_cur;
  std::size_t end = m_lineEnd;
  if (p > end) {
    // Only white space lies between: every line feed passed ends a line.
    if (!m_ends.empty()) {
      while (m_ends[line] < p) ++line;
    } else {
      line += CountFeeds(data + end, data + p);
    }
    end = EndOfLine(line, p);
  }
  const std::string_view rest(data + p, end - p);

  // Fixed tokens, in order of precedence; decided on the first character so
  // that common tokens cost one comparison.
  const auto fixed = [&](int code, std::size_t length) { return Scan{code, line, p, p + length, end}; };
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
        if (q == std::string_view::npos) return {XTK_ERROR, line, p, end, end};
        if (q + 1 < rest.size() && rest[q + 1] == first) {
          i = q + 2;
          continue;
        }
        return {XTK_STRING, line, p, p + q + 1, end};
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
  return {XTK_WORD, line, p, p + i, end};
}

bool CXmlInput::ReadSimpleAttribute(std::string_view& name, std::string_view& value) {
  const char* d = m_data;
  const std::size_t end = m_lineEnd;
  std::size_t p = m_pos;
  while (p < end && IsSpace(static_cast<unsigned char>(d[p]))) ++p;
  if (p >= end) return false;
  // A first character that is a stop or may begin a fixed token is left to Next.
  const unsigned char first = static_cast<unsigned char>(d[p]);
  if (kWordStops.stop[first] || first == '-' || first == ']' || first == '"' || first == '\'') return false;
  std::size_t i = p + 1;
  while (i < end) {
    const unsigned char c = static_cast<unsigned char>(d[i]);
    if (kWordStops.stop[c]) {
      if ((c != '/' && c != '?') || (i + 1 < end && d[i + 1] == '>')) break;
    }
    ++i;
  }
  std::size_t q = i;
  while (q < end && IsSpace(static_cast<unsigned char>(d[q]))) ++q;
  if (q >= end || d[q] != '=') return false;
  ++q;
  while (q < end && IsSpace(static_cast<unsigned char>(d[q]))) ++q;
  if (q >= end || (d[q] != '"' && d[q] != '\'')) return false;
  const char quote = d[q];
  std::size_t k = q + 1;
  for (;;) {
    const void* found = k < end ? std::memchr(d + k, quote, end - k) : nullptr;
    if (!found) return false;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(found) - d);
    if (at + 1 < end && d[at + 1] == quote) {
      k = at + 2;
      continue;
    }
    k = at + 1;
    break;
  }
  name = std::string_view(d + p, i - p);
  value = std::string_view(d + q, k - q);
  m_pos = k;
  return true;
}

bool CXmlInput::ReadTextArea(std::string& text) {
  // Every line lies in the text followed by its line feed, so the text area,
  // whole lines joined by line feeds, is the stretch of the text up to the "<":
  // it is copied once, at its exact size.
  text.clear();
  if (m_lineCount == 0) return false;
  const std::size_t start = m_pos;
  const void* lt = start < m_size ? std::memchr(m_data + start, '<', m_size - start) : nullptr;
  if (!lt) {
    // The error belongs to the last line, at its end.
    AdvanceTo(m_ends.empty() ? (m_data[m_size - 1] == '\n' ? m_size - 1 : m_size) : m_ends.back());
    return false;
  }
  const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lt) - m_data);
  AdvanceTo(at);
  text.assign(m_data + start, at - start);
  return true;
}

bool CXmlInput::ReadUntil(std::string_view endMark, std::string& text) {
  // The mark holds no line feed, so the first one in the rest of the text is the
  // first one on the lines; the text before it is whole lines joined by line feeds.
  text.clear();
  if (m_lineCount == 0) return false;
  const std::string_view rest(m_data + m_pos, m_size - m_pos);
  const std::size_t at = rest.find(endMark);
  if (at == std::string_view::npos) {
    AdvanceTo(m_ends.empty() ? (m_data[m_size - 1] == '\n' ? m_size - 1 : m_size) : m_ends.back());
    return false;
  }
  text.assign(rest.substr(0, at));
  AdvanceTo(m_pos + at + endMark.size());
  return true;
}

bool CXmlInput::ReadLinesUntil(std::string_view endMark, std::vector<std::string>& lines) {
  lines.clear();
  if (m_lineCount == 0) return false;
  while (true) {
    const std::string_view rest(m_data + m_pos, m_lineEnd - m_pos);
    const std::size_t at = rest.find(endMark);
    if (at != std::string_view::npos) {
      lines.emplace_back(rest.substr(0, at));
      m_pos += at + endMark.size();
      return true;
    }
    lines.emplace_back(rest);
    if (IsLastLine()) {
      m_pos = m_lineEnd;
      return false;
    }
    NextLine();
  }
}
