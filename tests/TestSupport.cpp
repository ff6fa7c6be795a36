#include "TestSupport.h"

#include "app/DataFile.h"
#include "app/ProgramFolder.h"
#include "app/SettingsStore.h"

#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

TestFolders::TestFolders()
{
    ProgramFolder::setPath(m_program.path());
    SettingsStore::reset();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
}

TestFolders::~TestFolders()
{
    SettingsStore::reset();
    ProgramFolder::setPath(QString());
}

QString builtProgram(const QString &name)
{
    return QStringLiteral(TAMARIND_BUILD_DIR "/") + name;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QStringList fileEntries(const QString &path)
{
    return DataFile::EntryIndex(readBytes(path)).all();
}

TestWhoisServer::TestWhoisServer(const QStringList &options)
    : m_process(std::make_unique<QProcess>())
{
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(builtProgram(QStringLiteral("whois-test-server")),
        QStringList {QStringLiteral("--port"), QStringLiteral("0")} + options);
    // Generous: a sanitizer build on a cold cache takes seconds to load its libraries.
    if (!m_process->waitForStarted(20000) || !m_process->waitForReadyRead(20000))
        return;
    const QByteArray line = m_process->readLine().trimmed();   // listening on 127.0.0.1:PORT
    m_port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
    // "rdap on URL" and "dns on 127.0.0.1:PORT" follow, each on its own line, when asked for.
    const int more =
        int(options.contains(QStringLiteral("--rdap-port"))) + int(options.contains(QStringLiteral("--dns-port")));
    for (int i = 0; i < more; ++i) {
        while (!m_process->canReadLine() && m_process->waitForReadyRead(20000)) { }
        const QString announced = QString::fromLatin1(m_process->readLine().trimmed());
        if (announced.startsWith(QLatin1String("rdap on ")))
            m_rdapBase = announced.mid(int(qstrlen("rdap on ")));
        else if (announced.startsWith(QLatin1String("dns on ")))
            m_dnsAddress = announced.mid(int(qstrlen("dns on ")));
    }
}

TestWhoisServer::~TestWhoisServer()
{
    m_process->kill();
    m_process->waitForFinished(5000);
}

QStringList holdingReplies(int answered, const QString &holdFile)
{
    writeBytes(holdFile, {});
    return {QStringLiteral("--hold-after"), QString::number(answered), QStringLiteral("--hold-file"), holdFile};
}

quint16 unusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();   // closed again when the server goes
}

EnvironmentVariable::EnvironmentVariable(const char *name, const QByteArray &value)
    : m_name(name)
{
    qputenv(name, value);
}

EnvironmentVariable::~EnvironmentVariable()
{
    qunsetenv(m_name);
}

TestWebServer::TestWebServer()
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray path = socket->readAll().split(' ').value(1);
                requests << path;
                const QByteArray body = page
                    ? page(path)
                    : QByteArray("<html><head><title>Test Page</title></head><body>hello</body></html>");
                const int code = status ? status(path) : 200;
                socket->write("HTTP/1.1 " + QByteArray::number(code) + (code == 200 ? " OK" : " Error")
                    + "\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        }
    });
}

QList<QByteArray> TestWebServer::requestsFor(const QByteArray &part) const
{
    QList<QByteArray> found;
    for (const QByteArray &request : requests) {
        if (request.contains(part))
            found << request;
    }
    return found;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    // What the test's own steps let go (a window closed by a click) goes now, as under Qt's waits:
    // inside the loop below it would wait for the loop's end.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QEventLoop loop;
    QTimer ask;
    QObject::connect(&ask, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    ask.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return done();
}

void waitMs(int ms)
{
    (void)waitUntil([] { return false; }, ms);
}
