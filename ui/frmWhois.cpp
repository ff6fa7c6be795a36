#include "ui/frmWhois.h"

#include "shell/Twips.h"
#include "shell/WindowKeys.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

frmWhois::frmWhois(const ServiceDirectory &service, const QString &selectedName, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("WHOIS Information"));
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnEscape(this);
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    setFont(font);
    const QSize size(Twips::toPixels(8235), Twips::toPixels(6555));
    resize(size);
    Text1 = new QTextEdit;
    Text1->setReadOnly(true);
    auto *layout = new QVBoxLayout(this);   // the text fills the whole window
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text1);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The reply as it came, once the server has closed; nothing when it never does or cannot be reached.
    connect(&m_query, &RecordQuery::finished, this, [this](const RecordQuery::Record &record) {
        if (record.hasReply())
            Text1->setPlainText(record.text);
    });
    // Only a registrable name is asked: a registry's "No match" for anything else means nothing.
    const Names::LookupName asked = Names::prepareLookup(selectedName);
    if (asked.isAsked())
        m_query.start(service, asked.name, 0);
    else
        Text1->setPlainText(Names::skipReason(selectedName, asked.skip) + QLatin1Char('.'));
}
