#include "cli/Command.h"

#include "app/Settings.h"

#include "app/Startup.h"

#include "app/ProgramFiles.h"
#include "generator/NameGenerator.h"

#include <QDir>

namespace Cli {

namespace {

const QCommandLineOption BaseOption(
    QStringLiteral("base"), QStringLiteral("The base word of every name."), QStringLiteral("WORD"));
const QCommandLineOption AffixesOption(QStringLiteral("affixes"),
    QStringLiteral("The affix list (default: Appends.txt of the program folder)."), QStringLiteral("FILE"));
const QCommandLineOption NoPrefixes(
    QStringLiteral("no-prefixes"), QStringLiteral("Make no names with the affix in front."));
const QCommandLineOption NoSuffixes(
    QStringLiteral("no-suffixes"), QStringLiteral("Make no names with the affix behind."));
const QCommandLineOption NoHyphens(QStringLiteral("no-hyphens"), QStringLiteral("Make no hyphenated names."));
const QCommandLineOption NoCom(QStringLiteral("no-com"), QStringLiteral("Make no .com names."));
const QCommandLineOption NoNet(QStringLiteral("no-net"), QStringLiteral("Make no .net names."));
const QCommandLineOption Org(QStringLiteral("org"), QStringLiteral("Make .org names too."));

int generate(const QCommandLineParser &parser, const Console &console)
{
    if (!parser.isSet(BaseOption))
        return usageError(console, QStringLiteral("generate needs --base WORD"));
    if (!parser.positionalArguments().isEmpty())
        return usageError(console, QStringLiteral("generate takes no FILE; give the affix list with --affixes"));
    const QString base = parser.value(BaseOption);
    if (base.trimmed().isEmpty())
        return usageError(console, QStringLiteral("--base takes a word, not an empty text"));
    if (NameGenerator::hasControlCharacter(base))
        return usageError(console, QStringLiteral("--base takes a word without control characters or line breaks"));
    const QString path =
        parser.isSet(AffixesOption) ? parser.value(AffixesOption) : ProgramFiles::path(ProgramFiles::File::Appends);
    if (!parser.isSet(AffixesOption))
        Startup::ensureInstalledData();   // an installed program's first start brings its affix list
    QString error;
    const QStringList affixes = AffixList::load(path, &error);
    if (!error.isEmpty())
        return failure(
            console, QStringLiteral("the affix list %1 cannot be read: %2").arg(QDir::toNativeSeparators(path), error));
    GeneratorOptions options;
    options.prefixes = !parser.isSet(NoPrefixes);
    options.suffixes = !parser.isSet(NoSuffixes);
    options.hyphens = !parser.isSet(NoHyphens);
    options.com = !parser.isSet(NoCom);
    options.net = !parser.isSet(NoNet);
    options.org = parser.isSet(Org);
    options.moreEndings = NameGenerator::furtherEndings(Settings::endingsList());
    // Printed as they are made: a million affixes make eight million names.
    QStringList names;
    qsizetype refused = 0;
    for (const QString &affix : affixes) {
        if (NameGenerator::hasControlCharacter(affix)) {
            ++refused;
            continue;
        }
        NameGenerator::appendNames(base, affix, options, names);
        if (names.size() >= 4096) {
            console.out(names.join('\n').toUtf8() + '\n');
            names.clear();
        }
    }
    if (!names.isEmpty())
        console.out(names.join('\n').toUtf8() + '\n');
    if (refused > 0)
        console.tell(QStringLiteral("tamarind-cli: skipped %1 affix(es) of %2 with control characters or line breaks")
                         .arg(refused)
                         .arg(QDir::toNativeSeparators(path)));
    return 0;
}

}   // namespace

Command generateCommand()
{
    Command command;
    command.name = QStringLiteral("generate");
    command.arguments = QStringLiteral(
        "--base WORD [--affixes FILE] [--no-prefixes] [--no-suffixes] [--no-hyphens] [--no-com] [--no-net] [--org]");
    command.description = QStringLiteral("print the names the Domain Name Creator makes, in its order");
    command.details = QStringLiteral(
        "Prints the names the Domain Name Creator makes from the base word and each affix: the affix in\n"
        "front, plain and hyphenated, then behind, each as .com and .net. Spaces are removed.");
    command.addOptions = [](QCommandLineParser &parser) {
        parser.addOptions({BaseOption, AffixesOption, NoPrefixes, NoSuffixes, NoHyphens, NoCom, NoNet, Org});
    };
    command.run = generate;
    return command;
}

}   // namespace Cli
