#include "interchange/SdmClient.h"

#include <curl/curl.h>

#include <cstdlib>
#include <mutex>

const char* const kSdmDefaultEndpoint = "https://sdmdataaccess.sc.egov.usda.gov/Tabular/SDMTabularService.asmx";
const char* const kSdmEndpointVariable = "TESSEREL_SDM_URL";
const char* const kSdmCancelledText = "The query was cancelled.";

namespace {

const char* const kSoapAction =
    "SOAPAction: \"http://SDMDataAccess.nrcs.usda.gov/Tabular/SDMTabularService.asmx/RunQuery\"";
constexpr size_t kMaxFaultLength = 400;

// What the write callback collects; it stops the transfer once the limit is passed.
struct TSink {
  std::string data;
  size_t limit = 0;
  bool tooLarge = false;
};

size_t Collect(char* bytes, size_t size, size_t count, void* user) {
  auto* sink = static_cast<TSink*>(user);
  const size_t n = size * count;
  if (sink->data.size() + n > sink->limit) {
    sink->tooLarge = true;
    return 0;  // makes libcurl end the transfer with a write error
  }
  sink->data.append(bytes, n);
  return n;
}

// Nonzero ends the transfer with CURLE_ABORTED_BY_CALLBACK.
int CheckCancelled(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* cancelled = static_cast<const std::function<bool()>*>(user);
  return (*cancelled)() ? 1 : 0;
}

std::string SizeText(size_t bytes) {
  const size_t mb = size_t{1} << 20;
  return bytes % mb == 0 ? std::to_string(bytes / mb) + " MB" : std::to_string(bytes) + " bytes";
}

}  // namespace

std::string SdmEndpoint(const TSdmSettings& settings) {
  if (!settings.endpoint.empty()) return settings.endpoint;
  const char* fromEnvironment = std::getenv(kSdmEndpointVariable);
  return fromEnvironment && *fromEnvironment ? fromEnvironment : kSdmDefaultEndpoint;
}

TSdmClient::TSdmClient(const TSdmSettings& settings) : settings_(settings), endpoint_(SdmEndpoint(settings)) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  CURL* curl = curl_easy_init();
  if (!curl) return;
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8");
  headers = headers ? curl_slist_append(headers, kSoapAction) : nullptr;
  headers = headers ? curl_slist_append(headers, "Expect:") : nullptr;  // no 100-continue round trip
  if (!headers) {
    curl_easy_cleanup(curl);
    return;
  }
  curl_easy_setopt(curl, CURLOPT_URL, endpoint_.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Tesserel");
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // any compression; the limit counts decoded bytes
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: safe off the main thread
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, settings_.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, settings_.totalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(settings_.maxAnswerBytes));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  if (settings_.cancelled) {
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckCancelled);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &settings_.cancelled);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  }
  curl_ = curl;
  headers_ = headers;
}

TSdmClient::~TSdmClient() {
  if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
  if (headers_) curl_slist_free_all(static_cast<curl_slist*>(headers_));
}

bool TSdmClient::RunQuery(const std::string& sql, TSdmAnswer& answer, std::string& reason) {
  answer = {};
  reason.clear();
  std::string body;
  long status = 0;
  if (!Perform(SdmRequestEnvelope(sql), body, status, reason)) return false;
  std::string parseError;
  const bool parsed = ParseSdmAnswer(body.data(), body.size(), answer, parseError);
  if (parsed && answer.isFault) {
    reason = "The service reported: " + answer.fault.substr(0, kMaxFaultLength);
  } else if (status != 200) {
    reason = "The service answered with HTTP status " + std::to_string(status) + ".";
  } else if (!parsed) {
    reason = parseError;
  }
  if (!reason.empty()) answer = {};
  return reason.empty();
}

bool TSdmClient::Perform(const std::string& body, std::string& answer, long& status, std::string& reason) {
  if (!curl_) {
    reason = "No connection could be made.";
    return false;
  }
  CURL* curl = static_cast<CURL*>(curl_);
  TSink sink;
  sink.limit = settings_.maxAnswerBytes;
  char detail[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);  // the buffer lives only for this call
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
  if (code != CURLE_OK) {
    reason = TransportFailure(code, sink.tooLarge, detail);
    return false;
  }
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  answer = std::move(sink.data);
  return true;
}

std::string TSdmClient::TransportFailure(int code, bool tooLarge, const char* detail) const {
  if (code == CURLE_ABORTED_BY_CALLBACK) return kSdmCancelledText;
  if (tooLarge || code == CURLE_FILESIZE_EXCEEDED)
    return "The answer is larger than " + SizeText(settings_.maxAnswerBytes) + ".";
  std::string text = code == CURLE_OPERATION_TIMEDOUT ? "The service did not answer in time"
                                                      : curl_easy_strerror(static_cast<CURLcode>(code));
  if (*detail) text += std::string(": ") + detail;
  return text + (text.empty() || text.back() == '.' ? "" : ".");
}
