#pragma once
// Drives the grids as the operator does: clicks on cells and headers, typing into a cell editor.
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "ui/grid.h"
#include "ui/tree.h"

namespace drive {

inline QPoint cellPoint(ui::Grid* g, int row, int col)
{
    return g->visualRect(g->model()->index(row - g->fixedRows(), col)).center();
}
inline void click(ui::Grid* g, int row, int col) { QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellPoint(g, row, col)); }
inline void clickHeader(ui::Grid* g, int col)
{
    QHeaderView* h = g->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(col) + 5, h->height() / 2));
}
/// Key presses carrying text, Greek too (QTest's own only know ASCII).
inline void type(QWidget* target, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}
/// The open cell editor, if any (a closed one may linger until it is deleted).
inline QLineEdit* editor(ui::Grid* g)
{
    for (QLineEdit* e : g->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            return e;
    return nullptr;
}
/// Double-clicks the cell and types text over it, without Return: its editor, left open, or null.
inline QLineEdit* typeInto(ui::Grid* g, int row, int col, const QString& text)
{
    // A double-click as the platform delivers it: click, then the double-click press and release.
    const QPoint at = cellPoint(g, row, col);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, at);
    QLineEdit* e = editor(g);
    if (!e)
        return nullptr;
    e->selectAll();
    type(e, text);
    return e;
}
/// Double-clicks the cell, types text over it and presses Return.
inline bool edit(ui::Grid* g, int row, int col, const QString& text)
{
    QLineEdit* e = typeInto(g, row, col, text);
    if (!e)
        return false;
    QTest::keyClick(e, Qt::Key_Return);
    QCoreApplication::processEvents();
    return true;
}

/// The tree's node that shows this text, anywhere in the tree; invalid when none does.
inline QModelIndex treeNode(ui::Tree* t, const QString& text)
{
    const QModelIndexList found = t->model()->match(t->model()->index(0, 0), Qt::DisplayRole, text, 1,
                                                    Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}
/// Selects the node that shows this text, as a click on it would.
inline bool selectTreeNode(ui::Tree* t, const QString& text)
{
    const QModelIndex node = treeNode(t, text);
    t->setCurrentIndex(node);
    return node.isValid();
}

/// Double-clicks the node that shows this text, as the operator does; false when none shows it.
inline bool doubleClickTreeNode(ui::Tree* t, const QString& text)
{
    const QModelIndex node = treeNode(t, text);
    if (!node.isValid())
        return false;
    t->scrollTo(node);
    const QPoint at = t->visualRect(node).center();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(t->viewport(), Qt::LeftButton, {}, at);
    return true;
}

} // namespace drive
