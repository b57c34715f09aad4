#include "xml/xmlinput.h"
#include "xml/xmllinks.h"

CXml::CXml(CXmlProgressSink* progressWindow, unsigned progressMessage)
    : m_input(std::make_unique<CXmlInput>()), m_document(std::make_unique<CXmlDocumentNode>()) {
  m_input->SetProgress(progressWindow, progressMessage);
}

CXml::~CXml() = default;

CXmlElement* CXml::GetRoot() const { return m_document->GetChild(); }

void CXml::SetRoot(CXmlElement* root) {
  // Take the new chain out of wherever it is first, so that destroying the old
  // top-level elements cannot destroy it (it may have been inside them).
  if (root) CXmlLinks::DetachChain(root);
  CXmlLinks::DestroyChildren(m_document.get());
  if (root) CXmlLinks::AppendChain(m_document.get(), root);
}

CXmlSection* CXml::GetFirstSection() const {
  for (CXmlElement* e = GetRoot(); e; e = e->GetNext())
    if (e->GetType() == XML_SECTION) return static_cast<CXmlSection*>(e);
  return nullptr;
}

CXmlSection* CXml::FindSection(std::string_view path, CXmlElement* start) const {
  if (!start) return nullptr;
  std::vector<std::string_view> names;
  for (std::size_t i = 0; i < path.size();) {
    while (i < path.size() && CXmlInput::IsSpace(static_cast<unsigned char>(path[i]))) ++i;
    const std::size_t begin = i;
    while (i < path.size() && !CXmlInput::IsSpace(static_cast<unsigned char>(path[i]))) ++i;
    if (i > begin) names.push_back(path.substr(begin, i - begin));
  }
  CXmlSection* match = nullptr;
  CXmlElement* from = start;
  for (std::size_t n = 0; n < names.size(); ++n) {
    match = nullptr;
    for (CXmlElement* e = from; e; e = e->GetNext()) {
      if (e->GetType() == XML_SECTION && static_cast<CXmlSection*>(e)->GetName() == names[n]) {
        match = static_cast<CXmlSection*>(e);
        break;
      }
    }
    if (!match) return nullptr;
    if (n + 1 < names.size()) {
      from = match->GetChildSection();
      if (!from) return nullptr;
    }
  }
  return match;
}

CXmlElement* CXml::Delete(CXmlElement* element) {
  // Only elements of this document; anything else would be freed behind its owner's back.
  if (!element || element == m_document.get() || CXmlLinks::Top(element) != m_document.get()) return nullptr;
  // The root stands for the whole document: deleting it clears everything.
  if (element == GetRoot()) {
    Clear();
    return nullptr;
  }
  return element->Delete();
}

void CXml::Clear() {
  m_input->Clear();
  m_lastError.clear();
  CXmlLinks::DestroyChildren(m_document.get());
}

std::string CXml::XmlString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out.push_back(c);
    if (c == '"') out.push_back('"');
  }
  return out;
}
