// The home button's request through the platform's own position source: a
// missing source, a refusal and a time-out each end in the "Error" alert,
// without a crash and without a fix.
#include "app/AppContext.h"
#include "places/LocationGetter.h"
#include "system/qt/QtLocation.h"
#include "system/qt/QtPlatform.h"

#include <QApplication>
#include <QFile>
#include <QDeadlineTimer>
#include <QGeoPositionInfoSource>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>


namespace terrabo {
namespace {

// A message bus of our own that stands in for the system bus, where GeoClue
// lives. It has to be chosen before anything in the process touches D-Bus.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:dir=" +
                   dir_.path().toUtf8() +
                   "</listen><policy context=\"default\"><allow send_destination=\"*\"/>"
                   "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                       QStringLiteral("--config-file=") + config});
        if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead(10000))
            return;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QString address() const { return address_; }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
};

// GeoClue's manager, refusing or silent, for the length of one test.
class StandInGeoClue {
public:
    StandInGeoClue(const QString& busAddress, const char* mode) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(TERRABO_STANDIN_GEOCLUE),
                       {busAddress, QString::fromLatin1(mode)});
        ready_ = process_.waitForReadyRead(10000) && process_.readLine().trimmed() == "ready";
    }
    ~StandInGeoClue() {
        process_.kill();
        process_.waitForFinished();
    }
    bool ready() const { return ready_; }
    // Whether anybody called it since it started.
    bool asked() {
        process_.waitForReadyRead(100);
        return process_.readAll().contains("call ");
    }

private:
    QProcess process_;
    bool ready_ = false;
};

struct Recorder final : LocationGetterDelegate {
    int fixes = 0;
    void newPhysicalLocation(const LocationFix&) override { ++fixes; }
};

class LocationService : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "location_tests";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        bus_ = new PrivateBus;
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus_->address().toUtf8());
        static auto* app = new QApplication(argc, argv); // Qt's globals outlive the tests
        static_cast<void>(app);

    }
    static void TearDownTestSuite() { delete bus_; }

    void SetUp() override {
        if (bus_->address().isEmpty())
            GTEST_SKIP() << "no dbus-daemon to stand in for the system bus";
        appContext().platform = &platform_;
    }
    void TearDown() override { appContext().platform = nullptr; }

    // Asks once, the way the home button does, and waits for an answer.
    void request(terrabo::LocationService& service) {
        Recorder recorder;
        {
            LocationGetter getter(&service);
            getter.setDelegate(&recorder);
            getter.startUpdates();
            // Real time only bounds the wait; nothing is measured.
            const QDeadlineTimer deadline(60000);
            while (platform_.alerts().empty() && recorder.fixes == 0 && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            // Anything that arrives late must not reach a second alert.
            const QDeadlineTimer settle(300);
            while (!settle.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        fixes_ = recorder.fixes;
    }

    void expectOneErrorAlert() {
        EXPECT_EQ(fixes_, 0);
        const std::vector<AlertInfo> alerts = platform_.alerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].title, "Error");
        EXPECT_EQ(alerts[0].message, "location could not be determined.");
        EXPECT_EQ(alerts[0].buttons, std::vector<std::string>{"OK"});
        EXPECT_TRUE(platform_.pressTopAlertButton());
    }

    QtPlatform platform_{ScreenInfo{}};
    int fixes_ = -1;

    static inline PrivateBus* bus_ = nullptr;
};

TEST_F(LocationService, GeoClueIsTheDefaultSource) {
    // The setup installs the plugin; without it every press would only time out.
    EXPECT_TRUE(QGeoPositionInfoSource::availableSources().contains(QStringLiteral("geoclue2")));
    QtLocationManager manager; // the source is made in the constructor: it must not crash
}

TEST_F(LocationService, MissingSourceShowsTheErrorAlert) {
    QtLocationService service(QStringLiteral("no-such-source"));
    request(service);
    expectOneErrorAlert();
}

TEST_F(LocationService, RefusalShowsTheErrorAlert) {
    StandInGeoClue geoClue(bus_->address(), "refuse");
    ASSERT_TRUE(geoClue.ready());
    QtLocationService service({}, 5000);
    request(service);
    EXPECT_TRUE(geoClue.asked()) << "GeoClue was never asked";
    expectOneErrorAlert();
}

TEST_F(LocationService, TimeOutShowsTheErrorAlert) {
    StandInGeoClue geoClue(bus_->address(), "silent");
    ASSERT_TRUE(geoClue.ready());
    QtLocationService service({}, 1500);
    request(service);
    EXPECT_TRUE(geoClue.asked());
    expectOneErrorAlert();
}

TEST_F(LocationService, ReplacedRequestEndsWithoutAnswer) {
    // Two presses in a row: the first getter goes with its open request, and
    // the refusal meant for it shows no alert of its own.
    StandInGeoClue geoClue(bus_->address(), "refuse");
    ASSERT_TRUE(geoClue.ready());
    QtLocationService service({}, 5000);
    {
        LocationGetter first(&service);
        first.startUpdates();
    }
    request(service);
    expectOneErrorAlert();
}

} // namespace
} // namespace terrabo
