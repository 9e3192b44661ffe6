#pragma once
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

class QMenu;

// The window's controls with the operations the handlers use. Each is the Qt widget it extends,
// so tests find it by object name and drive it with QTest.
namespace ui {

/// Places a control by its rectangle in pixels, relative to its parent.
void place(QWidget* control, int x, int y, int width, int height);

class Button : public QPushButton {
    Q_OBJECT
public:
    Button(const QString& name, const QString& caption, QWidget* parent);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    /// The tag: free text the handlers keep with the button.
    QString tag;
    /// Draws the button in this colour (a value with red in the low byte).
    void setBackColor(quint32 value);
    quint32 backColor() const { return backColor_; }

private:
    quint32 backColor_ = 0;
    bool painted_ = false;
};

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(const QString& name, const QString& text, QWidget* parent);
};

class MultiLineTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    MultiLineTextBox(const QString& name, QWidget* parent);
    /// The text as it was set (the editor itself keeps line ends as LF), unless edited since.
    QString text() const;
    void setText(const QString& text);

private:
    QString text_;
};

class Label : public QLabel {
    Q_OBJECT
public:
    Label(const QString& name, const QString& caption, QWidget* parent);
};

/// A list box: entries, the selected index (-1 for none), a double-click event.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    ListBox(const QString& name, QWidget* parent);
    void addEntry(const QString& text) { addItem(text); }
    int listIndex() const { return currentRow(); }
    void setListIndex(int index) { setCurrentRow(index); }
    int listCount() const { return count(); }
    QString entry(int index) const;
signals:
    void dblClick();
};

/// A drop-down list.
class DropDown : public QComboBox {
    Q_OBJECT
public:
    DropDown(const QString& name, QWidget* parent);
    void addEntry(const QString& text) { addItem(text); }
    int listIndex() const { return currentIndex(); }
    void setListIndex(int index) { setCurrentIndex(index); }
    QString entry(int index) const { return itemText(index); }
};

/// A container: borderless, or framed with a caption.
class Frame : public QGroupBox {
    Q_OBJECT
public:
    Frame(const QString& name, bool framed, QWidget* parent);
};

/// A 16 by 16 picture.
class Picture : public QLabel {
    Q_OBJECT
public:
    Picture(const QString& name, const QPixmap& picture, QWidget* parent);
    QPixmap picture() const { return picture_; }

private:
    QPixmap picture_;
};

/// A timer with an interval and an enabled state; tick() every interval while enabled.
class Timer : public QTimer {
    Q_OBJECT
public:
    Timer(const QString& name, int intervalMs, QObject* parent);
    void setEnabled(bool enabled);
    bool enabled() const { return isActive(); }
};

/// A menu item: caption, visibility, enabled state and its click.
class MenuItem : public QAction {
    Q_OBJECT
public:
    MenuItem(const QString& name, const QString& caption, QObject* parent);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};

/// The window's status bar: the link in words on the left, the last refusal on the right. It
/// never takes the focus and never opens a box.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    StatusBar(const QString& name, QWidget* parent);
    void showLink(const QString& text);
    QString link() const;
    /// The answer and the line it refused, shown with the time of day.
    void showRefusal(const QString& answer, const QString& line);
    QString refusal() const;
    /// The last thing a control surface did, or why it did nothing.
    void showRemote(const QString& text);
    QString remote() const;

private:
    QLabel* link_;
    QLabel* remote_;
    QLabel* refusal_;
};

/// Shows menu at the pointer and waits until it closes, as a modal box: no other event's handler
/// runs meanwhile. The chosen item's click runs before this returns.
void popupMenu(QMenu* menu);

/// The tab control: a row of page tabs over pages whose controls are placed relative to the
/// tab control itself, tab row included. click() follows every change of page.
class TabControl : public QWidget {
    Q_OBJECT
public:
    TabControl(const QString& name, QWidget* parent);
    /// Adds a page and returns the widget its controls go on.
    QWidget* addPage(const QString& caption);
    int tab() const;
    void setTab(int page);
    QTabBar* tabBar() const { return bar_; }
    QWidget* page(int index) const { return pages_.value(index); }
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
