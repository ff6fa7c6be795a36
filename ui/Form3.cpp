#include "ui/Form3.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "shell/Branding.h"
#include "shell/Skin.h"
#include "ui/Form1.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

Form3::Form3(Form1 &mainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_main(mainWindow)
{
    setWindowTitle(QStringLiteral("List Builder - Finding domain names..."));
    setAttribute(Qt::WA_DeleteOnClose);
    Text1 = new QLineEdit(QStringLiteral("Status..."));
    Text1->setReadOnly(true);
    Text1->setToolTip(QStringLiteral("This shows the number of unique .com, .org and .net domain names found."));
    WebBrowser1 = new QWebEngineView;
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
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, &Form3::DocumentComplete);
    Form_Load();
}

void Form3::Form_Load()
{
    if (branding().skinningOn) {
        Skin::ConvertLabels(this, SkinLabel1, false);
        Skin::ApplySkin(this);
    }
    m_finished = false;
    m_list = DomainList();
    m_searchText = m_main.txtSearch->text();
    m_query = QString(m_searchText).replace(' ', '+');
    m_limit = ListBuilder::ResultLimit(m_main.Combo2->currentIndex());
    const QString source = m_main.Combo1->currentText();
    m_engine = source == QLatin1String("Yahoo Search") ? ListBuilder::Engine::Yahoo
        : source == QLatin1String("Google Search")     ? ListBuilder::Engine::Google
                                                       : ListBuilder::Engine::None;
    m_host = m_engine == ListBuilder::Engine::Yahoo ? Settings::YahooHost.get() : Settings::GoogleHost.get();
    m_offset = 1;
    if (m_engine != ListBuilder::Engine::None)
        request();
}

// The query goes as typed, but for its blanks: "&" and "+" are not encoded.
void Form3::request()
{
    WebBrowser1->load(QUrl(ListBuilder::RequestAddress(m_engine, m_host, m_query, m_offset), QUrl::TolerantMode));
}

// A page that failed to load ends here too, with no names.
void Form3::DocumentComplete()
{
    if (m_finished)
        return;
    WebBrowser1->page()->runJavaScript(
        QStringLiteral("document.body ? document.body.innerHTML : ''"), [this](const QVariant &body) {
            if (m_finished)
                return;
            m_pageCount =
                int(DomainExtraction::ExtractDomains(body.toString(), ExtractVariant::List, m_list).names.size());
            Text1->setText(QStringLiteral("Extracted %1 unique domain names (.com, .net).").arg(m_list.size()));
            m_pause.start();
        });
}

void Form3::NextPage()
{
    if (m_finished)
        return;
    if (m_list.size() < m_limit && m_pageCount > 0) {
        m_offset = ListBuilder::NextOffset(m_engine, m_offset);
        request();
        return;
    }
    Finish();
}

void Form3::Finish()
{
    m_finished = true;
    QString listText;
    for (const QString &name : m_list.names())
        listText += name + QStringLiteral("\r\n");
    listText = ListBuilder::TidyList(listText);
    const QString path = ProgramFiles::path(ProgramFiles::File::BrowserSearch);
    QString error;
    if (!DataFile::rewriteBytes(path, listText.toLatin1() + "\r\n", &error)) {
        ShowMessage(&m_main, windowTitle(),
            QStringLiteral("The list could not be written to %1: %2.").arg(QDir::toNativeSeparators(path), error));
        close();
        return;
    }
    const QString copyName = ListBuilder::SearchCopyName(m_engine, m_searchText);
    if (!copyName.isEmpty()) {
        const QString searches = ProgramFiles::path(ProgramFiles::Folder::Searches);
        QDir().mkpath(searches);
        Helpers::CopyFile(path, searches + '/' + copyName);
    }
    const qsizetype entries = DataFile::readEntries(path).size();
    m_main.txtWordMax->setText(QString::number(entries));
    m_main.txtWordNum->setText(QStringLiteral("1"));
    Text1->setText(QStringLiteral("Finished! Extracted %1 domain names.").arg(m_list.size()));
    WebBrowser1->stop();
    hide();
    ShowMessage(&m_main, windowTitle(),
        QStringLiteral("List of %1 unique domains was created successfully!").arg(m_list.size()),
        QMessageBox::Information);
    m_main.cmdDoSearch_Click();
    close();
}
