#include "ui/EndingsField.h"

#include "app/Settings.h"
#include "run/CheckSession.h"
#include "ui/Messages.h"

#include <QLineEdit>
#include <QLocale>

EndingsField::EndingsField(CheckSession &session, QWidget *window)
    : m_session(session)
    , m_window(window)
{ }

void EndingsField::show(const QStringList &endings)
{
    m_field->setText(endings.join(QLatin1Char(' ')));
    m_field->setCursorPosition(0);
    m_field->setToolTip(QStringLiteral("Asked under: .%1\n\nThe endings a bare word is asked under, in order, for "
                                       "example: com io dev. A name with its own ending keeps it.")
                            .arg(endings.join(QStringLiteral(" ."))));
}

void EndingsField::finished()
{
    const Names::TypedEndings typed = Names::typedEndings(m_field->text());
    if (!typed.problem.isEmpty()) {
        show(Settings::endingsList());   // the endings kept
        ::showMessage(
            m_window, QStringLiteral("Endings"), QStringLiteral("The endings are not changed: %1.").arg(typed.problem));
        return;
    }
    const QStringList &endings = typed.endings;
    show(endings);
    if (!typed.repeated.isEmpty())
        ::showMessage(m_window, QStringLiteral("Endings"),
            QStringLiteral(".%1 was given more than once; names are asked under each ending once.")
                .arg(typed.repeated.join(QStringLiteral(", ."))));
    if (endings == Settings::endingsList())
        return;
    Settings::Endings.set(endings.join(QLatin1Char(' ')));
    m_session.run().setEndings(endings);
    // The endings whose names can get no verdict, told as tamarind-cli endings tells them.
    QStringList unanswered;
    for (const QString &ending : endings) {
        if (!m_session.service().answersFor(ending))
            unanswered << m_session.service().endingText(ending);
    }
    if (!unanswered.isEmpty())
        ::showMessage(m_window, QStringLiteral("Endings"),
            unanswered.join(QLatin1Char('\n'))
                + QStringLiteral("\n\nNames under these endings are counted, never called free. A service can be "
                                 "added in rdap-overrides.txt or whois-servers.txt of the program folder, and a "
                                 "registry's answers in whois-rules.txt."));
}

void EndingsField::confirmStart(const std::function<void()> &start)
{
    // Each bare word is asked under every ending: many endings make a run long, and the registries' work.
    const qsizetype endings = m_session.run().endings().size();
    if (endings <= ManyEndings)
        return start();
    askFirst(m_window, QStringLiteral("Start"),
        QStringLiteral("%1 endings are chosen, so each word of a list is asked %1 times: %2 lookups per 1,000 "
                       "words. Start the run?")
            .arg(endings)
            .arg(QLocale(QLocale::English).toString(endings * 1000)),
        QStringLiteral("Start"), QStringLiteral("Cancel"), this, start);
}
