#include "run/ResumeStore.h"

#include "run/SourceFeed.h"

#include <QDir>
#include <QFileInfo>

const Settings::Value<qint64> *ResumeStore::settingFor(Source source)
{
    switch (source) {
    case Source::FullWordList: return &Settings::FullWordNum;
    case Source::AllTwoLetter: return &Settings::TwoWordNum;
    case Source::AllThreeLetter: return &Settings::ThreeWordNum;
    case Source::AllFourLetter: return &Settings::FourWordNum;
    case Source::CustomList: return &Settings::CustWordNum;
    case Source::YahooSearch: return &Settings::YahooWordNum;
    case Source::GoogleSearch: return &Settings::GoogleWordNum;
    default: return nullptr;
    }
}

qint64 ResumeStore::savedPosition(Source source)
{
    // A settings file edited by hand may hold any number: one below 1 is no entry, the list's start is.
    const Settings::Value<qint64> *setting = settingFor(source);
    return setting ? std::max<qint64>(1, setting->get()) : 1;
}

ResumeStart ResumeStore::resumeStart(const Settings::Value<qint64> &setting, SourceFeed &feed)
{
    const qint64 kept = std::max<qint64>(1, setting.get());
    const QString change = SourceFeed::changeFrom(Settings::listFingerprint(setting).get(), feed.fingerprint());
    if (kept == 1 || change.isEmpty())
        return {kept, {}};
    return {1,
        QStringLiteral("%1 changed since entry %2 was kept as its resume position (%3), so it starts at entry 1.")
            .arg(QDir::toNativeSeparators(feed.path()), QString::number(kept), change)};
}

ResumeStart ResumeStore::customListStart(SourceFeed &feed)
{
    return resumeStart(Settings::customListPosition(QFileInfo(feed.path()).absoluteFilePath()), feed);
}

void ResumeStore::begin(Source source, const QString &path, const QString &fingerprint)
{
    m_source = source;
    m_path = QFileInfo(path).absoluteFilePath();
    m_fingerprint = fingerprint;
    m_saved = -1;
}

void ResumeStore::save(qint64 position)
{
    if (position == m_saved)
        return;
    // The list's fingerprint goes beside its position once a run: a list changed by the next
    // start is then known as changed.
    const bool firstSave = m_saved < 0;
    m_saved = position;
    const auto keep = [&](const Settings::Value<qint64> &setting) {
        setting.set(position);
        if (firstSave)
            Settings::listFingerprint(setting).set(m_fingerprint);
    };
    if (!m_custom.isEmpty()) {
        for (const Settings::Value<qint64> &setting : std::as_const(m_custom))
            keep(setting);
    } else {
        if (const Settings::Value<qint64> *setting = settingFor(m_source))
            keep(*setting);
        if (m_source == Source::CustomList)
            keep(Settings::customListPosition(m_path));
        Settings::WordNumber.set(position);
    }
    // The run's first position goes to disk at once: a run killed in its first moments would
    // otherwise leave the last run's position, and a resume would skip what this one never asked.
    if (firstSave)
        Settings::flush();
}
