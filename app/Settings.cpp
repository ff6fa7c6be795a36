#include "app/Settings.h"

#include "app/SettingsStore.h"

#include <QRegularExpression>
#include <QUrl>

namespace Settings {

namespace {

QString fromText(const QString &text, const QString &)
{
    return text;
}

qint64 fromText(const QString &text, qint64 fallback)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok ? value : fallback;
}

// 1 and 0 as the program writes them; true/false, yes/no and on/off as a person may.
bool fromText(const QString &text, bool fallback)
{
    const QString trimmed = text.trimmed().toLower();
    for (const char *yes : {"1", "true", "yes", "on"}) {
        if (trimmed == QLatin1String(yes))
            return true;
    }
    for (const char *no : {"0", "false", "no", "off"}) {
        if (trimmed == QLatin1String(no))
            return false;
    }
    return fallback;
}

QString toText(const QString &value)
{
    return value;
}
QString toText(qint64 value)
{
    return QString::number(value);
}
QString toText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

}   // namespace

template<typename T> bool Value<T>::fromEnvironment() const
{
    return !m_environment.isEmpty() && qEnvironmentVariableIsSet(qPrintable(m_environment));
}

template<typename T> QString Value<T>::text() const
{
    if (fromEnvironment())
        return qEnvironmentVariable(qPrintable(m_environment));
    return SettingsStore::get(m_appKey, m_section, m_key, toText(m_default));
}

template<typename T> T Value<T>::get() const
{
    return fromText(text(), m_default);
}

template<typename T> void Value<T>::set(const T &value) const
{
    SettingsStore::save(m_appKey, m_section, m_key, toText(value));
}

template<typename T> QString Value<T>::origin() const
{
    if (fromEnvironment())
        return QStringLiteral("the variable %1").arg(m_environment);
    return QStringLiteral("the setting %1 in [%2] of %3.ini").arg(m_key, m_section, m_appKey);
}

template class Value<QString>;
template class Value<qint64>;
template class Value<bool>;

Value<qint64> cliPosition(const QString &absoluteListPath)
{
    // A path holds "/", which the store would read as nested sections.
    const QString key = QString::fromLatin1(QUrl::toPercentEncoding(absoluteListPath));
    return Value<qint64>(ProductKey, QStringLiteral("CliPositions"), key, 1);
}

Value<qint64> customListPosition(const QString &absoluteListPath)
{
    const QString key = QString::fromLatin1(QUrl::toPercentEncoding(absoluteListPath));
    return Value<qint64>(RunKey, QStringLiteral("CustomListPositions"), key, 1);
}

Value<QString> listFingerprint(const Value<qint64> &position)
{
    return Value<QString>(position.appKey(), position.section(), position.key() + QStringLiteral("List"), {});
}

QStringList endingsList(const QString &text)
{
    QStringList endings;
    QStringList asked;   // each ending in its IDNA form: "рф" and "xn--p1ai" are one ending
    for (QString ending : text.toLower().split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        while (ending.startsWith(QLatin1Char('.')))
            ending.remove(0, 1);
        const QString ace = QString::fromLatin1(QUrl::toAce(ending));
        if (!ending.isEmpty() && !asked.contains(ace.isEmpty() ? ending : ace)) {
            asked << (ace.isEmpty() ? ending : ace);
            endings << ending;
        }
    }
    return endings.isEmpty() ? QStringList {QStringLiteral("com")} : endings;
}

bool flush()
{
    return SettingsStore::flush();
}

QString writeError()
{
    return SettingsStore::writeError();
}

}   // namespace Settings
