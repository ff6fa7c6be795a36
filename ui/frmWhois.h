#pragma once
#include "engine/Whois.h"

#include <QWidget>

class QTextEdit;

// "WHOIS Information": the whole record of one name, shown once the server has closed. No timeout,
// no retry, no verdict; a new double-click makes a new window.
class frmWhois : public QWidget
{
    Q_OBJECT

public:
    frmWhois(const Whois::Server &server, const QString &selectedName, QWidget *parent = nullptr);

    QTextEdit *Text1 = nullptr;

private:
    WhoisQuery m_query;
};
