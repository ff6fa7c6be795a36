#include "cli/Command.h"

#include "app/ProgramFolder.h"
#include "app/Settings.h"
#include "engine/LookupName.h"

namespace Cli {

Command endingsCommand()
{
    Command command;
    command.name = QStringLiteral("endings");
    command.arguments = QStringLiteral("[--server H[:P]] [--protocol P] [--rdap-base URL] [--folder DIR] [ENDING...]");
    command.description = QStringLiteral("print how names under each ENDING are asked");
    command.details = QStringLiteral(
        "Prints, one line per ENDING (default: the endings of the setting Endings), how its names are asked:\n"
        "the protocol and the host, for a WHOIS server the rules its replies are read by and where they\n"
        "come from, and the pace a run starts at; or why its names are skipped. Exits 1 when names under\n"
        "an ENDING can get no verdict.");
    command.addOptions = [](QCommandLineParser &parser) {
        addServiceOptions(parser);
        parser.addOption({QStringLiteral("folder"),
            QStringLiteral("Program folder whose service and rules files "
                           "are read."),
            QStringLiteral("DIR")});
        parser.addPositionalArgument(
            QStringLiteral("ENDING"), QStringLiteral("Endings such as de or .co.uk."), QStringLiteral("[ENDING...]"));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) {
        if (parser.isSet(QStringLiteral("folder")))
            ProgramFolder::setPath(parser.value(QStringLiteral("folder")));
        ServiceDirectory service;
        QString serviceError;
        if (!chooseService(parser, &service, &serviceError))
            return usageError(console, serviceError);
        const Names::TypedEndings typed = parser.positionalArguments().isEmpty()
            ? Names::TypedEndings {Settings::endingsList(), {}, {}}
            : Names::typedEndings(parser.positionalArguments().join(QLatin1Char(' ')));
        if (!typed.problem.isEmpty())
            return usageError(console, typed.problem);
        bool allAnswered = true;
        for (const QString &ending : typed.endings) {
            console.print(service.endingText(ending));
            allAnswered = allAnswered && service.answersFor(ending);
        }
        return allAnswered ? 0 : 1;
    };
    return command;
}

}   // namespace Cli
