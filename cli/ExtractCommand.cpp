#include "cli/Command.h"

#include "app/DataFile.h"
#include "harvest/ExtractDomains.h"

#include <QDir>
#include <QFile>

namespace Cli {

namespace {

// Pages put whole scripts on one line; a line longer than this is no markup to search.
constexpr qsizetype MaxPageLineBytes = 4 << 20;

const QCommandLineOption VariantOption(QStringLiteral("variant"),
    QStringLiteral("list (names from links, as the list builder takes them) or browser (names anywhere, and frames; "
                   "the default)."),
    QStringLiteral("VARIANT"), QStringLiteral("browser"));

int extract(const QCommandLineParser &parser, const Console &console)
{
    const QString variantName = parser.value(VariantOption);
    if (variantName != QLatin1String("list") && variantName != QLatin1String("browser"))
        return usageError(console, QStringLiteral("--variant takes list or browser, not \"%1\"").arg(variantName));
    if (parser.positionalArguments().size() > 1)
        return usageError(console, QStringLiteral("extract takes at most one FILE"));
    const QString path = parser.positionalArguments().value(0, QStringLiteral("-"));
    QFile file;
    if (const QString refusal = DataFile::openText(file, path, DataFile::Pipes::Allow); !refusal.isEmpty())
        return failure(console, QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), refusal));
    // The page's lines, as a list's are read: a line past the cap (a stream without line breaks)
    // costs no memory.
    const DataFile::EntryIndex lines = DataFile::EntryIndex::read(file, DataFile::Blanks::Keep, MaxPageLineBytes);
    if (lines.overlong() > 0)
        console.tell(QStringLiteral("tamarind-cli: skipped %1 line(s) longer than %2 MB")
                         .arg(lines.overlong())
                         .arg(MaxPageLineBytes >> 20));
    const QString body = lines.all().join('\n');
    DomainList accepted;
    const Extraction found = DomainExtraction::ExtractDomains(
        body, variantName == QLatin1String("list") ? ExtractVariant::List : ExtractVariant::Browser, accepted);
    for (const QString &frame : found.frames)
        console.tell(QStringLiteral("Following Frame: ") + frame);
    console.out(found.names.isEmpty() ? QByteArray() : found.names.join('\n').toUtf8() + '\n');
    return 0;
}

}   // namespace

Command extractCommand()
{
    Command command;
    command.name = QStringLiteral("extract");
    command.arguments = QStringLiteral("[--variant list|browser] [FILE]");
    command.description = QStringLiteral("print the domain names a page's body markup yields");
    command.details = QStringLiteral(
        "Runs the domain extraction over FILE (standard input when absent or \"-\"), taken as a page's\n"
        "body markup, and prints each accepted name on a line of its own, in order. The frame addresses\n"
        "the browser variant would follow go to standard error as \"Following Frame: ADDRESS\".");
    command.addOptions = [](QCommandLineParser &parser) {
        parser.addOption(VariantOption);
        parser.addPositionalArgument(
            QStringLiteral("FILE"), QStringLiteral("The page's body markup."), QStringLiteral("[FILE]"));
    };
    command.run = extract;
    return command;
}

}   // namespace Cli
