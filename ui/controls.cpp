#include "ui/controls.h"

#include <QCursor>
#include <QMenu>

#include "ui/colors.h"
#include "ui/dispatch.h"

namespace ui {

Button::Button(const QString& name, const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setObjectName(name);
    setFocusPolicy(Qt::TabFocus);
}

void Button::setBackColor(quint32 value)
{
    if (painted_ && value == backColor_)
        return;
    backColor_ = value;
    painted_ = true;
    // A style sheet with its own border shows the colour exactly; a palette alone only tints.
    const QColor c = vbColor(value);
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid #606060; }"
                                 "QPushButton:pressed { border: 2px inset #404040; }")
                      .arg(c.name()));
}

TextBox::TextBox(const QString& name, const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    setObjectName(name);
}

MultiLineTextBox::MultiLineTextBox(const QString& name, QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(name);
}

QString MultiLineTextBox::text() const
{
    const QString shown = toPlainText();
    QString asSet = text_;
    asSet.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown == asSet ? text_ : shown;
}

void MultiLineTextBox::setText(const QString& text)
{
    text_ = text;
    setPlainText(text);
}

Label::Label(const QString& name, const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setObjectName(name);
}

ListBox::ListBox(const QString& name, QWidget* parent) : QListWidget(parent)
{
    setObjectName(name);
}

QString ListBox::entry(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

DropDown::DropDown(const QString& name, QWidget* parent) : QComboBox(parent) { setObjectName(name); }

Frame::Frame(const QString& name, bool framed, QWidget* parent) : QGroupBox(parent)
{
    setObjectName(name);
    setFlat(!framed);
    if (!framed)
        setStyleSheet(QStringLiteral("QGroupBox#%1 { border: none; margin: 0; padding: 0; }").arg(name));
}

Picture::Picture(const QString& name, const QPixmap& picture, QWidget* parent) : QLabel(parent)
{
    setObjectName(name);
    setPixmap(picture);
}

Timer::Timer(const QString& name, int intervalMs, QObject* parent) : QTimer(parent)
{
    setObjectName(name);
    setInterval(intervalMs);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled)
        start();
    else
        stop();
}

MenuItem::MenuItem(const QString& name, const QString& caption, QObject* parent) : QAction(caption, parent)
{
    setObjectName(name);
}

void popupMenu(QMenu* menu)
{
    QAction* chosen = nullptr;
    {
        ModalScope modal;
        // Recorded from the menu's own signal, so an item triggered while the menu is open counts.
        const QMetaObject::Connection record = QObject::connect(menu, &QMenu::triggered, menu, [&](QAction* item) {
            chosen = item;
            menu->close();
        });
        menu->exec(QCursor::pos());
        QObject::disconnect(record);
    }
    // Its click came while the menu counted as a modal box and was dropped: it runs now.
    if (chosen)
        chosen->trigger();
}

} // namespace ui
