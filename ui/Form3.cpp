#include "ui/Form3.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "shell/Branding.h"
#include "shell/Skin.h"
#include "shell/WindowKeys.h"
#include "ui/Messages.h"
#include "ui/PageMarkup.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

Form3::Form3(const SearchRequest &request, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_request(request)
{
    setWindowTitle(QStringLiteral("List Builder - Finding domain names..."));
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnEscape(this);
    Text1 = new QLineEdit(QStringLiteral("Status..."));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setToolTip(QStringLiteral("This shows the number of unique .com, .org and .net domain names found."));
    WebBrowser1 = new QWebEngineView;
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setToolTip(QStringLiteral("Searching for unique .com, .net and .org domain names."));
    SkinLabel1 = new SkinLabel(this);
    SkinLabel1->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addWidget(WebBrowser1, 1);
    resize(800, 600);
    // A pause between pages that leaves the window and the run responsive.
    m_pause.setSingleShot(true);
    m_pause.setInterval(500);
    connect(&m_pause, &QTimer::timeout, this, &Form3::NextPage);
    m_waiting.setInterval(1000);
    connect(&m_waiting, &QTimer::timeout, this, &Form3::showWaiting);
    connect(WebBrowser1->page(), &QWebEnginePage::loadingChanged, this, &Form3::onLoadingChanged);
    Form_Load();
}

void Form3::Form_Load()
{
    if (branding().skinningOn) {
        Skin::convertLabels(this, SkinLabel1, false);
        Skin::ApplySkin(this);
    }
    m_finished = false;
    m_list = DomainList();
    m_query = QString(m_request.searchText).replace(' ', '+');
    m_host = m_request.engine == ListBuilder::Engine::Yahoo ? Settings::YahooHost.get() : Settings::GoogleHost.get();
    m_offset = 1;
    m_page = 0;
    if (m_request.engine != ListBuilder::Engine::None)
        request();
}

// The query goes as typed, but for its blanks: "&" and "+" are not encoded.
void Form3::request()
{
    ++m_page;
    m_pageClock.start();
    m_waiting.start();
    showWaiting();
    WebBrowser1->load(
        QUrl(ListBuilder::requestAddress(m_request.engine, m_host, m_query, m_offset), QUrl::TolerantMode));
}

// A slow page shows that the search waits for it, and one that takes too long ends the search.
void Form3::showWaiting()
{
    const qint64 waited = m_pageClock.elapsed();
    if (waited >= m_pageTimeoutMs) {
        WebBrowser1->stop();
        pageFailed(QStringLiteral("no answer within %1 seconds").arg(m_pageTimeoutMs / 1000.0));
        return;
    }
    Text1->setText(QStringLiteral("Waiting for result page %1 from %2 (%3 s)...")
                       .arg(QString::number(m_page), m_host, QString::number(waited / 1000)));
}

// An HTTP error page loads as well as a result page: only the status code tells them apart.
void Form3::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (m_finished || info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    m_waiting.stop();
    if (PageMarkup::showsServersPage(info)) {
        documentComplete();
        return;
    }
    if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus)
        return;   // stopped by the timeout, which has told why
    pageFailed(PageMarkup::failure(info));
}

// The page goes first, while the window is whole: a page read still pending is answered as it goes.
Form3::~Form3()
{
    m_closing = true;
    delete WebBrowser1;
}

void Form3::documentComplete()
{
    const QPointer<Form3> alive(this);
    WebBrowser1->page()->runJavaScript(PageMarkup::BodyScript, [alive](const QVariant &body) {
        if (!alive || alive->m_finished || alive->m_closing)
            return;
        alive->m_pageCount =
            int(DomainExtraction::ExtractDomains(body.toString(), ExtractVariant::List, alive->m_list).names.size());
        alive->Text1->setText(
            QStringLiteral("Extracted %1 unique domain names (.com, .net).").arg(alive->m_list.size()));
        alive->m_pause.start();
    });
}

void Form3::NextPage()
{
    if (m_finished)
        return;
    if (m_list.size() < m_request.limit && m_pageCount > 0) {
        m_offset = ListBuilder::nextOffset(m_request.engine, m_offset);
        request();
        return;
    }
    finish();
}

void Form3::pageFailed(const QString &cause)
{
    if (m_finished)
        return;
    m_waiting.stop();
    const QString failure =
        QStringLiteral("Result page %1 of %2 could not be loaded: %3.").arg(QString::number(m_page), m_host, cause);
    if (m_list.size() == 0) {
        m_finished = true;
        tell(failure + QStringLiteral(" No list was made and no run is started; the saved searches are kept."),
            QMessageBox::Warning);
        close();
        return;
    }
    finish(failure);
}

// A failed search keeps what the pages before the failure found, but is not saved as a search.
void Form3::finish(const QString &failure)
{
    m_finished = true;
    m_waiting.stop();
    WebBrowser1->stop();
    if (m_list.size() == 0) {
        tell(QStringLiteral("No domain names were found for \"%1\". No run is started.").arg(m_request.searchText),
            QMessageBox::Information);
        close();
        return;
    }
    QString listText;
    for (const QString &name : m_list.names())
        listText += name + QStringLiteral("\r\n");
    listText = ListBuilder::tidyList(listText);
    const QString path = ProgramFiles::path(ProgramFiles::File::BrowserSearch);
    QString error;
    if (!DataFile::rewriteBytes(path, listText.toUtf8() + "\r\n", &error)) {
        tell(QStringLiteral("The list could not be written to %1: %2.").arg(QDir::toNativeSeparators(path), error),
            QMessageBox::Warning);
        close();
        return;
    }
    const QString copyName = ListBuilder::searchCopyName(m_request.engine, m_request.searchText);
    if (failure.isEmpty() && !copyName.isEmpty()) {
        const QString searches = ProgramFiles::path(ProgramFiles::Folder::Searches);
        QDir().mkpath(searches);
        Helpers::CopyFile(path, searches + '/' + copyName);
    }
    const int entries = int(DataFile::readEntries(path).size());
    Text1->setText(QStringLiteral("Finished! Extracted %1 domain names.").arg(m_list.size()));
    hide();
    // The run starts once the user has read this.
    QString text = QStringLiteral("List of %1 unique domains was created successfully!").arg(m_list.size());
    if (!failure.isEmpty())
        text = failure
            + QStringLiteral(" The list holds the %1 unique domains of the pages before it.").arg(m_list.size());
    auto *box = new QMessageBox(QMessageBox::Information, windowTitle(), text, QMessageBox::Ok, parentWidget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    const ListBuilder::Engine engine = m_request.engine;
    connect(box, &QMessageBox::finished, parentWidget(), [this, entries, engine, alive = QPointer<Form3>(this)] {
        if (alive) {
            emit listReady(entries, engine);
            close();
        }
    });
    box->show();
}

void Form3::tell(const QString &text, QMessageBox::Icon icon)
{
    showMessage(parentWidget(), windowTitle(), text, icon);
}
