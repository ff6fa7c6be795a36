#include "ui/MainLayout.h"

#include <QTest>

class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void minimumSize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("enforced");
        QTest::addColumn<int>("newWidth");
        QTest::addColumn<int>("newHeight");
        QTest::addRow("exactly the minimum") << 6500 << 6500 << false << 0 << 0;
        QTest::addRow("too narrow") << 6499 << 9000 << true << 6501 << 9000;
        QTest::addRow("too low") << 9000 << 6499 << true << 9000 << 6501;
        QTest::addRow("both") << 100 << 100 << true << 6501 << 6501;
    }
    void minimumSize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, enforced);
        QFETCH(int, newWidth);
        QFETCH(int, newHeight);
        const MainLayout layout = computeMainLayout(width, height, 300);
        QCOMPARE(layout.enforceMinimum, enforced);
        if (enforced) {
            QCOMPARE(layout.newWidth, newWidth);
            QCOMPARE(layout.newHeight, newHeight);
            QCOMPARE(layout.listWidth, 0);   // nothing else is laid out in that pass
        }
    }

    void columns_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("website");
        QTest::addColumn<int>("listWidth");
        QTest::addRow("8000") << 8000 << 400 << 1350;
        QTest::addRow("12960") << 12960 << 4560 << 2342;
        QTest::addRow("6500") << 6500 << 1900 << 1050;
    }
    void columns()
    {
        QFETCH(int, width);
        QFETCH(int, website);
        QFETCH(int, listWidth);
        const MainLayout layout = computeMainLayout(width, 9000, 330);
        QCOMPARE(layout.websiteWidth, website);
        QCOMPARE(layout.frame1Width, width + 200);
        QCOMPARE(layout.frame2Width, width - 300);
        QCOMPARE(layout.frame2Height, 9000 - 1020 - 1000);
        QCOMPARE(layout.listWidth, listWidth);
        QCOMPARE(layout.listHeight, layout.frame2Height - 1080 - 330);
        QCOMPARE(layout.listLeft[3], 125);
        QCOMPARE(layout.listLeft[4], 125 + listWidth + 75);
        QCOMPARE(layout.listLeft[1], 125 + 2 * (listWidth + 75));
        QCOMPARE(layout.listLeft[2], layout.listLeft[1] + listWidth + 300);
        QCOMPARE(layout.listLeft[5], layout.listLeft[2] + listWidth + 300);
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(layout.copyLeft[i], layout.listLeft[i]);
            QCOMPARE(layout.clearLeft[i], layout.listLeft[i] + 700);
            QCOMPARE(layout.labelLeft[i], layout.listLeft[i]);
        }
        QCOMPARE(layout.labelWidth, listWidth);
        QCOMPARE(layout.panelWidths[0], layout.frame2Width / 4);
        QCOMPARE(layout.panelWidths[2], layout.frame2Width / 2);
    }
};

QTEST_GUILESS_MAIN(TestMainLayout)
#include "TestMainLayout.moc"
