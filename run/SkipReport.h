#pragma once
#include <QString>
#include <QStringList>

// The file that names each line a run skipped, and why. It is written in pieces; it is no result,
// and a run goes on without it.
class SkipReport
{
public:
    static constexpr int LinesPerWrite = 500;

    // A new run: its report goes to `path`.
    void begin(const QString &path);
    void note(qint64 entry, const QString &why);
    // Writes what is noted and not yet written.
    void flush();
    // Where the report is, once any of it was written; empty before.
    QString writtenPath() const { return m_written ? m_path : QString(); }

private:
    QString m_path;
    QStringList m_lines;   // not written yet
    bool m_written = false;
};
