#pragma once
#include "engine/RdapFetch.h"
#include "engine/ServiceDirectory.h"
#include "engine/WhoisFetch.h"

#include <QNetworkAccessManager>
#include <QObject>

// One name's record, for showing: from the WHOIS server, from RDAP, or under "auto" from WHOIS and
// from RDAP when WHOIS fails or its reply holds no verdict.
class RecordQuery : public QObject
{
    Q_OBJECT

public:
    struct Record {
        LookupAnswer answer;   // Unreachable, with why, when no reply came
        QByteArray raw;        // as received
        QString text;          // as a reader wants it: WHOIS as it came, RDAP's fields and then its JSON
        bool viaRdap = false;
        bool hasReply() const { return answer.kind != LookupAnswer::Kind::Unreachable; }
    };

    explicit RecordQuery(QObject *parent = nullptr);
    ~RecordQuery() override;
    // Asks about the name as given; finished() follows once. With no timeout (0) a lookup waits
    // until the server answers or closes.
    void start(const ServiceDirectory &service, const QString &name, int timeoutMs = 30000);

signals:
    void finished(const RecordQuery::Record &record);

private:
    void askRdap();
    void rdapFinished(const RdapFetch::Result &result);
    void finish(const Record &record);

    WhoisFetch m_whois;
    QNetworkAccessManager m_manager;
    RdapFetch m_fetch {m_manager};   // after the manager: it goes first
    ServiceDirectory m_service;
    QString m_name;
    int m_timeoutMs = 0;
    QString m_whoisFailure;   // why WHOIS gave way to RDAP
};
