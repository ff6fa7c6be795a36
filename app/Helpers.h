#pragma once
#include <QString>

// Small file helpers that never fail loudly: every error turns into a negative result or nothing.
// Paths may use "/" or "\" as separator.

namespace Helpers {

// Copies source over destination, replacing it; any failure leaves things as they were, quietly.
void CopyFile(const QString &source, const QString &destination);
// True for an existing folder, with or without a trailing separator.
bool DirExists(const QString &path);
// True for an ordinary, visible file; the name is compared without regard to letter case.
// Wildcards and folders give false.
bool FileExists(const QString &path);
// The part of the path after its last separator; empty when the path ends with one.
QString FileNameOf(const QString &path);

}   // namespace Helpers
