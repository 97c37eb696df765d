// A stand-in for the Soil Data Mart tabular service on 127.0.0.1, on a free port. It answers the
// soils update's two queries from a small soil survey database (tests/data/sdm) in the service's
// answer format (a schema part and a diffgram), can be told to answer otherwise, and records
// every request.
#pragma once

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

struct TSdmRequest {
  std::string soapAction, contentType, query;
};

using TSdmCells = std::vector<std::optional<std::string>>;  // nullopt: null, left out of the row

inline std::string SdmXmlText(std::string text) {
  for (size_t at = text.find_first_of("&<>"); at != std::string::npos; at = text.find_first_of("&<>", at + 1))
    text.replace(at, 1, text[at] == '&' ? "&amp;" : text[at] == '<' ? "&lt;" : "&gt;");
  return text;
}

inline std::string SdmEnvelope(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/"
         "envelope/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/"
         "XMLSchema\"><soap:Body>" + body + "</soap:Body></soap:Envelope>";
}

// A RunQuery answer as the service writes it.
inline std::string SdmAnswerXml(const std::vector<std::string>& columns, const std::vector<TSdmCells>& rows) {
  std::string xml = "<RunQueryResponse xmlns=\"http://SDMDataAccess.nrcs.usda.gov/Tabular/SDMTabularService.asmx\">"
                    "<RunQueryResult><xs:schema id=\"NewDataSet\" xmlns=\"\" xmlns:xs=\"http://www.w3.org/2001/"
                    "XMLSchema\" xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\"><xs:element name=\"NewDataSet\" "
                    "msdata:IsDataSet=\"true\" msdata:UseCurrentLocale=\"true\"><xs:complexType><xs:choice "
                    "minOccurs=\"0\" maxOccurs=\"unbounded\"><xs:element name=\"Table\"><xs:complexType><xs:sequence>";
  for (const std::string& c : columns) xml += "<xs:element name=\"" + c + "\" type=\"xs:string\" minOccurs=\"0\" />";
  xml += "</xs:sequence></xs:complexType></xs:element></xs:choice></xs:complexType></xs:element></xs:schema>"
         "<diffgr:diffgram xmlns:msdata=\"urn:schemas-microsoft-com:xml-msdata\" xmlns:diffgr=\"urn:schemas-"
         "microsoft-com:xml-diffgram-v1\">";
  if (!rows.empty()) xml += "<NewDataSet xmlns=\"\">";
  for (size_t r = 0; r < rows.size(); ++r) {
    xml += "<Table diffgr:id=\"Table" + std::to_string(r + 1) + "\" msdata:rowOrder=\"" + std::to_string(r) + "\">";
    for (size_t c = 0; c < columns.size() && c < rows[r].size(); ++c)
      if (rows[r][c]) xml += "<" + columns[c] + ">" + SdmXmlText(*rows[r][c]) + "</" + columns[c] + ">";
    xml += "</Table>";
  }
  if (!rows.empty()) xml += "</NewDataSet>";
  return SdmEnvelope(xml + "</diffgr:diffgram></RunQueryResult></RunQueryResponse>");
}

inline std::string SdmFaultXml(const std::string& faultString) {
  return SdmEnvelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>" + SdmXmlText(faultString) +
                     "</faultstring><detail /></soap:Fault>");
}

// The soil survey database behind the stand-in, and the SQL it understands: the string literals
// after the soils update's markers, single quotes doubled inside them.
class TSdmDatabase {
 public:
  enum { kArea, kAreaName, kSym, kMuName, kMuSeq, kComp, kMajor, kPct, kSlopeL, kSlopeH, kTFact, kDrain, kTexture };

