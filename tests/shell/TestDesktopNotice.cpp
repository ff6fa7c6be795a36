#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

// The desktop's notification service, played by the test on a bus of its own.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown;

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
        const QStringList &, const QVariantMap &, int)
    {
        shown << summary + ": " + body;
        return uint(shown.size());
    }
};

class TestDesktopNotice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_bus.start(daemon, {"--session", "--nofork", "--print-address"});
        QVERIFY(m_bus.waitForReadyRead(10000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        QVERIFY(bus.registerService("org.freedesktop.Notifications"));
        QVERIFY(bus.registerObject("/org/freedesktop/Notifications", &m_service, QDBusConnection::ExportAllSlots));
    }
    void cleanupTestCase()
    {
        m_bus.kill();
        m_bus.waitForFinished();
    }

    // Faults caught: a long run that ends in the background not told, told with a wrong count, or
    // a short run told.
    void longRunEndIsTold_data()
    {
        QTest::addColumn<qint64>("longRunMs");
        QTest::addColumn<QStringList>("told");
        QTest::addRow("long run") << qint64(0) << QStringList {"The run has ended: Custom List found 3 free names."};
        QTest::addRow("short run") << qint64(3600000) << QStringList();
    }
    void longRunEndIsTold()
    {
        QFETCH(qint64, longRunMs);
        QFETCH(QStringList, told);
        m_service.shown.clear();
        TestFolders folders;
        DataFile::rewrite(folders.file("registered.txt"), {"taken.com"});
        DataFile::rewrite(folders.file("list.txt"), {"free1", "taken", "free2", "free3"});
        TestWhoisServer server({"--registered", folders.file("registered.txt")});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.longRunMs = longRunMs;
        window.show();
        QWidget elsewhere;   // the user works in another window meanwhile
        elsewhere.show();
        elsewhere.activateWindow();
        TRY_VERIFY(!window.isActiveWindow());
        window.openList(folders.file("list.txt"), true);
        TRY_VERIFY_WITH_TIMEOUT(!window.run().isRunning(), 20000);
        waitMs(200);   // the notification's way through the bus
        TRY_COMPARE(m_service.shown, told);
    }

    // A watch of Saved Domains, as its timer runs it: one notification for a run that found
    // changes, none for one that did not; the desktop program then shows every change once.
    // Faults caught: a notice per change, a notice without changes, the changes never shown at
    // start, or shown at every start.
    void watchChangesAreTold()
    {
        m_service.shown.clear();
        TestFolders folders;
        DataFile::rewrite(folders.file("Remembered.txt"), {"golf.com", "india.com", "kilo.com"});
        const auto watch = [&folders](const QStringList &registered) {
            DataFile::rewrite(folders.file("registered.txt"), registered);
            TestWhoisServer server({"--registered", folders.file("registered.txt")});
            QProcess cli;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_CONFIG_HOME", folders.config());
            cli.setProcessEnvironment(environment);
            cli.start(builtProgram("tamarind-cli"),
                {"watch", "--notify", "--server", server.address(), "--folder", folders.program()});
            // The event loop runs meanwhile: the notification service the watch tells is this test's.
            return waitUntil([&cli] { return cli.state() == QProcess::NotRunning; }, 30000) && cli.exitCode() == 0;
        };
        QVERIFY(watch({"golf.com", "india.com", "kilo.com"}));   // first seen: nothing to tell
        QVERIFY(watch({"india.com", "kilo.com"}));
        QVERIFY(watch({"golf.com"}));
        TRY_COMPARE(m_service.shown,
            (QStringList {"golf.com is free: golf.com: registered -> free",
                "3 saved names changed: golf.com: free -> registered\nindia.com: registered -> free\n"
                "kilo.com: registered -> free"}));

        for (const int start : {1, 2}) {
            Form1 window;
            window.show();
            waitMs(100);
            const QStringList boxes = messageTexts(window);
            if (start == 2) {
                QCOMPARE(boxes, QStringList());
                break;
            }
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes.constFirst().contains("found 4 changes")
                    && boxes.constFirst().contains("kilo.com: "
                                                   "registered -> free"),
                qPrintable(boxes.constFirst()));
        }
    }

private:
    QProcess m_bus;
    FakeNotifications m_service;
};

QTEST_MAIN(TestDesktopNotice)
#include "TestDesktopNotice.moc"
