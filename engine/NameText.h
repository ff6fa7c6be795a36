#pragma once
#include <QString>

// Turns the listed percent-escapes back into their characters, "%25" first and each escape until
// none is left, so nested escapes ("%2520") decode completely. Other escapes stay as they are.
QString URLDecode(const QString &text);

// Removes punctuation, HTML entities and search-operator prefixes from the part of the name before
// its first dot; the rest is kept as it is. The cleaned name is stored in `name` and returned.
QString CorrectName(QString &name);
