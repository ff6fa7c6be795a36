#include "app/SettingsStore.h"

#include <QSettings>
#include <map>
#include <memory>

namespace {

std::map<QString, std::unique_ptr<QSettings>> &stores()
{
    static std::map<QString, std::unique_ptr<QSettings>> open;
    return open;
}

// One QSettings per file, kept open: the feed saves after every name, and a fresh object per call
// would write the whole file each time.
QSettings &storeFor(const QString &appKey)
{
    auto &open = stores();
    auto it = open.find(appKey);
    if (it == open.end()) {
        auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                    QStringLiteral("Tamarind"), appKey);
        it = open.emplace(appKey, std::move(settings)).first;
    }
    return *it->second;
}

QString fullKey(const QString &section, const QString &key)
{
    return section + '/' + key;
}

} // namespace

namespace SettingsStore {

QString get(const QString &appKey, const QString &section, const QString &key,
            const QString &defaultValue)
{
    const QVariant value = storeFor(appKey).value(fullKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void save(const QString &appKey, const QString &section, const QString &key, const QString &value)
{
    storeFor(appKey).setValue(fullKey(section, key), value);
}

void flush()
{
    for (auto &[key, settings] : stores())
        settings->sync();
}

void reset()
{
    flush();
    stores().clear();
}

} // namespace SettingsStore
