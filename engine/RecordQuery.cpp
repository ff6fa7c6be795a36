#include "engine/RecordQuery.h"

#include <QNetworkReply>

RecordQuery::RecordQuery(QObject *parent)
    : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        Record record;
        record.viaRdap = true;
        record.error = QStringLiteral("the RDAP service did not answer in time");
        if (m_reply)
            m_reply->disconnect(this), m_reply->abort();
        finish(record);
    });
    connect(&m_whois, &WhoisQuery::finished, this, [this](const QByteArray &reply, const QString &error) {
        Record record;
        record.raw = reply;
        record.text = QString::fromLatin1(reply);
        record.error = error;
        record.verdict = error.isEmpty() ? Whois::replyVerdict(reply, Whois::configuredMarker()) : Whois::Verdict::None;
        if (record.error.isEmpty() && record.verdict == Whois::Verdict::None)
            record.said = reply.isEmpty() ? QStringLiteral("the connection closed without a reply")
                                          : QStringLiteral("the reply holds no verdict");
        if (m_service.protocol == Rdap::Protocol::Auto && record.verdict == Whois::Verdict::None) {
            m_whoisFailure = record.error.isEmpty() ? record.said : record.error;
            return askRdap();
        }
        finish(record);
    });
}

RecordQuery::~RecordQuery()
{
    if (m_reply)
        m_reply->abort();
}

void RecordQuery::start(const LookupService &service, const QString &name, int timeoutMs)
{
    m_service = service;
    m_name = name;
    m_timeoutMs = timeoutMs;
    m_whoisFailure.clear();
    if (service.protocol == Rdap::Protocol::Rdap)
        askRdap();
    else
        m_whois.start(service.server, name, timeoutMs);
}

void RecordQuery::askRdap()
{
    m_asked = m_service.bases.requestFor(m_name);
    if (!m_asked.isValid()) {
        Record record;
        record.viaRdap = true;
        record.error = QStringLiteral("no RDAP service is set for .%1").arg(m_name.section('.', -1));
        return finish(record);
    }
    if (m_timeoutMs > 0)
        m_timeout.start(m_timeoutMs);
    m_reply = m_manager.get(Rdap::request(m_asked));
    connect(m_reply, &QNetworkReply::finished, this, &RecordQuery::rdapFinished);
}

void RecordQuery::rdapFinished()
{
    QNetworkReply *reply = m_reply;
    reply->deleteLater();
    Record record;
    record.viaRdap = true;
    record.raw = reply->read(Whois::ReplyCap);
    if (const std::optional<Rdap::Answer> answer = Rdap::replyAnswer(*reply, record.raw, m_name, m_asked)) {
        record.verdict = answer->verdict;
        record.said = answer->said;
        record.text = answer->status == 200 ? Rdap::readableRecord(record.raw) : QString::fromUtf8(record.raw);
    } else {
        record.error = reply->errorString();
    }
    finish(record);
}

void RecordQuery::finish(const Record &record)
{
    m_timeout.stop();
    Record told = record;
    if (!m_whoisFailure.isEmpty() && !told.error.isEmpty())
        told.error = QStringLiteral("WHOIS: %1; RDAP: %2").arg(m_whoisFailure, told.error);
    emit finished(told);
}
