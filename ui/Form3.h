#pragma once
#include "harvest/ExtractDomains.h"
#include "harvest/ListBuilder.h"

#include <QTimer>
#include <QWidget>

class Form1;
class QLineEdit;
class QWebEngineView;
class SkinLabel;

// The list builder: result pages of a search engine, one after the other, until about the names
// asked for are found or a page brings nothing new; the list then goes to the main window's run.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(Form1 &mainWindow, QWidget *parent = nullptr);

    // The pause between result pages; 500 ms unless tests make it shorter.
    void setPageInterval(int milliseconds) { m_pause.setInterval(milliseconds); }
    bool isFinished() const { return m_finished; }

    QLineEdit *Text1 = nullptr;
    QWebEngineView *WebBrowser1 = nullptr;
    SkinLabel *SkinLabel1 = nullptr;

private:
    void Form_Load();
    void DocumentComplete();
    void NextPage();
    void Finish();
    void request();

    Form1 &m_main;
    ListBuilder::Engine m_engine = ListBuilder::Engine::None;
    QString m_host;
    QString m_query;
    QString m_searchText;
    int m_limit = 0;
    int m_offset = 1;
    int m_pageCount = 0;
    DomainList m_list;
    bool m_finished = false;
    QTimer m_pause;
};
