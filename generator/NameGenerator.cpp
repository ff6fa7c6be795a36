#include "generator/NameGenerator.h"

#include "app/DataFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace NameGenerator {

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph;
    });
}

QStringList furtherEndings(const QStringList &endings)
{
    QStringList further = endings;
    further.removeIf([](const QString &ending) {
        return ending == QLatin1String("com") || ending == QLatin1String("net") || ending == QLatin1String("org");
    });
    return further;
}

bool isAffix(const QString &line)
{
    return !line.isEmpty() && line != QLatin1String(" ") && !hasControlCharacter(line);
}

void appendNames(const QString &base, const QString &affix, const GeneratorOptions &options, QStringList &names)
{
    const auto emitStem = [&](QString stem) {
        stem.remove(QLatin1Char(' '));
        if (options.com)
            names.append(stem + QLatin1String(".com"));
        if (options.net)
            names.append(stem + QLatin1String(".net"));
        if (options.org)
            names.append(stem + QLatin1String(".org"));
        for (const QString &ending : options.moreEndings)
            names.append(stem + QLatin1Char('.') + ending);
    };
    if (options.prefixes) {
        emitStem(affix + base);
        if (options.hyphens)
            emitStem(affix + QLatin1Char('-') + base);
    }
    if (options.suffixes) {
        emitStem(base + affix);
        if (options.hyphens)
            emitStem(base + QLatin1Char('-') + affix);
    }
}

QStringList generate(const QString &base, const QStringList &affixes, const GeneratorOptions &options)
{
    QStringList names;
    names.reserve(affixes.size() * 8);
    for (const QString &affix : affixes) {
        if (isAffix(affix))
            appendNames(base, affix, options, names);
    }
    return names;
}

}   // namespace NameGenerator

namespace AffixList {

namespace {

// Every line of the text, empty ones included; a last line without a line break counts.
QStringList allLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

}   // namespace

// Read as every list is: UTF-8, UTF-16 with its byte order mark, or Latin-1, lines of at most
// 64 KB; a device or a file with NUL bytes is refused.
QStringList load(const QString &path, QString *error)
{
    QFile file;
    if (const QString refusal = DataFile::openText(file, path); !refusal.isEmpty()) {
        *error = refusal;
        return {};
    }
    return DataFile::EntryIndex::read(file, DataFile::Blanks::SkipSingleSpace).all();
}

bool add(const QString &path, const QString &text, QString *error)
{
    // A last line without its line break would otherwise run into the new affix.
    QFile file(path);
    bool openLastLine = false;
    if (file.open(QIODevice::ReadOnly) && file.size() > 0 && file.seek(file.size() - 1)) {
        const QByteArray last = file.read(1);
        openLastLine = last != "\n" && last != "\r";
    }
    file.close();
    return DataFile::append(path, openLastLine ? QStringList {QString(), text} : QStringList {text}, error);
}

bool remove(const QString &path, const QString &text, QString *error)
{
    QFile file;
    if (const QString refusal = DataFile::openText(file, path); !refusal.isEmpty()) {
        *error = refusal;
        return false;
    }
    const QByteArray content = file.readAll();
    QString kept;
    const QString decoded =
        DataFile::EntryIndex::isUtf8(content) ? QString::fromUtf8(content) : QString::fromLatin1(content);
    for (const QString &line : allLines(decoded)) {
        if (line != text)
            kept += line + QLatin1String("\r\n");
    }
    kept.replace(QLatin1String("\r\n\r\n"), QLatin1String("\r\n"));
    return DataFile::rewriteBytes(path, kept.toUtf8() + "\r\n", error);
}

}   // namespace AffixList

bool writeCreatedDomains(const QString &path, const QStringList &names, QString *error)
{
    return DataFile::rewriteBytes(path, DataFile::encode(names) + "\r\n", error);
}

NameGeneration::NameGeneration(QObject *parent)
    : QObject(parent)
{
    m_slice.setSingleShot(true);
    m_slice.setInterval(0);
    connect(&m_slice, &QTimer::timeout, this, &NameGeneration::generateSlice);
}

void NameGeneration::start(const QString &base, const QStringList &affixes, const GeneratorOptions &options)
{
    m_base = base;
    m_affixes = affixes;
    m_options = options;
    m_next = 0;
    m_names.clear();
    m_running = true;
    m_slice.start();
}

// About 20 ms of work, then back to the event loop.
void NameGeneration::generateSlice()
{
    QElapsedTimer clock;
    clock.start();
    const qsizetype first = m_names.size();
    while (m_next < m_affixes.size() && clock.elapsed() < 20) {
        const QString &affix = m_affixes[m_next++];
        if (!NameGenerator::isAffix(affix))
            continue;
        NameGenerator::appendNames(m_base, affix, m_options, m_names);
        emit progress(int(m_names.size()));
    }
    emit namesMade(m_names.mid(first));
    if (m_next < m_affixes.size()) {
        m_slice.start();
        return;
    }
    m_running = false;
    emit finished(m_names);
}
