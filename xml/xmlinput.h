#pragma once
// The input side of the parser: the lines still to be parsed, the current line
// number, progress reporting and the tokenizer.
//
// The text is read where it lies (the caller's text is not copied; it must stay
// unchanged until the parsing is done); the current position is an offset into
// it, so a token is consumed by moving the offset, never by copying or erasing
// the front of a line. That keeps parsing linear, also for a document on a
// single line. Line ends are found as the reading reaches them.
//
// Tokens, in order of precedence at the start of the remaining line (after its
// leading white space):
//   "<?" 6, "<![CDATA[" 13, "<!--" 11, "</" 4, "<" 2, ">" 3, "/>" 5, "?>" 7,
//   "=" 10, "-->" 12, "]]>" 14, a quote 9 (15 if unterminated on its line),
//   anything else a word 8. End of input is 1.
#include "xml/tevroxml.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TEVROXML_EXPORT CXmlInput {
public:
  struct Token {
    int code = XTK_END;
    std::string_view text;  // the matched characters; valid until the input changes
  };

  // White space as isspace classifies it in the C locale.
  static constexpr bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

  void SetProgress(CXmlProgressSink* sink, unsigned message) {
    m_sink = sink;
    m_message = message;
  }
  // Splits at line feeds; a last line without a line feed counts if not empty.
  // The text is not copied: it must outlive the reading.
  void LoadText(std::string_view text);
  // Copies the lines; a line feed inside a line does not end it.
  void LoadLines(const std::vector<std::string>& lines);
  void Clear();

  int GetLine() const { return m_line; }
  std::size_t GetLineCount() const { return m_lineCount; }
  // The error that goes with token 15.
  static constexpr const char* kStringError = "end of string expected but not found";

  // Reads and consumes a token.
  Token Next() {
    const Scan& s = Scanned();
    const Token t{s.code, std::string_view(m_data + s.begin, s.end - s.begin)};
    if (s.code != XTK_END) MoveTo(s.line, s.lineEnd, s.code == XTK_ERROR ? s.begin : s.end);
    return t;
  }
  // The next token, nothing consumed.
  Token Peek() const {
    const Scan& s = Scanned();
    return {s.code, std::string_view(m_data + s.begin, s.end - s.begin)};
  }

  // The common attribute, a word, "=" and a string on the current line, read in
  // one step; exactly what Next would give for those three tokens. False, and
  // nothing consumed, for anything else, which the tokens then read.
  bool ReadSimpleAttribute(std::string_view& name, std::string_view& value);

  // Content readers: each starts at the current position (before any white space
  // a Peek may have looked past) and returns false when the lines run out.
  // Text up to the next "<" ("<" stays); whole lines are joined by line feeds.
  bool ReadTextArea(std::string& text);
  // Text up to `end` (consumed, not stored); whole lines are joined by line feeds.
  bool ReadUntil(std::string_view end, std::string& text);
  // Each line up to `end` as one entry; the text before `end` is the last one.
  bool ReadLinesUntil(std::string_view end, std::vector<std::string>& lines);

private:
  struct Scan {
    int code;
    std::size_t line;     // line of the token
    std::size_t begin;    // offsets into the text
    std::size_t end;
    std::size_t lineEnd;  // end of the token's line
  };
  Scan ScanToken() const;
  // ScanToken, remembered for the current position: the parser looks ahead
  // before most reads, and the scan depends only on the position.
  const Scan& Scanned() const {
    if (m_peekedAt != m_pos) {
      m_peeked = ScanToken();
      m_peekedAt = m_pos;
    }
    return m_peeked;
  }
  void MoveTo(std::size_t line, std::size_t lineEnd, std::size_t pos) {
    if (line > m_cur) CountLines(line - m_cur);
    m_lineEnd = lineEnd;
    m_pos = pos;
  }
  // Moves to the line that holds `pos` (at most its end) and to `pos`.
  void AdvanceTo(std::size_t pos);
  void NextLine();
  void CountLines(std::size_t n);
  // End of the line that starts at `begin`, which is line number `line`.
  std::size_t EndOfLine(std::size_t line, std::size_t begin) const;
  bool IsLastLine() const { return m_cur + 1 >= m_lineCount; }
  void Reset();

  const char* m_data = nullptr;     // the text: every line followed by a line feed,
  std::size_t m_size = 0;           // except perhaps the last one
  std::string m_own;                // the joined lines of LoadLines
  std::vector<std::size_t> m_ends;  // LoadLines: offset of the line feed ending each line
  std::size_t m_cur = 0;            // index of the current line
  std::size_t m_lineEnd = 0;        // end of the current line (its line feed or the end)
  std::size_t m_pos = 0;            // offset of the first unread character
  std::size_t m_lineCount = 0;      // lines at the start of parsing
  int m_line = 0;                   // current line number, 1-based; 0 without lines
  int m_lastPercent = 0;
  mutable Scan m_peeked{};
  mutable std::size_t m_peekedAt = static_cast<std::size_t>(-1);  // position m_peeked belongs to
  CXmlProgressSink* m_sink = nullptr;
  unsigned m_message = 0;
};
