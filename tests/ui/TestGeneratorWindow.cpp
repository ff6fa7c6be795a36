#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "ui/Form1.h"
#include "ui/ResultListWidgets.h"
#include "ui/frmMake.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace {

// The main window with its generator open, as choosing "Generate names" opens it.
frmMake *openGenerator(Form1 &window)
{
    choose(window, int(Source::GenerateNames));
    return window.generatorWindow();
}

}   // namespace

class TestGeneratorWindow : public QObject
{
    Q_OBJECT

private slots:
    void generationStartsTheRun()
    {
        TestFolders folders;
        writeBytes(folders.file("Appends.txt"), "\r\nmy\r\nthe\r\n");
        TestWhoisServer server({"--free-ratio", "1"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        frmMake *maker = openGenerator(window);
        QVERIFY(maker && maker->isVisible());
        QCOMPARE(maker->windowTitle(), QString("Domain Name Creator"));
        QCOMPARE(items(maker->List2), (QStringList {"my", "the"}));
        QVERIFY(!maker->chkExt[2]->isChecked());

        QStringList statuses;
        connect(maker->txtStatus, &QLineEdit::textChanged, [&](const QString &text) { statuses << text; });
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        maker->Text1->setText("shop");
        QTest::keyClick(maker->Text1, Qt::Key_Return);   // Enter starts, as Start! does
        QVERIFY(!maker->Command1->isEnabled());
        TRY_VERIFY(maker->Command1->isEnabled());
        QVERIFY(statuses.contains("Created 8 Domains..."));
        QCOMPARE(statuses.last(), QString("Created 16 Domains..."));
        QCOMPARE(maker->List1->count(), 16);
        QCOMPARE(maker->List1->item(0)->text(), QString("myshop.com"));
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("16"));
        QCOMPARE(fileEntries(folders.file("CreatedDomains.txt")), items(maker->List1));
        QVERIFY(readBytes(folders.file("CreatedDomains.txt")).endsWith("shop-the.net\r\n\r\n"));
        TRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 10000);
        QCOMPARE(control<QListWidget>(window, "List4")->count() + control<QListWidget>(window, "List1")->count(),
            16);   // every name was checked

        // A second run adds to the list box; the file holds only its own names.
        maker->chkAdd[1]->setChecked(false);
        maker->chkAdd[2]->setChecked(false);
        maker->chkExt[1]->setChecked(false);
        maker->Command1->click();
        TRY_VERIFY(maker->Command1->isEnabled());
        QCOMPARE(maker->List1->count(), 18);
        QCOMPARE(fileEntries(folders.file("CreatedDomains.txt")), (QStringList {"myshop.com", "theshop.com"}));

        // Save Domains As... copies the latest file; a cancelled dialog copies nothing.
        QString suggested;
        maker->chooseSaveFile = [&](const QString &name) {
            suggested = name;
            return folders.file("saved.txt");
        };
        maker->Command2->click();
        QCOMPARE(suggested, folders.file("CustomLists/shop.txt"));
        QCOMPARE(readBytes(folders.file("saved.txt")), readBytes(folders.file("CreatedDomains.txt")));
        maker->chooseSaveFile = [](const QString &) { return QString(); };
        maker->Command2->click();
        QCOMPARE(QDir(folders.file("CustomLists")).entryList(QDir::Files), QStringList());
    }

    // Faults caught: letters outside Latin-1 written as "?", so "日本" with "my" asked "my.com"; the
    // name listed in its IDNA form and classified by that length.
    // Faults caught: the generator kept on close (its old base word and names shown again, an affix
    // added to the file since not read); Escape leaving it open.
    void closedGeneratorStartsAfresh()
    {
        TestFolders folders;
        writeBytes(folders.file("Appends.txt"), "my\r\n");
        Form1 window;
        frmMake *maker = openGenerator(window);
        maker->Text1->setText("shop");
        maker->List1->addItem("myshop.com");
        QVERIFY(QTest::qWaitForWindowActive(maker));
        QTest::keyClick(maker, Qt::Key_Escape);
        TRY_VERIFY(!window.generatorWindow());
        writeBytes(folders.file("Appends.txt"), "my\r\nthe\r\n");
        maker = openGenerator(window);
        QCOMPARE(maker->Text1->text(), QString());
        QCOMPARE(maker->List1->count(), 0);
        QCOMPARE(items(maker->List2), (QStringList {"my", "the"}));
    }

