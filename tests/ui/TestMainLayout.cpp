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
    // Whole-layout values for a few widths, and what must hold at any width: the five columns
    // in their order (High, Mid, Low, Registered, Saved), apart from each other and inside the
    // results frame, each with its caption and Copy button at its left, Clear after Copy, and the
    // panels within the frame. (At narrow widths the layout lets a Clear button reach past its list.)
    void columns()
    {
        QFETCH(int, width);
        QFETCH(int, website);
        QFETCH(int, listWidth);
        const MainLayout layout = computeMainLayout(width, 9000, 330);
        QCOMPARE(layout.websiteWidth, website);
        QCOMPARE(layout.listWidth, listWidth);
        QVERIFY(layout.frame2Height > 0 && layout.listHeight > 0);
        QVERIFY(MainLayout::ListTop + layout.listHeight <= layout.frame2Height);
        const int order[] = {3, 4, 1, 2, 5};
        QVERIFY(layout.listLeft[order[0]] > 0);
        for (int i = 0; i < 5; ++i) {
            const int list = order[i];
            const int right = layout.listLeft[list] + layout.listWidth;
            QVERIFY2(right <= layout.frame2Width, qPrintable(QString("list %1 ends outside the frame").arg(list)));
            if (i < 4)
                QVERIFY2(right < layout.listLeft[order[i + 1]], qPrintable(QString("list %1 overlaps").arg(list)));
            QCOMPARE(layout.labelLeft[list], layout.listLeft[list]);
            QCOMPARE(layout.copyLeft[list], layout.listLeft[list]);
            QVERIFY(layout.copyLeft[list] + MainLayout::CopyWidth <= layout.clearLeft[list]);
        }
        QVERIFY(layout.labelWidth <= layout.listWidth);
        QVERIFY(layout.panelWidths[0] + layout.panelWidths[1] + layout.panelWidths[2] <= layout.frame2Width);
    }
};

QTEST_GUILESS_MAIN(TestMainLayout)
#include "TestMainLayout.moc"
