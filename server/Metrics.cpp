#include "server/Metrics.h"

#include <cinttypes>
#include <cstdio>

namespace terrabo::server {
namespace {

void appendf(std::string& out, const char* format, auto... args) {
    char line[256];
    const int n = std::snprintf(line, sizeof line, format, args...);
    if (n > 0)
        out.append(line, std::min<size_t>(static_cast<size_t>(n), sizeof line - 1));
}

} // namespace

size_t Metrics::routeSlot(std::string_view path) {
    for (size_t i = 0; i + 1 < kRoutes.size(); ++i)
        if (kRoutes[i] == path)
            return i;
    return kRoutes.size() - 1;
}

size_t Metrics::statusSlot(int status) {
    for (size_t i = 0; i + 1 < kStatuses.size(); ++i)
        if (kStatuses[i] == status)
            return i;
    return kStatuses.size() - 1;
}

void Metrics::record(std::string_view path, int status, double seconds) {
    requests_[routeSlot(path)][statusSlot(status)].fetch_add(1, std::memory_order_relaxed);
    size_t bucket = 0;
    while (bucket < kLatencyBounds.size() && seconds > kLatencyBounds[bucket])
        ++bucket;
    latency_[bucket].fetch_add(1, std::memory_order_relaxed);
    latencyMicros_.fetch_add(static_cast<uint64_t>(seconds * 1e6 + 0.5), std::memory_order_relaxed);
}

void Metrics::setIndex(size_t places, uint64_t bytes, double loadSeconds) {
    indexPlaces_ = places;
    indexBytes_ = bytes;
    indexLoadSeconds_ = loadSeconds;
}

std::string Metrics::render() const {
    std::string out;
    out += "# HELP terrabo_http_requests_total Requests answered, by route and status.\n"
           "# TYPE terrabo_http_requests_total counter\n";
    for (size_t r = 0; r < kRoutes.size(); ++r) {
        for (size_t s = 0; s < kStatuses.size(); ++s) {
            const uint64_t n = requests_[r][s].load(std::memory_order_relaxed);
            if (n == 0)
                continue;
            const std::string status =
                kStatuses[s] ? std::to_string(kStatuses[s]) : std::string("other");
            appendf(out, "terrabo_http_requests_total{route=\"%.*s\",status=\"%s\"} %" PRIu64 "\n",
                    static_cast<int>(kRoutes[r].size()), kRoutes[r].data(), status.c_str(), n);
        }
    }
    out += "# HELP terrabo_http_request_duration_seconds From a request read to its answer "
           "sent.\n# TYPE terrabo_http_request_duration_seconds histogram\n";
    uint64_t cumulative = 0;
    for (size_t b = 0; b < latency_.size(); ++b) {
        cumulative += latency_[b].load(std::memory_order_relaxed);
        if (b < kLatencyBounds.size())
            appendf(out, "terrabo_http_request_duration_seconds_bucket{le=\"%g\"} %" PRIu64 "\n",
                    kLatencyBounds[b], cumulative);
        else
            appendf(out, "terrabo_http_request_duration_seconds_bucket{le=\"+Inf\"} %" PRIu64 "\n",
                    cumulative);
    }
    appendf(out, "terrabo_http_request_duration_seconds_sum %.6f\n",
            static_cast<double>(latencyMicros_.load(std::memory_order_relaxed)) / 1e6);
    appendf(out, "terrabo_http_request_duration_seconds_count %" PRIu64 "\n", cumulative);
    appendf(out,
            "# HELP terrabo_http_open_connections Connections open now.\n"
            "# TYPE terrabo_http_open_connections gauge\n"
            "terrabo_http_open_connections %" PRId64 "\n",
            openConnections_.load(std::memory_order_relaxed));
    appendf(out,
            "# HELP terrabo_http_refused_connections_total Connections closed at once because "
            "too many were open.\n"
            "# TYPE terrabo_http_refused_connections_total counter\n"
            "terrabo_http_refused_connections_total %" PRIu64 "\n",
            refusedConnections_.load(std::memory_order_relaxed));
    appendf(out,
            "# HELP terrabo_index_places Places in the loaded index.\n"
            "# TYPE terrabo_index_places gauge\nterrabo_index_places %zu\n",
            indexPlaces_);
    appendf(out,
            "# HELP terrabo_index_bytes Size of the index file.\n"
            "# TYPE terrabo_index_bytes gauge\nterrabo_index_bytes %" PRIu64 "\n",
            indexBytes_);
    appendf(out,
            "# HELP terrabo_index_load_seconds Time taken to load the index.\n"
            "# TYPE terrabo_index_load_seconds gauge\nterrabo_index_load_seconds %.6f\n",
            indexLoadSeconds_);
    return out;
}

} // namespace terrabo::server
