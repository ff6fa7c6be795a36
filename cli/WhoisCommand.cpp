#include "cli/Command.h"

#include <QEventLoop>
#include <QStringDecoder>

namespace Cli {

QByteArray shownOnTerminal(const QByteArray &bytes)
{
    const auto escape = [](uint c) {
        return QStringLiteral("\\x") + QString::number(c, 16).toUpper().rightJustified(2, '0');
    };
    const auto isShown = [](uint c) {
        return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c <= 0x9F));
    };
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    QString shown;
    shown.reserve(bytes.size());
    if (!utf8.hasError()) {
        // Control characters of the wider range (U+0080 to U+009F) act on a terminal too.
        for (const QChar c : text)
            shown += c.category() == QChar::Other_Control && !isShown(c.unicode()) ? escape(c.unicode()) : QString(c);
        return shown.toUtf8();
    }
    QByteArray raw;
    for (const char byte : bytes) {
        const auto c = uint(uchar(byte));
        if (isShown(c))
            raw += byte;
        else
            raw += escape(c).toLatin1();
    }
    return raw;
}

Command whoisCommand()
{
    Command command;
    command.name = QStringLiteral("whois");
    command.arguments = QStringLiteral("[--server H[:P]] NAME");
    command.description = QStringLiteral("print the WHOIS record of NAME");
    command.details = QStringLiteral("Prints the WHOIS record of NAME as the server sends it. Exits 1 when the\n"
                                     "server cannot be reached or its reply holds no verdict.");
    command.addOptions = [](QCommandLineParser &parser) {
        parser.addOption(serverOption());
        parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("The domain name."));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) {
        if (parser.positionalArguments().size() != 1)
            return usageError(console, QStringLiteral("whois takes exactly one NAME"));
        Whois::Server server;
        QString serverError;
        if (!chooseServer(parser, &server, &serverError))
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
        const QString given = parser.positionalArguments().constFirst();
        const Whois::LookupName asked = Whois::prepareLookup(given);
        if (!asked.isAsked())
            return usageError(console, Whois::skipReason(given, asked.skip));
        query.start(server, asked.name);
        loop.exec();
        if (!error.isEmpty())
            return failure(console, QStringLiteral("no record from %1: %2").arg(server.text(), error));
        console.out(console.outIsTerminal ? shownOnTerminal(reply) : reply);
        if (reply.size() >= Whois::ReplyCap)
            console.tell(QStringLiteral("tamarind-cli: the record was cut at %1 bytes").arg(Whois::ReplyCap));
        if (Whois::replyVerdict(reply, Whois::configuredMarker()) == Whois::Verdict::None)
            return failure(console,
                reply.isEmpty() ? QStringLiteral("%1 closed the connection without a reply").arg(server.text())
                                : QStringLiteral("the reply of %1 holds no verdict").arg(server.text()));
        return 0;
    };
    return command;
}

}   // namespace Cli
