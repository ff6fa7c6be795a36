#pragma once
#include "app/DataFile.h"

#include <QString>

// Reads the entries of the run's source file. It keeps an index of the entries and builds it again
// whenever the file's size or modification time changes, so entry 450,000 costs what entry 1 costs
// and the content on disk is still what counts.
class SourceFeed
{
public:
    void setPath(const QString &path);
    QString path() const { return m_path; }

    // Entry n (from 1); the end sentinel past the last entry or when the file cannot be read.
    QString entry(qint64 n);
    // The number of entries; 0 for a file that cannot be read.
    qint64 count();
    // Whether entry n is a line too long to be a name, of which only the start is read.
    bool isOverlong(qint64 n) { return refresh() && m_index.isOverlong(n); }
    // Empty when the file can be read, otherwise why not.
    QString openError();
    // How often the file has been read: one more means its content changed.
    quint64 loads() const { return m_loads; }
    // The size, modification time and a digest of the first 64 KB of the file as it was read:
    // what a kept resume position is checked against. Empty for a file that cannot be read.
    QString fingerprint() { return refresh() ? m_fingerprint : QString(); }
    // Why a list with `fingerprint` now has `kept` no more ("its size changed", ...); empty
    // when nothing changed or nothing was kept.
    static QString changeFrom(const QString &kept, const QString &fingerprint);

private:
    bool refresh();

    QString m_path;
    DataFile::EntryIndex m_index;
    bool m_loaded = false;
    qint64 m_size = -1;
    qint64 m_modified = -1;   // nanoseconds
    QString m_error;
    QString m_fingerprint;
    quint64 m_loads = 0;
};
