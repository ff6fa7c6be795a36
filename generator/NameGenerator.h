#pragma once
#include <QObject>
#include <QStringList>
#include <QTimer>

// Which names the Domain Name Creator makes: the combination kinds and the extensions.
struct GeneratorOptions {
    bool prefixes = true;
    bool suffixes = true;
    bool hyphens = true;
    bool com = true;
    bool net = true;
    bool org = false;
    QStringList moreEndings;   // after .com, .net and .org: the further endings the user chose
};

// Names from a base word and affixes: for each affix the prefix forms, then the suffix forms, each
// plain and then hyphenated, each with ".com", ".net", ".org" and then the further endings. Spaces are removed; nothing
// else changes (no deduplication, no cleaning, letter case kept).
namespace NameGenerator {

// An affix line is anything but an empty line, a single blank, or a line with control characters.
bool isAffix(const QString &line);
// A tab, NUL, line break or other control character has no place in a name.
bool hasControlCharacter(const QString &text);
// Appends the names one affix makes, in their order.
void appendNames(const QString &base, const QString &affix, const GeneratorOptions &options, QStringList &names);
QStringList generate(const QString &base, const QStringList &affixes, const GeneratorOptions &options);
// The endings chosen beyond the three the window has boxes for.
QStringList furtherEndings(const QStringList &endings);

}   // namespace NameGenerator

// The affix list, Appends.txt, kept as typed, one affix per line.
namespace AffixList {

// The affixes of the file in order; error says why a file cannot be read.
QStringList load(const QString &path, QString *error);
// Adds the text as one line at the end of the file.
bool add(const QString &path, const QString &text, QString *error);
// Removes every line equal to text (letter case counts) and writes the rest back, two line breaks
// in a row becoming one, with one line break at the end.
bool remove(const QString &path, const QString &text, QString *error);

}   // namespace AffixList

// Rewrites CreatedDomains.txt with the names and one further line break, all at once.
bool writeCreatedDomains(const QString &path, const QStringList &names, QString *error);

// A generation that goes a slice of affixes at a time and returns to the event loop between
// slices, so that a list of 100,000 affixes leaves the window responsive.
class NameGeneration : public QObject
{
    Q_OBJECT

public:
    explicit NameGeneration(QObject *parent = nullptr);
    void start(const QString &base, const QStringList &affixes, const GeneratorOptions &options);
    bool isRunning() const { return m_running; }

signals:
    // After each affix: the names made so far.
    void progress(int total);
    // The names of a slice, to be shown.
    void namesMade(const QStringList &names);
    void finished(const QStringList &names);

private:
    void generateSlice();

    QString m_base;
    QStringList m_affixes;
    GeneratorOptions m_options;
    qsizetype m_next = 0;
    QStringList m_names;
    bool m_running = false;
    QTimer m_slice;
};
