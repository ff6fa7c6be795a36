#include "engine/RdapBackend.h"

#include <QNetworkReply>

RdapBackend::RdapBackend(int slotCount, QObject *parent)
    : LookupBackend(parent)
    , m_slots(size_t(slotCount))
{
    for (int i = 0; i < (slotCount + SlotsPerManager - 1) / SlotsPerManager; ++i)
        m_managers.push_back(std::make_unique<QNetworkAccessManager>());
}

RdapBackend::~RdapBackend()
{
    for (int i = 0; i < int(m_slots.size()); ++i)
        cancel(i);
}

QString RdapBackend::serviceText() const
{
    const QUrl any = m_bases.everyEnding.isEmpty() && !m_bases.byEnding.isEmpty() ? m_bases.byEnding.begin().value()
                                                                                  : m_bases.everyEnding;
    return QStringLiteral("The RDAP service %1").arg(any.adjusted(QUrl::RemovePath).toString());
}

void RdapBackend::ask(int index, const QString &name)
{
    cancel(index);
    Slot &slot = m_slots[size_t(index)];
    slot.name = name;
    slot.asked = m_bases.requestFor(name);
    if (!slot.asked.isValid()) {
        LookupAnswer answer;
        answer.kind = LookupAnswer::Kind::Unreachable;
        answer.hostNotFound = true;   // no service for this ending: asking again does not help
        answer.said = QStringLiteral("no RDAP service is set for %1").arg(name.section('.', -1));
        QMetaObject::invokeMethod(
            this,
            [this, index, answer, lookup = slot.lookup] {
                if (m_slots[size_t(index)].lookup == lookup)
                    emit answered(index, answer);
            },
            Qt::QueuedConnection);
        return;
    }
    QNetworkReply *reply = m_managers[size_t(index / SlotsPerManager)]->get(Rdap::request(slot.asked));
    slot.reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this, index, reply] {
        Slot &s = m_slots[size_t(index)];
        if (s.reply != reply)
            return;
        s.body += Whois::readUpToCap(*reply, s.body.size());
        if (s.body.size() >= Whois::ReplyCap)
            onFinished(index);   // a record this long is no registry's: judged on what came
    });
    connect(reply, &QNetworkReply::finished, this, [this, index, reply] {
        if (m_slots[size_t(index)].reply == reply)
            onFinished(index);
    });
}

void RdapBackend::cancel(int index)
{
    Slot &slot = m_slots[size_t(index)];
    ++slot.lookup;
    if (QNetworkReply *reply = slot.reply) {
        slot.reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    slot.body.clear();
}

void RdapBackend::onFinished(int index)
{
    Slot &slot = m_slots[size_t(index)];
    QNetworkReply *reply = slot.reply;
    slot.body += Whois::readUpToCap(*reply, slot.body.size());
    const std::optional<Rdap::Answer> rdap = Rdap::replyAnswer(*reply, slot.body, slot.name, slot.asked);
    LookupAnswer answer;
    if (!rdap) {
        // No HTTP answer at all: refused, unknown host, TLS failure, a connection cut.
        answer.kind = LookupAnswer::Kind::Unreachable;
        answer.hostNotFound = reply->error() == QNetworkReply::HostNotFoundError;
        answer.said = reply->errorString();
    } else {
        emit reached(index);
        if (slot.reply != reply)
            return;   // the pool stopped meanwhile
        answer.kind =
            rdap->verdict == Whois::Verdict::None ? LookupAnswer::Kind::NoVerdict : LookupAnswer::Kind::Verdict;
        answer.unregistered = rdap->verdict == Whois::Verdict::Free;
        answer.reserved = rdap->reserved;
        answer.said = rdap->said;
        answer.retryAfterMs = rdap->retryAfterMs;
    }
    cancel(index);
    emit answered(index, answer);
}
