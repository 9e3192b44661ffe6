// The tree's nodes: where each goes, the two refusals, and a refill the view hears of once.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "failure.h"
#include "fault/runtimeerror.h"
#include "ui/tree.h"

namespace {
// The tree as text: each root, then its children in brackets, "+" after an open node.
QString shape(const ui::Tree& tree)
{
    const QAbstractItemModel* m = tree.model();
    QStringList roots;
    for (int i = 0; i < m->rowCount(); ++i) {
        const QModelIndex root = m->index(i, 0);
        QStringList children;
        for (int j = 0; j < m->rowCount(root); ++j)
            children << m->index(j, 0, root).data().toString();
        roots << root.data().toString() + (tree.isExpanded(root) ? "+" : "") + "[" + children.join(',') + "]";
    }
    return roots.join(' ');
}
} // namespace

class TestTree : public QObject {
    Q_OBJECT

private slots:
    void nodes_data()
    {
        QTest::addColumn<bool>("refill");
        QTest::newRow("added one by one") << false;
        QTest::newRow("added in a refill") << true;
    }

    // The same adds give the same tree either way: children of a sorted node by text with ties
    // in the order they came, of another node as they came; nothing half-made reaches the view.
    void nodes()
    {
        QFETCH(bool, refill);
        ui::Tree tree(QStringLiteral("t"), nullptr);
        const QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(tree.model(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(tree.model(), &QAbstractItemModel::rowsInserted);
        {
            std::optional<ui::Tree::Refill> filling;
            if (refill)
                filling.emplace(tree);
            ui::TreeNode sorted = tree.add({}, "S", "Sorted");
            sorted.setSorted(true);
            ui::TreeNode plain = tree.add({}, "P", "Plain");
            int key = 0;
            for (const char* text : {"b", "a", "c", "a2", "a"})
                tree.add("S", QString::number(++key), text);
            for (const char* text : {"y", "x"})
                tree.add("P", QStringLiteral("P") + text, text);
            sorted.setExpanded(true);
            if (refill)
                QCOMPARE(tree.model()->rowCount(), 0);
            QCOMPARE(sorted.tag(), QString());
            plain.setTag("C");
            QCOMPARE(plain.tag(), QString("C"));
        }
        QCOMPARE(shape(tree), QString("Sorted+[a,a,a2,b,c] Plain[y,x]"));
        QCOMPARE(inserts.count(), refill ? 0 : 9);
        QCOMPARE(resets.count(), refill ? 2 : 0); // emptied, then shown whole
    }

    void refusals()
    {
        ui::Tree tree(QStringLiteral("trLIST"), nullptr);
        tree.add({}, "card", "Card");
        QCOMPARE(failureNumber([&] { tree.add("none", "x", "X"); }), int(fault::ElementNotFound));
        QCOMPARE(failureNumber([&] { tree.add({}, "card", "Again"); }), int(fault::KeyNotUnique));
        QCOMPARE(shape(tree), QString("Card[]"));
        tree.setCurrentIndex(tree.model()->index(0, 0));
        QCOMPARE(tree.selectedNode().key(), QString("card"));
        // Sorting a shown node's children keeps the selection on its node.
        ui::TreeNode other = tree.add({}, "other", "Other");
        tree.add("other", "b", "b");
        tree.add("other", "a", "a");
        tree.setCurrentIndex(tree.model()->index(0, 0, tree.model()->index(1, 0)));
        other.setSorted(true);
        QCOMPARE(shape(tree), QString("Card[] Other[a,b]"));
        QCOMPARE(tree.selectedNode().key(), QString("b"));
        tree.clearNodes();
        QVERIFY(!tree.selectedNode());
    }
};

QTEST_MAIN(TestTree)
#include "tst_tree.moc"
