#pragma once
#include "engine/Rdap.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <QNetworkAccessManager>
#include <QNetworkReply>

// One RDAP request and its reply, read as it arrives and capped at Reply::Cap (after gzip is
// undone), so that an endless body costs no more than the cap. A redirect is followed only within
// the origin asked. Cancelling disconnects first, so no signal of the reply ever reaches a half
// destroyed owner.
class RdapFetch : public QObject
{
    Q_OBJECT

public:
    struct Result {
        Rdap::Reply reply;
        QString error;               // why no HTTP answer came, when none did
        bool hostNotFound = false;   // the service's host does not exist
        bool capped = false;         // the body passed the cap and was cut off there
        qint64 retryAfterMs = -1;

        // What the result says of `name`: the one reading of an RDAP answer, for a run and for the
        // record window alike.
        LookupAnswer answerFor(const QString &name) const;
    };

    explicit RdapFetch(QNetworkAccessManager &manager, QObject *parent = nullptr);
    ~RdapFetch() override;

    // Asks for the address; finished() follows once, unless cancelled. With a timeout (ms), a
    // request without an answer by then ends with an error.
    void start(const QUrl &url, int timeoutMs = 0);
    void cancel();

signals:
    void finished(const RdapFetch::Result &result);

private:
    void read();
    void finish(bool capped);
    void release(bool abort);

    QNetworkAccessManager &m_manager;
    QPointer<QNetworkReply> m_reply;
    QUrl m_asked;
    QByteArray m_body;
    QTimer m_timeout;
};
