// The SOAP 1.1 client of the Soil Data Mart tabular service: one RunQuery call at a time over
// HTTP or HTTPS, certificates verified, proxies from the usual environment variables, bounded in
// time and in the size of the answer, which is kept in memory only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "interchange/SdmAnswer.h"

// The public service.
extern const char* const kSdmDefaultEndpoint;
// The environment variable that names another endpoint.
extern const char* const kSdmEndpointVariable;
// The reason of a call ended by the settings' `cancelled`.
extern const char* const kSdmCancelledText;

struct TSdmSettings {
  std::string endpoint;  // empty: the environment variable when set, else the public service
  long connectTimeoutMs = 20000;
  long totalTimeoutMs = 120000;
  size_t maxAnswerBytes = size_t{50} << 20;
  // Asked about once a second, and more often while data flows, from the thread making the call;
  // true ends the call in progress at once, as cancelled.
  std::function<bool()> cancelled;
};

// The endpoint the settings lead to.
std::string SdmEndpoint(const TSdmSettings& settings);

class TSdmClient {
 public:
  explicit TSdmClient(const TSdmSettings& settings);
  ~TSdmClient();
  TSdmClient(const TSdmClient&) = delete;
  TSdmClient& operator=(const TSdmClient&) = delete;

  // False when the connection handle could not be made.
  bool Ready() const { return curl_ != nullptr; }
  const std::string& Endpoint() const { return endpoint_; }

  // Sends one SQL text (code page 1252). True with the answer's rows; false with the reason:
  // the transport failure, the fault string, the HTTP status or what is wrong with the answer, or
  // kSdmCancelledText.
  bool RunQuery(const std::string& sql, TSdmAnswer& answer, std::string& reason);

 private:
  bool Perform(const std::string& body, std::string& answer, long& status, std::string& reason);
  std::string TransportFailure(int code, bool tooLarge, const char* detail) const;

  TSdmSettings settings_;
  std::string endpoint_;
  void* curl_ = nullptr;     // CURL*
  void* headers_ = nullptr;  // curl_slist*
};
