#pragma once
#include <QLabel>

// The last run's summary, a line of its own under the lists: it stays until the next run starts,
// whatever the status bar shows meanwhile. A text longer than the line ends in "…", and the whole
// of it is the tool tip.
class SummaryLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SummaryLabel(QWidget *parent = nullptr);
    void setSummary(const QString &text);
    QString summary() const { return m_summary; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fit();

    QString m_summary;
};
