#pragma once

#include "platform/HttpClient.h"

#include <chrono>
#include <cstddef>

namespace terrabo {

struct HttpLimits {
    // A server that never answers must not freeze the app for good.
    std::chrono::milliseconds connectTimeout{5000};
    std::chrono::milliseconds totalTimeout{15000};
    // A larger body is no answer: it would be kept in memory and in the history.
    std::size_t maxBodyBytes = 64 * 1024;
};

// Blocking POSTs through libcurl's easy interface, plain http or https only.
class CurlHttpClient final : public HttpClient {
  public:
    explicit CurlHttpClient(HttpLimits limits = {});
    std::optional<std::string> post(const std::string& url, const std::string& body) override;

  private:
    HttpLimits limits_;
};

} // namespace terrabo
