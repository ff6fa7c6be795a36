#include "TestSupport.h"

#include "app/DataFile.h"
#include "app/ProgramFolder.h"
#include "app/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTcpServer>

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

QString BuiltProgram(const QString &name)
{
    return QStringLiteral(TAMARIND_BUILD_DIR "/") + name;
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QStringList FileEntries(const QString &path)
{
    return DataFile::EntryIndex(ReadBytes(path)).all();
}

TestWhoisServer::TestWhoisServer(const QStringList &options)
    : m_process(std::make_unique<QProcess>())
{
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(BuiltProgram(QStringLiteral("whois-test-server")),
        QStringList {QStringLiteral("--port"), QStringLiteral("0")} + options);
    if (!m_process->waitForStarted(5000) || !m_process->waitForReadyRead(5000))
        return;
    const QByteArray line = m_process->readLine().trimmed();   // listening on 127.0.0.1:PORT
    m_port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
}

TestWhoisServer::~TestWhoisServer()
{
    m_process->kill();
    m_process->waitForFinished(5000);
}

quint16 UnusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();   // closed again when the server goes
}
