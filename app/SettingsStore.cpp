#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>
#include <map>
#include <memory>

namespace {

// One QSettings per file, kept open. The run saves its position after every name; those values are
// held here and handed to QSettings at most twice a second, so the file is not rewritten per name.
struct Stores {
    std::map<QString, std::unique_ptr<QSettings>> open;
    std::map<QString, std::map<QString, QString>> pending;   // application key -> key -> value
    std::unique_ptr<QTimer> timer;
    QString writeError;
};

Stores &stores()
{
    static Stores all;
    return all;
}

QSettings &storeFor(const QString &appKey)
{
    auto &open = stores().open;
    auto it = open.find(appKey);
    if (it == open.end()) {
        auto settings =
            std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tamarind"), appKey);
        it = open.emplace(appKey, std::move(settings)).first;
    }
    return *it->second;
}

QString fullKey(const QString &section, const QString &key)
{
    return section + '/' + key;
}

// Written at once, so that a file that cannot be written is known while the run goes on.
bool writeOut(QSettings &settings)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (stores().writeError.isEmpty())
        stores().writeError = QStringLiteral("the settings file %1 cannot be written").arg(settings.fileName());
    return false;
}

bool applyPending()
{
    bool ok = true;
    auto &pending = stores().pending;
    for (auto &[appKey, values] : pending) {
        QSettings &settings = storeFor(appKey);
        for (auto &[key, value] : values)
            settings.setValue(key, value);
        ok = writeOut(settings) && ok;
    }
    pending.clear();
    return ok;
}

void scheduleApply()
{
    if (!QCoreApplication::instance())
        return;   // applied at flush()
    auto &timer = stores().timer;
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        timer->setInterval(500);
        QObject::connect(timer.get(), &QTimer::timeout, [] { applyPending(); });
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] {
            stores().timer.reset();
            SettingsStore::flush();   // nothing saved is lost at exit
        });
    }
    if (!timer->isActive())
        timer->start();
}

}   // namespace

namespace SettingsStore {

QString get(const QString &appKey, const QString &section, const QString &key, const QString &defaultValue)
{
    const QString name = fullKey(section, key);
    const auto &pending = stores().pending;
    if (const auto app = pending.find(appKey); app != pending.end()) {
        if (const auto value = app->second.find(name); value != app->second.end())
            return value->second;
    }
    const QVariant value = storeFor(appKey).value(name);
    return value.isValid() ? value.toString() : defaultValue;
}

void save(const QString &appKey, const QString &section, const QString &key, const QString &value)
{
    stores().pending[appKey][fullKey(section, key)] = value;
    scheduleApply();
}

bool flush()
{
    bool ok = applyPending();
    for (auto &[key, settings] : stores().open)
        ok = writeOut(*settings) && ok;
    return ok;
}

QString writeError()
{
    return stores().writeError;
}

void reset()
{
    flush();
    stores().open.clear();
    stores().writeError.clear();
}

}   // namespace SettingsStore
