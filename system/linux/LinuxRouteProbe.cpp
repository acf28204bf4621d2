#include "system/linux/LinuxRouteProbe.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>
#include <limits>

namespace terrabo {

namespace {

constexpr unsigned kRouteUp = 0x0001; // RTF_UP

// ARPHRD_RAWIP, ARPHRD_PHONET, ARPHRD_PHONET_PIPE, ARPHRD_CAIF: modem links.
constexpr int kModemLinkTypes[] = {519, 820, 821, 822};

std::optional<QByteArray> readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(64 * 1024);
}

// The interface of the usable default route with the lowest metric.
std::optional<QString> defaultInterface(const QByteArray& table) {
    std::optional<QString> best;
    unsigned bestMetric = std::numeric_limits<unsigned>::max();
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) { // line 0 is the heading
        const QStringList cols = QString::fromLatin1(lines[i]).split(
            QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (cols.size() < 8)
            continue;
        bool ok = false;
        const unsigned dest = cols[1].toUInt(&ok, 16);
        if (!ok || dest != 0)
            continue;
        const unsigned mask = cols[7].toUInt(&ok, 16);
        if (!ok || mask != 0)
            continue;
        const unsigned flags = cols[3].toUInt(&ok, 16);
        if (!ok || !(flags & kRouteUp))
            continue;
        const unsigned metric = cols[6].toUInt(&ok);
        if (!ok)
            continue;
        if (!best || metric < bestMetric) {
            best = cols[0];
            bestMetric = metric;
        }
    }
    return best;
}

} // namespace

bool isLoopbackHost(const std::string& host) {
    std::string h = host;
    if (h.size() >= 2 && h.front() == '[' && h.back() == ']')
        h = h.substr(1, h.size() - 2);
    if (!h.empty() && h.back() == '.')
        h.pop_back();
    const QString name = QString::fromStdString(h).toLower();
    if (name == QStringLiteral("localhost"))
        return true;
    in_addr v4{};
    if (inet_pton(AF_INET, h.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, h.c_str(), &v6) == 1) {
        if (IN6_IS_ADDR_LOOPBACK(&v6))
            return true;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
    }
    return false;
}

std::optional<RouteFlags> LinuxRouteProbe::routeTo(const std::string& host) {
    // The bundled server on this machine answers without any network.
    if (isLoopbackHost(host)) {
        RouteFlags flags;
        flags.reachable = true;
        return flags;
    }
    return defaultRoute();
}

LinuxRouteProbe::LinuxRouteProbe(std::string rootDir) : root_(std::move(rootDir)) {
    if (root_.empty() || root_.back() != '/')
        root_ += '/';
}

std::optional<RouteFlags> LinuxRouteProbe::defaultRoute() {
    const QString root = QString::fromStdString(root_);
    const auto table = readSmallFile(root + QStringLiteral("proc/net/route"));
    if (!table)
        return std::nullopt;

    RouteFlags flags;
    const auto iface = defaultInterface(*table);
    // An interface name is never a path of its own.
    if (!iface || iface->contains(QLatin1Char('/')) || iface->startsWith(QLatin1Char('.')))
        return flags;

    const QString sys = root + QStringLiteral("sys/class/net/") + *iface + QLatin1Char('/');
    if (const auto state = readSmallFile(sys + QStringLiteral("operstate"))) {
        // "unknown" is what links without carrier detection (ppp, tun) report.
        const QByteArray s = state->trimmed();
        if (s != "up" && s != "unknown")
            return flags;
    }
    flags.reachable = true;

    bool cellular = iface->startsWith(QStringLiteral("wwan")) ||
                    iface->startsWith(QStringLiteral("rmnet")) ||
                    iface->startsWith(QStringLiteral("ppp"));
    if (const auto uevent = readSmallFile(sys + QStringLiteral("uevent")))
        cellular = cellular || uevent->split('\n').contains("DEVTYPE=wwan");
    if (const auto type = readSmallFile(sys + QStringLiteral("type"))) {
        bool ok = false;
        const int linkType = type->trimmed().toInt(&ok);
        for (int modem : kModemLinkTypes)
            cellular = cellular || (ok && linkType == modem);
    }
    flags.cellular = cellular;
    return flags;
}

} // namespace terrabo
