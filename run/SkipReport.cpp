#include "run/SkipReport.h"

#include "app/DataFile.h"

void SkipReport::begin(const QString &path)
{
    m_path = path;
    m_lines.clear();
    m_written = false;
}

void SkipReport::note(qint64 entry, const QString &why)
{
    m_lines << QStringLiteral("entry %1: %2").arg(QString::number(entry), why);
    if (m_lines.size() >= LinesPerWrite)
        flush();
}

void SkipReport::flush()
{
    if (m_lines.isEmpty())
        return;
    m_written |= DataFile::append(m_path, m_lines);
    m_lines.clear();
}
