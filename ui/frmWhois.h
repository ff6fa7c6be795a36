#pragma once
#include "engine/RecordQuery.h"

#include <QWidget>

class QTextEdit;

// "WHOIS Information": the whole record of one name, shown once the server has closed (or, when RDAP
// answered, its fields and then its JSON). No timeout, no retry, no verdict; a new double-click
// makes a new window.
class frmWhois : public QWidget
{
    Q_OBJECT

public:
    frmWhois(const ServiceDirectory &service, const QString &selectedName, QWidget *parent = nullptr);

    QTextEdit *Text1 = nullptr;

private:
    RecordQuery m_query;
};
