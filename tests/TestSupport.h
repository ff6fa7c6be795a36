#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

// Qt's own waits (QTest::qWait, qWaitFor and the QTRY macros) sleep 10 ms between passes of the
// event loop. The web engine's browser side and the program's sockets are served by that loop a
// task at a time, so a page loaded under them took two seconds. These waits run the event loop
// and wake at each event; `done` is asked every 2 ms.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000);
void waitMs(int ms);

#define TRY_VERIFY_WITH_TIMEOUT(expr, timeoutMs)                                                                       \
    do {                                                                                                               \
        if (!waitUntil([&] { return bool(expr); }, timeoutMs))                                                         \
            QVERIFY2(expr, "still false after " #timeoutMs " ms");                                                     \
    } while (false)
#define TRY_VERIFY(expr) TRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#define TRY_COMPARE_WITH_TIMEOUT(actual, expected, timeoutMs)                                                          \
    do {                                                                                                               \
        (void)waitUntil([&] { return (actual) == (expected); }, timeoutMs);                                            \
        QCOMPARE(actual, expected);                                                                                    \
    } while (false)
#define TRY_COMPARE(actual, expected) TRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)

// A temporary program folder and a temporary config folder for the settings store, both in force
// while the object lives.
class TestFolders
{
public:
    TestFolders();
    ~TestFolders();
    QString program() const { return m_program.path(); }
    QString config() const { return m_config.path(); }
    QString file(const QString &name) const { return m_program.path() + '/' + name; }

private:
    QTemporaryDir m_program;
    QTemporaryDir m_config;
};

// Path of a program built into the program folder of the build (tamarind-cli, whois-test-server).
QString builtProgram(const QString &name);

QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);
// The entries of a list file as the program reads them.
QStringList fileEntries(const QString &path);

// A whois-test-server on 127.0.0.1, started with the given options; stopped with the object.
class TestWhoisServer
{
public:
    explicit TestWhoisServer(const QStringList &options = {});
    ~TestWhoisServer();
    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // With --rdap-port: the base address of its RDAP service.
    QString rdapBase() const { return m_rdapBase; }
    // With --dns-port: "127.0.0.1:PORT" of its DNS service.
    QString dnsAddress() const { return m_dnsAddress; }

private:
    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    QString m_rdapBase;
    QString m_dnsAddress;
};

// Options of the test server that answer the first `answered` queries as usual and hold every
// later reply while the file `holdFile` exists (created here): a run that cannot pass that point,
// however fast the machine, until the test removes the file.
QStringList holdingReplies(int answered, const QString &holdFile);

// A port on 127.0.0.1 on which nothing listens.
quint16 unusedPort();

// Sets an environment variable while it lives.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char *name, const QByteArray &value);
    ~EnvironmentVariable();

private:
    const char *m_name;
};

// A web server on 127.0.0.1: each request's path goes to page() (a small page when none is set)
// and is logged.
class TestWebServer : public QTcpServer
{
public:
    TestWebServer();
    std::function<QByteArray(const QByteArray &path)> page;
    std::function<int(const QByteArray &path)> status;   // 200 when not set
    QList<QByteArray> requests;
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }
    QString address(const QString &path) const { return QStringLiteral("http://") + host() + path; }
    QList<QByteArray> requestsFor(const QByteArray &part) const;
};
