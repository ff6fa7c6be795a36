#include "ui/SummaryLabel.h"

SummaryLabel::SummaryLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void SummaryLabel::setSummary(const QString &text)
{
    m_summary = text;
    setToolTip(text.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()));   // wrapped
    fit();
}

void SummaryLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}

void SummaryLabel::fit()
{
    setText(fontMetrics().elidedText(m_summary, Qt::ElideRight, contentsRect().width()));
}
