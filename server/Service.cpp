#include "server/Service.h"

#include "server/AppsPage.h"
#include "server/HouseAd.h"
#include "server/LookupAnswer.h"
#include "server/PercentCoding.h"
#include "server/PlaceQuery.h"

namespace terrabo::server {
namespace {

constexpr const char* kText = "text/plain; charset=utf-8";
constexpr const char* kHtml = "text/html; charset=utf-8";

HttpReply text(int status, std::string body) {
    return {status, kText, std::move(body) + "\n"};
}

bool isRead(std::string_view method) {
    return method == "GET" || method == "HEAD";
}

} // namespace

Service::Service(const Gazetteer& gazetteer)
    : gazetteer_(gazetteer), mapPage_(gazetteer.worldMap()), appsPage_(appsPage()),
      houseAd_(houseAdPng()) {}

HttpReply Service::handle(std::string_view method, std::string_view target) const {
    const std::string_view path = targetPath(target);
    if (path == "/zentra/decode.php") {
        if (!isRead(method) && method != "POST")
            return text(405, "method not allowed");
        return lookup(target);
    }
    if (path != "/maps" && path != "/apps" && path != "/ads/banner")
        return text(404, "not found");
    if (!isRead(method))
        return text(405, "method not allowed");
    if (path == "/maps")
        return map(target);
    if (path == "/apps")
        return {200, kHtml, appsPage_};
    return banner(target);
}

HttpReply Service::lookup(std::string_view target) const {
    // The client reads the body whatever the status, so errors carry the
    // not-found answer too.
    const auto raw = rawQueryValue(target, "address");
    if (!raw)
        return {400, kText, kNotFoundAnswer};
    const auto text = percentDecode(*raw);
    if (!text)
        return {400, kText, kNotFoundAnswer};
    return {200, kText, lookupAnswer(findPlace(gazetteer_, *text))};
}

HttpReply Service::map(std::string_view target) const {
    const auto raw = rawQueryValue(target, "q");
    const auto query = percentDecode(raw.value_or(""));
    if (!query)
        return {400, kHtml, mapPage_.render(std::string_view(), std::nullopt)};
    // Not found is a page, not an error; a query that no one could have
    // typed is not shown back.
    const auto place = findPlace(gazetteer_, *query);
    const std::string_view shown =
        isQueryText(*query) ? std::string_view(*query) : std::string_view();
    return {200, kHtml, mapPage_.render(shown, place)};
}

HttpReply Service::banner(std::string_view target) const {
    const auto unit = rawQueryValue(target, "unit");
    if (!unit || !isAdUnit(*unit))
        return text(400, "unit must be 15 lower-case letters and digits");
    return {200, "image/png", houseAd_};
}

} // namespace terrabo::server
