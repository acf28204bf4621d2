#pragma once

#include <optional>
#include <string>

namespace terrabo {

// A blocking HTTP client: the caller waits for the outcome.
class HttpClient {
  public:
    virtual ~HttpClient() = default;
    // The response body, whatever the status; nullopt when nothing came back
    // (no connection, host not found, time-out).
    virtual std::optional<std::string> post(const std::string& url, const std::string& body) = 0;
};

} // namespace terrabo
