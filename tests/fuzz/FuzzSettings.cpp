// The values the program reads back from its settings files: whatever a file holds, a number is read
// as its number or its default, and what the program writes it reads back unchanged.
#include "Fuzz.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "engine/Whois.h"
#include "run/RunControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstring>

namespace {

const Settings::Value<qint64> *const Positions[] = {&Settings::FullWordNum, &Settings::TwoWordNum,
    &Settings::ThreeWordNum, &Settings::FourWordNum, &Settings::CustWordNum, &Settings::YahooWordNum,
    &Settings::GoogleWordNum, &Settings::WordNumber};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication<QCoreApplication>();
    static QTemporaryDir config;
    static const QString runFile = [] {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
        QDir(config.path()).mkpath(QStringLiteral("Tamarind"));
        return config.filePath(QStringLiteral("Tamarind/%1.ini").arg(Settings::RunKey));
    }();

    FuzzInput input(data, size);
    const QByteArray file = input.take(input.byte() * 4);
    const QByteArray value = input.rest();

    // A settings file of any content.
    SettingsStore::reset();
    QFile ini(runFile);
    ini.open(QIODevice::WriteOnly | QIODevice::Truncate);
    ini.write(file);
    ini.close();
    for (const auto *position : Positions) {
        bool ok = false;
        const qint64 stored = position->text().trimmed().toLongLong(&ok);
        FUZZ_CHECK(position->get() == (ok ? stored : position == &Settings::WordNumber ? 0 : 1));
    }
    // A saved position is always an entry number a run can start from.
    for (int source = int(Source::BrowseForNames); source <= int(Source::CustomList); ++source)
        FUZZ_CHECK(ResumeStore::savedPosition(Source(source)) >= 1);

    // What is written is read back, from the file.
    qint64 number = 0;
    std::memcpy(&number, value.constData(), std::min<size_t>(sizeof number, size_t(value.size())));
    const QString text = QString::fromUtf8(value);
    Settings::CustWordNum.set(number);
    Settings::WhoisServer.set(text);
    SettingsStore::flush();
    SettingsStore::reset();
    FUZZ_CHECK(Settings::CustWordNum.get() == number);
    FUZZ_CHECK(Settings::WhoisServer.text() == text);

    // A server read back parses back to itself.
    const Whois::Server server = Whois::Server::parse(text);
    if (server.isValid()) {
        const Whois::Server again = Whois::Server::parse(server.text());
        FUZZ_CHECK(again.host == server.host && again.port == server.port);
    }
    return 0;
}
