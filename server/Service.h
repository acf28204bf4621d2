#pragma once

#include "server/Gazetteer.h"
#include "server/MapPage.h"

#include <string>
#include <string_view>

namespace terrabo::server {

struct HttpReply {
    int status = 200;
    std::string contentType;
    std::string body;
};

// What the server answers, apart from the HTTP plumbing: each known path is
// matched exactly, and nothing is ever read from disk by path.
class Service {
  public:
    explicit Service(const Gazetteer& gazetteer);

    // `target` is the request target as sent: path and encoded query.
    HttpReply handle(std::string_view method, std::string_view target) const;

  private:
    HttpReply lookup(std::string_view target) const;
    HttpReply map(std::string_view target) const;
    HttpReply banner(std::string_view target) const;

    const Gazetteer& gazetteer_;
    MapPage mapPage_;
    std::string appsPage_;
    std::string houseAd_;
};

} // namespace terrabo::server
