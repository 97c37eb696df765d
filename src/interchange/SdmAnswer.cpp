#include "interchange/SdmAnswer.h"

#include <pugixml.hpp>

#include <cstring>

#include "common/Cp1252.h"

namespace {

// The service's namespace, fixed whatever host answers.
const char* const kServiceNamespace = "http://SDMDataAccess.nrcs.usda.gov/Tabular/SDMTabularService.asmx";

// Element names compared without their namespace prefix.
const char* LocalName(const pugi::xml_node& node) {
  const char* name = node.name();
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

pugi::xml_node FirstElement(const pugi::xml_node& parent) {
  for (pugi::xml_node child : parent.children())
    if (child.type() == pugi::node_element) return child;
  return {};
}

pugi::xml_node ChildNamed(const pugi::xml_node& parent, const char* local) {
  for (pugi::xml_node child : parent.children())
    if (child.type() == pugi::node_element && std::strcmp(LocalName(child), local) == 0) return child;
  return {};
}

std::string TextOf(const pugi::xml_node& node) { return Utf8ToCp1252(node.text().get()); }

bool HasDocType(const pugi::xml_document& doc) {
  for (pugi::xml_node child : doc.children())
    if (child.type() == pugi::node_doctype) return true;
  return false;
}

void ReadFault(const pugi::xml_node& fault, TSdmAnswer& answer) {
  answer.isFault = true;
  answer.fault = TextOf(ChildNamed(fault, "faultstring"));
  if (answer.fault.empty()) answer.fault = TextOf(ChildNamed(ChildNamed(fault, "Reason"), "Text"));  // SOAP 1.2
  if (answer.fault.empty()) answer.fault = "(no fault string)";
}

// The data set is the first element of the diffgram; its "Table" children are the rows.
void ReadRows(const pugi::xml_node& dataSet, TSdmAnswer& answer) {
  bool first = true;
  for (pugi::xml_node row : dataSet.children()) {
    if (row.type() != pugi::node_element) continue;
    const bool isTable = std::strcmp(LocalName(row), "Table") == 0;
    if (first) answer.firstIsTable = isTable;
    first = false;
    if (!isTable) continue;
    TSdmRow& out = answer.rows.emplace_back();
    for (pugi::xml_node cell : row.children())
      if (cell.type() == pugi::node_element) out.cells.emplace_back(LocalName(cell), cell.text().get());
  }
}

// Text for an XML element: markup characters escaped, control characters XML cannot hold left out.
std::string XmlEscaped(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (u >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
  }
  return out;
}

}  // namespace

const std::string& TSdmRow::Value(const std::string& column) const {
  static const std::string kNull;
  for (const auto& [name, value] : cells)
    if (name == column) return value;
  return kNull;
}

bool ParseSdmAnswer(const char* data, size_t size, TSdmAnswer& answer, std::string& error) {
  answer = {};
  error.clear();
  pugi::xml_document doc;
  // The document type is kept as a node only so that it can be refused; pugixml never loads a DTD
  // nor expands an entity other than the predefined ones and character references.
  const pugi::xml_parse_result parsed = doc.load_buffer(data, size, pugi::parse_default | pugi::parse_doctype);
  if (!parsed) {
    error = std::string("The answer is not well-formed XML (") + parsed.description() + ").";
    return false;
  }
  if (HasDocType(doc)) {
    error = "The answer carries a document type declaration.";
    return false;
  }
  const pugi::xml_node root = doc.document_element();
  const pugi::xml_node body = ChildNamed(root, "Body");
  if (std::strcmp(LocalName(root), "Envelope") != 0 || !body) {
    error = "The answer is not a SOAP message.";
    return false;
  }
  const pugi::xml_node content = FirstElement(body);
  if (std::strcmp(LocalName(content), "Fault") == 0) {
    ReadFault(content, answer);
    return true;
  }
  const pugi::xml_node result = ChildNamed(content, "RunQueryResult");
  if (std::strcmp(LocalName(content), "RunQueryResponse") != 0 || !result) {
    error = "The answer holds no query result.";
    return false;
  }
  ReadRows(FirstElement(ChildNamed(result, "diffgram")), answer);
  return true;
}

std::string SdmRequestEnvelope(const std::string& sql) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
             "<soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
             "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
             "xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
             "<soap:Body><RunQuery xmlns=\"") +
         kServiceNamespace + "\"><Query>" + XmlEscaped(Cp1252ToUtf8(sql)) +
         "</Query></RunQuery></soap:Body></soap:Envelope>";
}
