#pragma once
#include <QString>

class DnsStage;
class RegistryStage;

// The text of the status bar's "Open Connections" panel during a run: the registry's lookups and
// pace, the services of other endings, and what DNS settled. `listRead`: every entry of the list
// has been read, so that what is left is closing.
QString connectionsPanelText(const RegistryStage &registry, const DnsStage &dns, bool listRead);