    void baseWordOutsideLatin1IsAskedInItsIdnaForm()
    {
        TestFolders folders;
        writeBytes(folders.file("Appends.txt"), "my\r\n");
        TestWhoisServer server({"--free-ratio", "1", "--log", folders.file("queries.log")});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        frmMake *maker = openGenerator(window);
        maker->chkAdd[1]->setChecked(false);   // no hyphens
        maker->chkAdd[2]->setChecked(false);   // no suffixes
        maker->chkExt[1]->setChecked(false);   // no .net
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        maker->Text1->setText(QString::fromUtf8("日本"));
        maker->Command1->click();
        TRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 10000);
        QCOMPARE(readBytes(folders.file("CreatedDomains.txt")), QString::fromUtf8("my日本.com\r\n\r\n").toUtf8());
        const QString asked = QString::fromLatin1(QUrl::toAce(QString::fromUtf8("my日本.com")));
        QCOMPARE(fileEntries(folders.file("queries.log")), QStringList {asked});
        // Listed as written, and High Profile by its 4 characters, not by its IDNA form's 21.
        QCOMPARE(items(control<QListWidget>(window, "List3")), QStringList {QString::fromUtf8("my日本.com")});
    }

    // Faults caught: a tab or line break typed into a word, written into names or split into lines;
    // an empty base word making names of the affixes alone ("get-.com", "-hq.net").
    void controlCharactersAreRefused()
    {
        TestFolders folders;
        writeBytes(folders.file("Appends.txt"), "my\r\n");
        Form1 window;
        frmMake *maker = openGenerator(window);
        maker->Text2->setText("to\tp");
        maker->cmdAdd->click();
        QCOMPARE(readBytes(folders.file("Appends.txt")), QByteArray("my\r\n"));
        QCOMPARE(items(maker->List2), QStringList {"my"});
        maker->Text1->setText(QString("sh\nop"));
        maker->Command1->click();
        QVERIFY(maker->Command1->isEnabled());   // nothing generated
        maker->Text1->setText(" ");
        maker->Command1->click();
        QVERIFY(maker->Command1->isEnabled());
        QCOMPARE(messageTexts(*maker),
            (QStringList {"An affix cannot hold tabs, line breaks or other control characters.",
                "The base word cannot hold tabs, line breaks or other control characters.",
                "Type a base word first: every name is made from it."}));
    }

    void affixesAddAndDel()
    {
        TestFolders folders;
        writeBytes(folders.file("Appends.txt"), "\r\nmy\r\nthe\r\nmy\r\n");
        Form1 window;
        frmMake *maker = openGenerator(window);
        QVERIFY(QTest::qWaitForWindowActive(maker));
        maker->Text2->setText("top");
        QTest::keyClick(maker->Text2, Qt::Key_Return);   // Enter adds, as Add does
        QCOMPARE(items(maker->List2), (QStringList {"my", "the", "my", "top"}));
        QVERIFY(maker->Text2->text().isEmpty());

        QCOMPARE(QApplication::focusWidget(), maker->Text2);   // ready for the next affix

        maker->cmdSub->click();   // nothing selected
        QCOMPARE(messageTexts(*maker), QStringList {"You must first select an item to remove from the list."});
        maker->List2->setCurrentRow(0);
        maker->cmdSub->click();
        QCOMPARE(items(maker->List2), (QStringList {"the", "my", "top"}));                        // one row goes
        QCOMPARE(readBytes(folders.file("Appends.txt")), QByteArray("\r\nthe\r\ntop\r\n\r\n"));   // every line goes

        // The Delete key removes the highlighted row; an empty affix is refused with a word.
        maker->List2->setCurrentRow(1);
        maker->List2->setFocus();
        QTest::keyClick(maker->List2, Qt::Key_Delete);
        QCOMPARE(items(maker->List2), (QStringList {"the", "top"}));
        maker->Text2->setText(" ");
        maker->cmdAdd->click();
        QCOMPARE(items(maker->List2), (QStringList {"the", "top"}));
        QVERIFY(messageTexts(*maker).contains("Type an affix to add first."));
    }

    void unreadableAffixesAndUnwritableList()
    {
        TestFolders folders;
        Form1 window;
        QFile::remove(folders.file("Appends.txt"));
        frmMake *maker = openGenerator(window);
        QVERIFY(messageTexts(*maker).join(' ').contains("Appends.txt cannot be read"));
        maker->Command1->click();
        QVERIFY(maker->Command1->isEnabled());

        writeBytes(folders.file("Appends.txt"), "my\r\n");
        QFile::remove(folders.file("CreatedDomains.txt"));
        QDir(folders.program()).mkdir("CreatedDomains.txt");   // a folder where the list should go
        maker->Text1->setText("shop");
        maker->Command1->click();
        TRY_VERIFY(maker->Command1->isEnabled());
        QVERIFY(messageTexts(*maker).join(' ').contains("could not be written to"));
        QVERIFY(!window.run().isRunning());
    }
};

QTEST_MAIN(TestGeneratorWindow)
#include "TestGeneratorWindow.moc"
