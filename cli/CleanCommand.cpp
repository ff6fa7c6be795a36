#include "cli/Command.h"

#include "engine/NameText.h"

namespace Cli {

Command cleanCommand()
{
    Command command;
    command.name = QStringLiteral("clean");
    command.arguments = QStringLiteral("NAME...");
    command.description = QStringLiteral("print each NAME decoded and cleaned, as it is looked up");
    command.details = QStringLiteral("Prints, one line per NAME, the name percent-decoded and then cleaned of\n"
                                     "punctuation and search operators: the text a lookup starts from.");
    command.addOptions = [](QCommandLineParser &parser) {
        parser.addPositionalArgument(
            QStringLiteral("NAME"), QStringLiteral("Names to clean."), QStringLiteral("NAME..."));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) {
        const QStringList names = parser.positionalArguments();
        if (names.isEmpty())
            return usageError(console, QStringLiteral("clean needs at least one NAME"));
        QByteArray lines;
        for (const QString &name : names) {
            QString cleaned = URLDecode(name);
            lines += CorrectName(cleaned).toLocal8Bit() + '\n';
        }
        console.out(lines);
        return 0;
    };
    return command;
}

}   // namespace Cli
