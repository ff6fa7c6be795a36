#pragma once
#include "harvest/ExtractDomains.h"
#include "harvest/ListBuilder.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

class QLineEdit;
class QWebEngineLoadingInfo;
class QWebEngineView;
class SkinLabel;

// What the list builder searches for: the engine, the text as typed, and about how many names.
struct SearchRequest {
    ListBuilder::Engine engine = ListBuilder::Engine::None;
    QString searchText;
    int limit = 0;
};

// The list builder: result pages of a search engine, one after the other, until about the names
// asked for are found or a page brings nothing new. The finished list is written to
// BrowserSearch.txt and handed over with listReady(); a page that cannot be loaded ends the search
// with its cause, and no empty or failed search replaces a saved one.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(const SearchRequest &request, QWidget *parent = nullptr);
    ~Form3() override;

    // The pause between result pages; 500 ms unless tests make it shorter.
    void setPageInterval(int milliseconds) { m_pause.setInterval(milliseconds); }
    // How long a page may take to load; 30 s unless tests make it shorter.
    void setPageTimeout(int milliseconds) { m_pageTimeoutMs = milliseconds; }
    bool isFinished() const { return m_finished; }

signals:
    // The list is in BrowserSearch.txt, and the user has taken note: it is checked next.
    void listReady(int entries, ListBuilder::Engine engine);

private:
    void Form_Load();
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void documentComplete();
    void NextPage();
    void finish(const QString &failure = {});
    void pageFailed(const QString &cause);
    void request();
    void showWaiting();
    void tell(const QString &text, QMessageBox::Icon icon);

    QLineEdit *Text1 = nullptr;
    QWebEngineView *WebBrowser1 = nullptr;
    bool m_closing = false;   // the window is going: what its page still tells is dropped
    SkinLabel *SkinLabel1 = nullptr;

    SearchRequest m_request;
    QString m_host;
    QString m_query;
    int m_offset = 1;
    int m_page = 0;
    int m_pageCount = 0;
    DomainList m_list;
    bool m_finished = false;
    QTimer m_pause;
    QTimer m_waiting;   // ticks each second while a page loads
    QElapsedTimer m_pageClock;
    int m_pageTimeoutMs = 30000;
};
