#include "engine/ServiceControl.h"

void ServiceControl::counted()
{
    ++evidence.asked;
    if (++sinceControl >= Every)
        cleared = false;   // the next free verdict waits for a control again
}

void ServiceControl::answered(Answer answer, const QString &serviceName)
{
    const QString control = std::exchange(asked, {});
    sinceControl = 0;
    clearedUntested = false;
    switch (answer) {
    case Answer::Registered:
        ++evidence.controlsPassed;
        cleared = true;
        break;
    case Answer::Free:
        ++evidence.controlsFailed;
        evidence.failure = QStringLiteral("%1 answered %2, a name DNS found delegated in this run, as free: it does "
                                          "not tell registered names from free ones, so none of its free answers "
                                          "counts")
                               .arg(serviceName, control);
        break;
    case Answer::None:
        // Not the service's failure: its free answers count as they would without controls until
        // the next one is due.
        ++evidence.controlsUnanswered;
        cleared = true;
        break;
    }
}

void ServiceControl::settleUntested(bool controlKnown)
{
    if (evidence.controlsPassed > 0 || hasFailed())
        return;
    if (evidence.controlsUnanswered > 0)
        evidence.untested = QStringLiteral("its control got no answer that says registered or free");
    else if (!controlKnown)
        evidence.untested = QStringLiteral("DNS found no name delegated under it to ask as a control");
    else
        evidence.untested = QStringLiteral("none of its free answers needed a control");
}

QString ServiceEvidence::state() const
{
    if (!failure.isEmpty())
        return QStringLiteral("failed");
    return untested.isEmpty() ? QStringLiteral("tested") : QStringLiteral("untested");
}

QString ServiceEvidence::text() const
{
    QString text =
        QStringLiteral("%1 (%2): %3 asked, %4 free, %5 registered, %6 unchecked; controls: %7 passed, %8 failed")
            .arg(service, protocol)
            .arg(asked)
            .arg(free)
            .arg(registered)
            .arg(unchecked)
            .arg(controlsPassed)
            .arg(controlsFailed);
    if (!failure.isEmpty())
        text += QStringLiteral("; ") + failure;
    else if (!untested.isEmpty())
        text += QStringLiteral("; not tested: ") + untested;
    return text + QLatin1Char('.');
}
