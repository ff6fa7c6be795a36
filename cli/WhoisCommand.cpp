#include "cli/Command.h"
#include "engine/ReplyCap.h"

#include "engine/RecordQuery.h"

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
    command.arguments = QStringLiteral("[--server H[:P]] [--protocol P] [--rdap-base URL] NAME");
    command.description = QStringLiteral("print the WHOIS or RDAP record of NAME");
    command.details = QStringLiteral("Prints the WHOIS record of NAME as the server sends it, or its RDAP record as\n"
                                     "readable text followed by the JSON. Exits 1 when the service cannot be reached\n"
                                     "or its reply holds no verdict.");
    command.addOptions = [](QCommandLineParser &parser) {
        addServiceOptions(parser);
        parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("The domain name."));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) {
        if (parser.positionalArguments().size() != 1)
            return usageError(console, QStringLiteral("whois takes exactly one NAME"));
        ServiceDirectory service;
        QString serviceError;
        if (!chooseService(parser, &service, &serviceError))
            return usageError(console, serviceError);

        const QString given = parser.positionalArguments().constFirst();
        const Names::LookupName asked = Names::prepareLookup(given);
        if (!asked.isAsked())
            return usageError(console, Names::skipReason(given, asked.skip));
        RecordQuery query;
        RecordQuery::Record record;
        QEventLoop loop;
        QObject::connect(&query, &RecordQuery::finished, &loop, [&](const RecordQuery::Record &answer) {
            record = answer;
            loop.quit();
        });
        query.start(service, asked.name);
        loop.exec();
        const QString source =
            record.viaRdap ? service.serviceFor(asked.name).rdapRequest.toString() : service.server.text();
        if (!record.hasReply())
            return failure(console, QStringLiteral("no record from %1: %2").arg(source, record.answer.said));
        const QByteArray text = record.viaRdap ? record.text.toUtf8() : record.raw;
        console.out(console.outIsTerminal ? shownOnTerminal(text) : text);
        if (record.viaRdap && !text.endsWith('\n'))
            console.out("\n");
        if (record.raw.size() >= Reply::Cap)
            console.tell(QStringLiteral("tamarind-cli: the record was cut at %1 bytes").arg(Reply::Cap));
        if (record.answer.verdict() == Verdict::None)
            return failure(console,
                record.raw.isEmpty() && !record.viaRdap
                    ? QStringLiteral("%1 closed the connection without a reply").arg(source)
                    : QStringLiteral("the reply of %1 holds no verdict: %2").arg(source, record.answer.said));
        return 0;
    };
    return command;
}

}   // namespace Cli
