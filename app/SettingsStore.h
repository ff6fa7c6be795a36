#pragma once
#include <QString>

// The storage under Settings (app/Settings.h), which names every value the program keeps.
// Per-user string values addressed by application key, section and key. Each application key is one
// INI file under the user's config folder ($XDG_CONFIG_HOME/Tamarind/<key>.ini); a section is an INI
// group. Writes reach the disk shortly after, from the event loop, and at flush().
namespace SettingsStore {

QString get(const QString &appKey, const QString &section, const QString &key, const QString &defaultValue = {});
void save(const QString &appKey, const QString &section, const QString &key, const QString &value);

// Writes pending values to disk now. False when a settings file could not be written.
bool flush();
// Why a settings file could not be written, the first time since reset(); empty when none failed.
QString writeError();
// Forgets the open stores so that the next access reads the files afresh (tests).
void reset();

}   // namespace SettingsStore
