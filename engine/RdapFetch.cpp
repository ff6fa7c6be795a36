#include "engine/RdapFetch.h"
#include "engine/ReplyCap.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

RdapFetch::RdapFetch(QNetworkAccessManager &manager, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        cancel();
        Result result;
        result.error = QStringLiteral("the RDAP service did not answer in time");
        emit finished(result);
    });
}

RdapFetch::~RdapFetch()
{
    cancel();
}

void RdapFetch::start(const QUrl &url, int timeoutMs)
{
    cancel();
    m_asked = url;
    m_reply = m_manager.get(Rdap::request(url));
    // Qt holds no more than this of a body that nobody reads yet.
    m_reply->setReadBufferSize(64 * 1024);
    connect(m_reply, &QNetworkReply::readyRead, this, &RdapFetch::read);
    connect(m_reply, &QNetworkReply::finished, this, [this] { finish(false); });
    if (timeoutMs > 0)
        m_timeout.start(timeoutMs);
}

void RdapFetch::cancel()
{
    release(true);
}

// Lets go of the reply; one still under way is aborted, one that has finished is only dropped
// (an abort of it would be an error of Qt's own).
void RdapFetch::release(bool abort)
{
    m_timeout.stop();
    m_body.clear();
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        if (abort && reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
}

void RdapFetch::read()
{
    m_body += Reply::readUpToCap(*m_reply, m_body.size());
    if (m_body.size() >= Reply::Cap)
        finish(true);   // a record this long is no registry's: it is cut off here
}

namespace {

// Errors of the HTTP exchange itself (a 404, a 429, a 5xx) come with a whole reply; the others
// (refused, reset, cut short, TLS, an unsafe redirect) leave it unfinished.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError
        || (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

}   // namespace

void RdapFetch::finish(bool capped)
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    if (!capped)
        m_body += Reply::readUpToCap(*reply, m_body.size());
    Result result;
    Rdap::Reply &told = result.reply;
    told.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    told.contentType = reply->rawHeader("Content-Type");
    told.body = m_body;
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    const bool encoded = !reply->rawHeader("Content-Encoding").isEmpty();
    told.complete = !capped && isHttpStatusError(reply->error()) && reply->bytesAvailable() == 0
        && (encoded || !length.isValid() || length.toLongLong() == m_body.size());
    // A redirect elsewhere is refused before it is followed; either way only the origin asked speaks.
    told.fromHostAsked =
        Rdap::sameOrigin(reply->url(), m_asked) && reply->error() != QNetworkReply::InsecureRedirectError;
    if (told.status == 0) {
        result.error = reply->errorString();
        result.hostNotFound = reply->error() == QNetworkReply::HostNotFoundError;
    }
    result.retryAfterMs = Rdap::retryAfterMs(reply->rawHeader("Retry-After"));
    result.capped = capped;
    release(capped);   // a body past the cap is still coming: that one is aborted
    emit finished(result);
}

LookupAnswer RdapFetch::Result::answerFor(const QString &name) const
{
    LookupAnswer answer;
    if (reply.status == 0) {
        // No HTTP answer at all: refused, unknown host, TLS failure, a connection cut.
        answer.kind = LookupAnswer::Kind::Unreachable;
        answer.hostNotFound = hostNotFound;
        answer.said = error;
        return answer;
    }
    answer = Rdap::replyAnswer(reply, name);
    answer.oversized = capped && answer.kind == LookupAnswer::Kind::NoVerdict;
    answer.retryAfterMs = retryAfterMs;
    answer.throttled = answer.throttled || retryAfterMs >= 0;
    return answer;
}
