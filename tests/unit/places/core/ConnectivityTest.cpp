#include "web/Connectivity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace terrabo {
namespace {

struct FlagCase {
    const char* what;
    std::optional<RouteFlags> flags;
    RouteStatus status;
};

// Fields: reachable, cellular, connectionRequired, onTraffic, onDemand, interventionRequired.
const FlagCase kCases[] = {
    {"probe failed", std::nullopt, RouteStatus::NotReachable},
    {"nothing set", RouteFlags{}, RouteStatus::NotReachable},
    {"unreachable whatever else", RouteFlags{false, true, false, true, true, false},
     RouteStatus::NotReachable},
    {"plain local network", RouteFlags{true, false, false, false, false, false},
     RouteStatus::ReachableLocal},
    {"cellular", RouteFlags{true, true, false, false, false, false},
     RouteStatus::ReachableCellular},
    {"cellular whatever else", RouteFlags{true, true, true, false, false, true},
     RouteStatus::ReachableCellular},
    {"needs a connection, not automatic", RouteFlags{true, false, true, false, false, false},
     RouteStatus::NotReachable},
    {"connection on demand", RouteFlags{true, false, true, false, true, false},
     RouteStatus::ReachableLocal},
    {"connection on traffic", RouteFlags{true, false, true, true, false, false},
     RouteStatus::ReachableLocal},
    {"on demand but the user must act", RouteFlags{true, false, true, false, true, true},
     RouteStatus::NotReachable},
    {"on traffic but the user must act", RouteFlags{true, false, true, true, false, true},
     RouteStatus::NotReachable},
    {"no connection needed, intervention flag alone",
     RouteFlags{true, false, false, false, false, true}, RouteStatus::ReachableLocal},
};

class FixedProbe final : public ConnectivityProbe {
  public:
    explicit FixedProbe(std::optional<RouteFlags> flags) : flags_(flags) {}
    std::optional<RouteFlags> defaultRoute() override {
        ++reads;
        return flags_;
    }
    std::optional<RouteFlags> routeTo(const std::string& host) override {
        hosts.push_back(host);
        return defaultRoute();
    }
    int reads = 0;
    std::vector<std::string> hosts;

  private:
    std::optional<RouteFlags> flags_;
};

TEST(Connectivity, StatusFollowsTheFlagsInOrder) {
    for (const FlagCase& c : kCases) {
        EXPECT_EQ(routeStatus(c.flags), c.status) << c.what;
        FixedProbe probe(c.flags);
        EXPECT_EQ(isConnected(probe), c.status != RouteStatus::NotReachable) << c.what;
        isConnected(probe);
        EXPECT_EQ(probe.reads, 2) << "a fresh look every time";
    }
}

TEST(Connectivity, AsksAboutTheHostOfTheAddressInUse) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:8765", "127.0.0.1"},
        {"http://127.0.0.1:8765/apps", "127.0.0.1"},
        {"https://Maps.Example.ORG/maps?q=x", "maps.example.org"},
        {"http://user:pw@host.example:80/", "host.example"},
        {"http://[::1]:8765/apps", "[::1]"},
        {"http://localhost?q=a:b", "localhost"},
        {"http://host#frag", "host"},
        {"no scheme at all", ""},
        {"", ""},
    };
    for (const auto& [address, host] : cases) {
        EXPECT_EQ(hostOfAddress(address), host) << address;
        FixedProbe probe(RouteFlags{true, false, false, false, false, false});
        EXPECT_TRUE(isConnected(probe, address));
        EXPECT_EQ(probe.hosts, std::vector<std::string>{host}) << address;
    }
}

} // namespace
} // namespace terrabo
