#pragma once
#include <QList>
#include <QTabBar>
#include <QWidget>

class QFrame;

namespace ui {

/// The tab control: a row of page tabs over pages whose controls are placed relative to the
/// tab control itself, tab row included. click() follows every change of page.
class TabControl : public QWidget {
    Q_OBJECT
public:
    /// Its tab row is named name.tabs, its pages name.page0, name.page1, ...
    TabControl(const QString& name, QWidget* parent);
    /// Adds a page and returns the widget its controls go on.
    QWidget* addPage(const QString& caption);
    /// The page shown.
    int tab() const;
    /// Shows page; a change raises click().
    void setTab(int page);
    /// The row of page tabs.
    QTabBar* tabBar() const { return bar_; }
signals:
    void click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabBar* bar_;
    QFrame* panel_;
    QList<QWidget*> pages_;
};

} // namespace ui
