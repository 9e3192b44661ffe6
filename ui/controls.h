#pragma once
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

class QMenu;

// The window's controls, each the Qt widget it extends with its object name and the operations
// the handlers use beyond Qt's own, so tests find it by name and drive it with QTest.
namespace ui {

/// A push button that never takes the focus by a click.
class Button : public QPushButton {
    Q_OBJECT
public:
    Button(const QString& name, const QString& caption, QWidget* parent);
    /// The tag: free text the handlers keep with the button.
    QString tag;
    /// Draws the button in this colour (a value with red in the low byte).
    void setBackColor(quint32 value);
    quint32 backColor() const { return backColor_; }

private:
    quint32 backColor_ = 0;
    bool painted_ = false;
};

/// A one-line text box.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(const QString& name, const QString& text, QWidget* parent);
};

/// A text box of many lines that gives its text back with the line ends it was set with.
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

/// A caption.
class Label : public QLabel {
    Q_OBJECT
public:
    Label(const QString& name, const QString& caption, QWidget* parent);
};

/// A list box.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    ListBox(const QString& name, QWidget* parent);
    /// The text of entry index; empty off the list, as QComboBox::itemText gives it.
    QString entry(int index) const;
};

/// A drop-down list.
class DropDown : public QComboBox {
    Q_OBJECT
public:
    DropDown(const QString& name, QWidget* parent);
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
};

/// A timer with an interval and an enabled state; it ticks every interval while enabled.
class Timer : public QTimer {
    Q_OBJECT
public:
    Timer(const QString& name, int intervalMs, QObject* parent);
    /// Starts the timer afresh, or stops it.
    void setEnabled(bool enabled);
};

/// A menu item.
class MenuItem : public QAction {
    Q_OBJECT
public:
    MenuItem(const QString& name, const QString& caption, QObject* parent);
};

/// Shows menu at the pointer and waits until it closes, as a modal box: no other event's handler
/// runs meanwhile. The chosen item's click runs before this returns.
void popupMenu(QMenu* menu);

} // namespace ui
