#pragma once

#include <optional>
#include <string>

namespace terrabo {

// A blocking HTTP client: the caller waits for the outcome.
class HttpClient {
  public:
    virtual ~HttpClient() = default;
    // The body of a successful (2xx) response; nullopt when nothing usable came
    // back (no connection, host not found, time-out, an error status).
    virtual std::optional<std::string> post(const std::string& url, const std::string& body) = 0;
};

} // namespace terrabo
