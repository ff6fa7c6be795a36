#pragma once
#include <QString>
#include <QWebEngineLoadingInfo>

namespace PageMarkup {

// The page's body markup, with each link's address as the browser resolved it: Chromium hands
// over an href as the page wrote it, where the extraction expects the resolved address
// ("http://x.com/"). The page itself is not changed: a copy of its body is.
inline const QString BodyScript = QStringLiteral("(function () {"
                                                 "  if (!document.body) return '';"
                                                 "  var copy = document.body.cloneNode(true);"
                                                 "  var links = document.body.querySelectorAll('a[href], area[href]');"
                                                 "  var copied = copy.querySelectorAll('a[href], area[href]');"
                                                 "  for (var i = 0; i < links.length && i < copied.length; ++i)"
                                                 "    copied[i].setAttribute('href', links[i].href);"
                                                 "  return copy.innerHTML;"
                                                 "})()");

// Whether a finished load shows the server's own page. A failed load, and an HTTP error (whose
// empty body the browser replaces with an error page of its own), show the browser's text, which
// is never read for names.
inline bool showsServersPage(const QWebEngineLoadingInfo &info)
{
    return info.status() == QWebEngineLoadingInfo::LoadSucceededStatus
        && !(info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && info.errorCode() >= 400);
}

// Why a load shows no page of the server's, for messages.
inline QString failure(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus)
        return QStringLiteral("stopped");
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        return QStringLiteral("the server answered HTTP %1").arg(info.errorCode());
    return info.errorString();
}

}   // namespace PageMarkup
