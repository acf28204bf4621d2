#include "system/linux/LinuxRouteProbe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace terrabo {
namespace {

const char* kHeading =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

std::string route(const std::string& iface, const std::string& dest, const std::string& flags,
                  int metric, const std::string& mask = "00000000") {
    return iface + "\t" + dest + "\t010200C0\t" + flags + "\t0\t0\t" + std::to_string(metric) +
           "\t" + mask + "\t0\t0\t0\n";
}

const RouteFlags kOffline{};
const RouteFlags kLocal{true, false, false, false, false, false};
const RouteFlags kCellular{true, true, false, false, false, false};

struct ProbeCase {
    const char* what;
    std::optional<std::string> routeTable;       // nullopt: no /proc/net/route
    std::map<std::string, std::string> sysFiles; // relative to sys/class/net/
    std::optional<RouteFlags> expected;
};

class RouteProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(RouteProbe, MapsTheDefaultRouteOntoFlags) {
    const ProbeCase& c = GetParam();
    QTemporaryDir root;
    auto put = [&](const std::string& rel, const std::string& content) {
        const QString path = root.filePath(QString::fromStdString(rel));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content.data(), static_cast<qint64>(content.size()));
    };
    if (c.routeTable)
        put("proc/net/route", kHeading + *c.routeTable);
    for (const auto& [rel, content] : c.sysFiles)
        put("sys/class/net/" + rel, content);

    LinuxRouteProbe probe(root.path().toStdString());
    EXPECT_EQ(probe.defaultRoute(), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Trees, RouteProbe,
    ::testing::Values(
        ProbeCase{"no route table", std::nullopt, {}, std::nullopt},
        ProbeCase{"no routes", "", {}, kOffline},
        ProbeCase{"wired default route",
                  route("eth0", "00000000", "0003", 100),
                  {{"eth0/operstate", "up\n"}, {"eth0/type", "1\n"}},
                  kLocal},
        ProbeCase{"only a local subnet",
                  route("eth0", "000200C0", "0001", 0, "00FFFFFF"),
                  {{"eth0/operstate", "up\n"}},
                  kOffline},
        ProbeCase{"default route not up",
                  route("eth0", "00000000", "0002", 0),
                  {{"eth0/operstate", "up\n"}},
                  kOffline},
        ProbeCase{"interface down",
                  route("wlan0", "00000000", "0003", 0),
                  {{"wlan0/operstate", "down\n"}},
                  kOffline},
        ProbeCase{"link without carrier detection",
                  route("tun0", "00000000", "0001", 0),
                  {{"tun0/operstate", "unknown\n"}},
                  kLocal},
        ProbeCase{"interface facts unreadable", route("eth0", "00000000", "0003", 0), {}, kLocal},
        ProbeCase{"modem by name",
                  route("wwan0", "00000000", "0001", 0),
                  {{"wwan0/operstate", "up\n"}},
                  kCellular},
        ProbeCase{"qualcomm data link by name",
                  route("rmnet_data0", "00000000", "0001", 0),
                  {},
                  kCellular},
        ProbeCase{"modem by device type",
                  route("usb0", "00000000", "0003", 0),
                  {{"usb0/uevent", "INTERFACE=usb0\nDEVTYPE=wwan\n"}},
                  kCellular},
        ProbeCase{"modem by raw-IP link type",
                  route("mhi0", "00000000", "0001", 0),
                  {{"mhi0/type", "519\n"}},
                  kCellular},
        ProbeCase{"lowest metric wins: wifi",
                  route("wwan0", "00000000", "0001", 700) + route("wlan0", "00000000", "0003", 100),
                  {{"wlan0/operstate", "up\n"}},
                  kLocal},
        ProbeCase{"lowest metric wins: modem",
                  route("wwan0", "00000000", "0001", 50) + route("wlan0", "00000000", "0003", 100),
                  {},
                  kCellular},
        ProbeCase{"garbled lines skipped",
                  "junk\n\n" + route("eth0", "zz", "0003", 0) +
                      route("eth0", "00000000", "0003", 0),
                  {},
                  kLocal}));

TEST(RouteProbe, TellsLoopbackHostsFromOthers) {
    const std::pair<const char*, bool> cases[] = {
        {"127.0.0.1", true},      {"127.255.3.4", true},   {"localhost", true},
        {"LocalHost.", true},     {"::1", true},           {"[::1]", true},
        {"::ffff:127.0.0.1", true}, {"128.0.0.1", false},  {"10.0.0.1", false},
        {"0.0.0.0", false},       {"::", false},           {"example.org", false},
        {"localhost.example.org", false}, {"127.0.0.1.example.org", false},
        {"", false},              {"[::1", false},
    };
    for (const auto& [host, loopback] : cases)
        EXPECT_EQ(isLoopbackHost(host), loopback) << host;
}

TEST(RouteProbe, LoopbackIsReachableWithoutADefaultRoute) {
    // A machine whose only network is loopback: an empty route table.
    QTemporaryDir root;
    QDir().mkpath(root.filePath(QStringLiteral("proc/net")));
    QFile table(root.filePath(QStringLiteral("proc/net/route")));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write(kHeading);
    table.close();
    LinuxRouteProbe probe(root.path().toStdString());
    EXPECT_EQ(probe.routeTo("127.0.0.1"), kLocal);
    EXPECT_EQ(probe.routeTo("[::1]"), kLocal);
    EXPECT_EQ(probe.routeTo("example.org"), kOffline) << "other hosts keep the default route's answer";
    EXPECT_EQ(probe.routeTo(""), kOffline);
}

TEST(RouteProbe, ReadsThisMachine) {
    // Whatever the network here, the kernel's table is readable.
    LinuxRouteProbe probe;
    EXPECT_TRUE(probe.defaultRoute().has_value());
}

} // namespace
} // namespace terrabo