  explicit TSdmDatabase(const std::string& path) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::vector<std::string>& fields = rows_.emplace_back();
      std::stringstream parts(line);
      for (std::string f; std::getline(parts, f, '|');) fields.push_back(f);
      fields.resize(kTexture + 1);
    }
  }

  std::string Answer(const std::string& sql) const {
    if (sql.find("laoverlap") != std::string::npos) return Areas(Literal(sql, sql.find("lao.areasymbol = '") + 17));
    std::vector<std::string> areas;
    for (size_t at = sql.find('\'', sql.find("l.areasymbol IN (")); at < sql.find(") INNER JOIN mapunit");
         at = sql.find('\'', LiteralEnd(sql, at)))
      areas.push_back(Literal(sql, at));
    std::sort(areas.begin(), areas.end());
    return MapUnits(areas, Literal(sql, sql.find("LOWER(mu.musym) = '") + 18),
                    Literal(sql, sql.find("c.compname LIKE '") + 16));
  }

  // SQL Server's LIKE in its default collation: letter case ignored, % and _ as wildcards.
  static bool Like(const std::string& s, const std::string& p, size_t i = 0, size_t j = 0) {
    if (j == p.size()) return i == s.size();
    if (p[j] == '%') return Like(s, p, i, j + 1) || (i < s.size() && Like(s, p, i + 1, j));
    return i < s.size() && (p[j] == '_' || std::tolower(static_cast<unsigned char>(p[j])) ==
                                               std::tolower(static_cast<unsigned char>(s[i]))) &&
           Like(s, p, i + 1, j + 1);
  }

 private:
  // The end of the literal whose opening quote is at `open` (the position after its closing quote).
  static size_t LiteralEnd(const std::string& sql, size_t open) {
    size_t at = open + 1;
    while (at < sql.size() && !(sql[at] == '\'' && sql.compare(at, 2, "''") != 0)) at += sql[at] == '\'' ? 2 : 1;
    return at + 1;
  }
  static std::string Literal(const std::string& sql, size_t open) {
    if (open >= sql.size()) return "\x01";  // no such literal: matches nothing
    std::string value = sql.substr(open + 1, LiteralEnd(sql, open) - open - 2);
    for (size_t q = value.find("''"); q != std::string::npos; q = value.find("''", q + 1)) value.erase(q, 1);
    return value;
  }

  std::string Areas(const std::string& county) const {
    std::vector<TSdmCells> rows;
    for (const auto& r : rows_)
      if (r[kArea] == county && rows.empty()) rows.push_back({"25", r[kArea], r[kAreaName], r[kArea], r[kAreaName]});
    return SdmAnswerXml({"saversion", "areasymbol", "areaname", "cntysymbol", "cntyname"}, rows);
  }

  // Per survey area, the map unit with the symbol, joined to its major components like the name
  // by share, or with null component columns when none is.
  std::string MapUnits(const std::vector<std::string>& areas, const std::string& symbol, const std::string& name) const {
    std::vector<TSdmCells> rows;
    auto cell = [](const std::string& v) { return v.empty() ? std::nullopt : std::optional<std::string>(v); };
    for (const std::string& area : areas) {
      std::vector<const std::vector<std::string>*> unit, parts;
      for (const auto& r : rows_) {
        if (r[kArea] != area || !Like(r[kSym], symbol)) continue;
        unit.push_back(&r);
        if (r[kMajor] == "Yes" && Like(r[kComp], name)) parts.push_back(&r);
      }
      std::stable_sort(parts.begin(), parts.end(), [](auto* a, auto* b) { return std::stoi((*a)[kPct]) > std::stoi((*b)[kPct]); });
      if (!unit.empty() && parts.empty()) parts.push_back(nullptr);
      for (auto* c : parts) {
        const auto& u = *unit.front();
        rows.push_back({"25", u[kArea], u[kAreaName], u[kSym], u[kMuName], u[kMuSeq]});
        if (c)
          for (int f : {kPct, kComp, kSlopeL, kSlopeH, kTFact, kDrain, kTexture}) rows.back().push_back(cell((*c)[f]));
      }
    }
    return SdmAnswerXml({"saversion", "areasymbol", "areaname", "musym", "muname", "museq", "comppct_r", "compname",
                         "slope_l", "slope_h", "tfact", "drainagecl", "texture"},
                        rows);
  }

  std::vector<std::vector<std::string>> rows_;
};

class TSdmServer {
 public:
  static constexpr const char* kPath = "/Tabular/SDMTabularService.asmx";
  // Answers a query instead of the database (failure cases); returns false to leave it to the database.
  using TReply = std::function<bool(const std::string& query, httplib::Response&)>;

  // With a folder given, the stand-in speaks HTTPS with a self-signed certificate made there.
  explicit TSdmServer(const std::string& tlsFolder = {}) : db_(std::string(TESSEREL_TEST_DATA_DIR) + "/sdm/story-boone.txt") {
    if (tlsFolder.empty()) {
      server_ = std::make_unique<httplib::Server>();
    } else {
      const std::string cert = tlsFolder + "/cert.pem", key = tlsFolder + "/key.pem";
      const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout " +
                               key + " -out " + cert + " 2>/dev/null";
      if (std::system(make.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
      server_ = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
      scheme_ = "https";
    }
    server_->set_keep_alive_timeout(1);
    server_->set_tcp_nodelay(true);
    server_->Post(kPath, [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); });
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
  }
  ~TSdmServer() {
    server_->stop();
    thread_.join();
  }
  TSdmServer(const TSdmServer&) = delete;
  TSdmServer& operator=(const TSdmServer&) = delete;

  std::string Url() const { return scheme_ + "://127.0.0.1:" + std::to_string(port_) + kPath; }
  void SetReply(TReply reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = std::move(reply);
  }
  std::vector<TSdmRequest> Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  std::vector<std::string> Queries() const {
    std::vector<std::string> out;
    for (const TSdmRequest& r : Requests()) out.push_back(r.query);
    return out;
  }

 private:
  // The Query element's text, unescaped.
  static std::string QueryOf(const std::string& body) {
    const size_t from = body.find("<Query>"), to = body.find("</Query>");
    std::string text = from < to && to != std::string::npos ? body.substr(from + 7, to - from - 7) : std::string();
    for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
      for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
        text.replace(at, std::string(entity).size(), c);
    return text;
  }

  void Serve(const httplib::Request& req, httplib::Response& res) {
    const std::string query = QueryOf(req.body);
    TReply reply;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back({req.get_header_value("SOAPAction"), req.get_header_value("Content-Type"), query});
      reply = reply_;
    }
    if (!reply || !reply(query, res)) res.set_content(db_.Answer(query), "text/xml; charset=utf-8");
  }

  TSdmDatabase db_;
  std::unique_ptr<httplib::Server> server_;
  std::string scheme_ = "http";
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  TReply reply_;
  std::vector<TSdmRequest> requests_;
};
