// GeoClue's manager for tests: "refuse" answers every call with an access
// error, as GeoClue does for an application the user has not allowed;
// "silent" never answers, as a GeoClue that cannot find a position.
// Usage: standin_geoclue BUS_ADDRESS refuse|silent
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>

#include <cstdio>

namespace {

class Manager final : public QDBusVirtualObject {
public:
    explicit Manager(bool refuse) : refuse_(refuse) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::fprintf(stdout, "call %s\n", qPrintable(message.member()));
        std::fflush(stdout);
        if (refuse_)
            connection.send(message.createErrorReply(
                QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                QStringLiteral("Geolocation disabled for this application")));
        return true;
    }

private:
    bool refuse_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]),
                                                        QStringLiteral("geoclue"));
    Manager manager(QByteArray(argv[2]) == "refuse");
    if (!bus.isConnected() ||
        !bus.registerVirtualObject(QStringLiteral("/org/freedesktop/GeoClue2/Manager"), &manager,
                                   QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.GeoClue2")))
        return 1;
    std::fprintf(stdout, "ready\n");
    std::fflush(stdout);
    return app.exec();
}
