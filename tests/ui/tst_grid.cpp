// The grid's own cell store: its sort order and what it announces to the view, every change of
// it checked by Qt's model tester.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/grid.h"

namespace {
// A row of the sort tables: the key cell's text, or one of these for a cell with no text.
const QString kUntouched = QStringLiteral("<untouched>");
const QString kColourOnly = QStringLiteral("<colour>");
} // namespace

class TestGrid : public QObject {
    Q_OBJECT

private slots:
    void sorts_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QString>("expected"); // the rows' numbers in their new order
        QTest::newRow("plain text order") << QStringList{"b", "a", "B", ""} << Qt::AscendingOrder << "4321";
        QTest::newRow("descending keeps ties in order") << QStringList{"x", "y", "x"} << Qt::DescendingOrder << "213";
        QTest::newRow("untouched rows last, ascending") << QStringList{kUntouched, "b", kUntouched, "a"} << Qt::AscendingOrder << "4213";
        QTest::newRow("untouched rows last, descending") << QStringList{kUntouched, "b", kUntouched, "a"} << Qt::DescendingOrder << "2413";
        QTest::newRow("a coloured cell sorts as empty text") << QStringList{"a", kColourOnly, kUntouched, ""} << Qt::AscendingOrder << "2413";
    }

    void sorts()
    {
        QFETCH(QStringList, keys);
        QFETCH(Qt::SortOrder, order);
        QFETCH(QString, expected);
        ui::Grid grid(QStringLiteral("g"), {}, nullptr);
        const QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setCols(2);
        grid.setFixedRows(1);
        grid.setRows(int(keys.size()) + 1);
        for (int r = 1; r <= keys.size(); ++r) {
            grid.setTextMatrix(r, 1, QString::number(r));
            if (keys[r - 1] == kColourOnly)
                grid.setCellBackColor(r, 0, 255);
            else if (keys[r - 1] != kUntouched)
                grid.setTextMatrix(r, 0, keys[r - 1]);
        }
        grid.setRow(2);
        QSignalSpy sorted(&grid, &ui::Grid::afterSort);
        grid.sortRows(0, order);
        QString got;
        for (int r = 1; r < grid.rows(); ++r)
            got += grid.textMatrix(r, 1);
        QCOMPARE(got, expected);
        QCOMPARE(sorted.size(), 1);
        QCOMPARE(sorted[0][0].toInt(), 0);
        QCOMPARE(sorted[0][1].value<Qt::SortOrder>(), order);
        QCOMPARE(grid.textMatrix(grid.row(), 1), QStringLiteral("2")); // the current row went along
    }

    void headerClickTogglesTheOrder()
    {
        ui::Grid grid(QStringLiteral("g"), {.headerSort = true}, nullptr);
        const QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setCols(1);
        grid.setFixedRows(1);
        for (const QString& text : QStringList{"b", "c", "a"})
            grid.addItem(text);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QHeaderView* header = grid.horizontalHeader();
        const QPoint section(header->sectionViewportPosition(0) + 5, header->height() / 2);
        QString orders;
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, section);
            for (int r = 1; r < grid.rows(); ++r)
                orders += grid.textMatrix(r, 0);
        }
        QCOMPARE(orders, QStringLiteral("abccba"));
    }

    // A filled playlist repaints little: a whole range or a new row is news once, a cell set to
    // what it holds is none.
    void announcesEachChangeOnce()
    {
        ui::Grid grid(QStringLiteral("g"), {}, nullptr);
        const QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setCols(4);
        grid.setFixedRows(1);
        const QAbstractItemModel* cells = grid.model();
        QSignalSpy changed(cells, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(cells, &QAbstractItemModel::rowsInserted);

        grid.addItem(QStringLiteral("a\tb\tc\td"));
        grid.addItem(QStringLiteral("e\tf"));
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(grid.textMatrix(2, 1), QStringLiteral("f"));

        grid.setCellBackColor(1, 1, 2, 3, 255);
        QCOMPARE(changed.size(), 1);
        grid.setCellBackColor(1, 1, 2, 3, 255);
        grid.setTextMatrix(1, 0, QStringLiteral("a"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(grid.cellBackColor(2, 3), 255u);
        QCOMPARE(grid.cellBackColor(2, 0), 0u);

        // Rows keep their keys wherever they go; the tester checks each move, removal and resize.
        grid.addItem(QStringList{QStringLiteral("k")}, 7);
        grid.moveRow(3, 1);
        QCOMPARE(grid.rowKey(1).toInt(), 7);
        QCOMPARE(grid.textMatrix(2, 0), QStringLiteral("a"));
        grid.removeItem(2);
        grid.sortRows(0, Qt::AscendingOrder);
        QCOMPARE(grid.rowKey(2).toInt(), 7);
        grid.setCols(1);
        grid.setRows(0);
        QCOMPARE(grid.rows(), 0);
    }

    // A keyboard sends Shift, AltGr and a dead key as presses of their own before the character:
    // in an open editor they keep it open; in a closed cell they start no edit.
    void keysThatPrepareACharacterActOnNothing()
    {
        ui::Grid::Behaviour free;
        free.rowSelection = false;
        free.editable = true;
        ui::Grid grid(QStringLiteral("g"), free, nullptr);
        grid.setCols(1);
        grid.setFixedRows(1);
        grid.addItem(QStringLiteral("Maria"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy edited(&grid, &ui::Grid::afterEdit);
        const QPoint at = grid.visualRect(grid.model()->index(0, 0)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
        for (Qt::Key key : {Qt::Key_Shift, Qt::Key_AltGr, Qt::Key_Control, Qt::Key_Dead_Acute}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(&grid, &press);
        }
        QVERIFY(!grid.viewport()->findChild<QLineEdit*>());

        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
        auto* editor = grid.viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_End);
        for (const auto& [key, modifiers, text] : {std::tuple{Qt::Key_Shift, Qt::ShiftModifier, ""},
                                                   std::tuple{Qt::Key_J, Qt::ShiftModifier, "J"},
                                                   std::tuple{Qt::Key_AltGr, Qt::GroupSwitchModifier, ""},
                                                   std::tuple{Qt::Key_Dead_Acute, Qt::NoModifier, ""},
                                                   std::tuple{Qt::Key_CapsLock, Qt::NoModifier, ""}}) {
            QKeyEvent press(QEvent::KeyPress, key, modifiers, QString::fromUtf8(text));
            QApplication::sendEvent(editor, &press);
        }
        QVERIFY(editor->isVisible());
        QCOMPARE(edited.size(), 0);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(edited.size(), 1);
        QCOMPARE(grid.textMatrix(1, 0), QStringLiteral("MariaJ"));
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
