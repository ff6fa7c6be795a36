#pragma once
#include <QString>

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

}   // namespace PageMarkup
