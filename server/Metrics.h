#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace terrabo::server {

// Counters for the metrics page, in Prometheus' text format. Fixed tables of
// atomics: recording a request takes no lock and allocates nothing, and no
// request, however odd its path, adds a series.
class Metrics {
  public:
    static constexpr std::array<std::string_view, 7> kRoutes = {
        "/zentra/decode.php", "/maps", "/apps", "/ads/banner", "/healthz", "/metrics", "other"};
    static constexpr std::array<int, 11> kStatuses = {200, 400, 404, 405, 408, 413,
                                                      414, 431, 500, 503, 0}; // 0: any other
    static constexpr std::array<double, 12> kLatencyBounds = {
        0.0001, 0.00025, 0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.5, 1};

    // `path` without the query; `seconds` from the request read to the answer sent.
    void record(std::string_view path, int status, double seconds);
    void connectionOpened() { ++openConnections_; }
    void connectionClosed() { --openConnections_; }
    void connectionRefused() { ++refusedConnections_; }
    void setIndex(size_t places, uint64_t bytes, double loadSeconds);

    std::string render() const;

  private:
    static size_t routeSlot(std::string_view path);
    static size_t statusSlot(int status);

    std::array<std::array<std::atomic<uint64_t>, kStatuses.size()>, kRoutes.size()> requests_{};
    std::array<std::atomic<uint64_t>, kLatencyBounds.size() + 1> latency_{}; // last: above all
    std::atomic<uint64_t> latencyMicros_{0};
    std::atomic<int64_t> openConnections_{0};
    std::atomic<uint64_t> refusedConnections_{0};
    size_t indexPlaces_ = 0;
    uint64_t indexBytes_ = 0;
    double indexLoadSeconds_ = 0;
};

} // namespace terrabo::server
