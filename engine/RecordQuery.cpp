#include "engine/RecordQuery.h"

RecordQuery::RecordQuery(QObject *parent)
    : QObject(parent)
{
    connect(&m_fetch, &RdapFetch::finished, this, &RecordQuery::rdapFinished);
    connect(&m_whois, &WhoisFetch::finished, this, [this](const WhoisFetch::Result &result) {
        Record record;
        record.raw = result.reply;
        record.text = QString::fromLatin1(result.reply);
        record.answer = result.answerFor(m_name, Whois::configuredMarker());
        if (m_service.protocol == Rdap::Protocol::Auto && record.answer.kind != LookupAnswer::Kind::Verdict) {
            m_whoisFailure = record.answer.said;
            return askRdap();
        }
        finish(record);
    });
}

// The queries end without a word: nothing of theirs reaches an owner that is going away.
RecordQuery::~RecordQuery()
{
    m_fetch.cancel();
    m_whois.cancel();
}

void RecordQuery::start(const ServiceDirectory &service, const QString &name, int timeoutMs)
{
    m_fetch.cancel();
    m_service = service;
    m_name = name;
    m_timeoutMs = timeoutMs;
    m_whoisFailure.clear();
    if (service.serviceFor(name).protocol == Rdap::Protocol::Rdap)
        askRdap();
    else
        m_whois.start(service.server, name, timeoutMs);
}

void RecordQuery::askRdap()
{
    const QUrl asked = m_service.serviceFor(m_name).rdapRequest;
    if (!asked.isValid()) {
        Record record;
        record.viaRdap = true;
        record.answer.kind = LookupAnswer::Kind::Unreachable;
        record.answer.said = QStringLiteral("no RDAP service is set for .%1").arg(m_name.section('.', -1));
        return finish(record);
    }
    m_fetch.start(asked, m_timeoutMs);
}

void RecordQuery::rdapFinished(const RdapFetch::Result &result)
{
    Record record;
    record.viaRdap = true;
    record.raw = result.reply.body;
    record.answer = result.answerFor(m_name);
    if (result.reply.status != 0)
        record.text = result.reply.status == 200 ? Rdap::readableRecord(record.raw) : QString::fromUtf8(record.raw);
    finish(record);
}

void RecordQuery::finish(const Record &record)
{
    Record told = record;
    if (!m_whoisFailure.isEmpty() && !told.hasReply())
        told.answer.said = QStringLiteral("WHOIS: %1; RDAP: %2").arg(m_whoisFailure, told.answer.said);
    emit finished(told);
}
