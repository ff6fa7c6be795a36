#include "cli/Command.h"

#include <QEventLoop>

namespace Cli {

Command WhoisCommand()
{
    Command command;
    command.name = QStringLiteral("whois");
    command.arguments = QStringLiteral("[--server H[:P]] NAME");
    command.description = QStringLiteral("print the WHOIS record of NAME");
    command.details = QStringLiteral("Prints the WHOIS record of NAME as the server sends it. Exits 1 when the\n"
                                     "server cannot be reached or its reply holds no verdict.");
    command.addOptions = [](QCommandLineParser &parser) {
        parser.addOption(ServerOption());
        parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("The domain name."));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) {
        if (parser.positionalArguments().size() != 1)
            return usageError(console, QStringLiteral("whois takes exactly one NAME"));
        Whois::Server server;
        QString serverError;
        if (!ChooseServer(parser, &server, &serverError))
            return usageError(console, serverError);

        WhoisQuery query;
        QByteArray reply;
        QString error;
        QEventLoop loop;
        QObject::connect(&query, &WhoisQuery::finished, &loop, [&](const QByteArray &text, const QString &why) {
            reply = text;
            error = why;
            loop.quit();
        });
        query.start(server, Whois::PrepareLookupName(parser.positionalArguments().constFirst()));
        loop.exec();
        if (!error.isEmpty())
            return failure(console, QStringLiteral("no record from %1: %2").arg(server.text(), error));
        console.out(reply);
        if (reply.size() >= Whois::ReplyCap)
            console.tell(QStringLiteral("tamarind-cli: the record was cut at %1 bytes").arg(Whois::ReplyCap));
        if (Whois::ReplyVerdict(reply, Whois::ConfiguredMarker()) == Whois::Verdict::None)
            return failure(console,
                reply.isEmpty() ? QStringLiteral("%1 closed the connection without a reply").arg(server.text())
                                : QStringLiteral("the reply of %1 holds no verdict").arg(server.text()));
        return 0;
    };
    return command;
}

}   // namespace Cli
