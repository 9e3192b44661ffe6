#include "ui/controls.h"

#include <QCursor>
#include <QMenu>
#include <QTime>

#include "ui/colors.h"
#include "ui/dispatch.h"

namespace ui {

void place(QWidget* control, int x, int y, int width, int height) { control->setGeometry(x, y, width, height); }

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
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit dblClick(); });
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

Picture::Picture(const QString& name, const QPixmap& picture, QWidget* parent) : QLabel(parent), picture_(picture)
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

StatusBar::StatusBar(const QString& name, QWidget* parent)
    : QStatusBar(parent), link_(new QLabel(this)), remote_(new QLabel(this)), refusal_(new QLabel(this))
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setSizeGripEnabled(false);
    link_->setObjectName(name + QStringLiteral(".link"));
    refusal_->setObjectName(name + QStringLiteral(".refusal"));
    refusal_->setTextFormat(Qt::PlainText);
    link_->setTextFormat(Qt::PlainText);
    remote_->setObjectName(name + QStringLiteral(".remote"));
    remote_->setTextFormat(Qt::PlainText);
    addWidget(link_);
    addWidget(remote_);
    addPermanentWidget(refusal_, 1);
    refusal_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void StatusBar::showLink(const QString& text) { link_->setText(text); }

QString StatusBar::link() const { return link_->text(); }

void StatusBar::showRefusal(const QString& answer, const QString& line)
{
    // Enough of the line to know it again; a line break in it would break the bar.
    constexpr qsizetype kShown = 80;
    QString shown = line.left(kShown);
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0xB7);
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    refusal_->setText(shown.isEmpty() ? QStringLiteral("%1  %2").arg(time, answer)
                                      : QStringLiteral("%1  %2  %3").arg(time, answer, shown));
}

QString StatusBar::refusal() const { return refusal_->text(); }

void StatusBar::showRemote(const QString& text) { remote_->setText(text); }

QString StatusBar::remote() const { return remote_->text(); }

TabControl::TabControl(const QString& name, QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), panel_(new QFrame(this))
{
    setObjectName(name);
    bar_->setObjectName(name + QStringLiteral(".tabs"));
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    panel_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    bar_->installEventFilter(this);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        for (int i = 0; i < pages_.size(); ++i)
            pages_[i]->setVisible(i == index);
        emit click();
    });
}

QWidget* TabControl::addPage(const QString& caption)
{
    auto* page = new QWidget(this);
    page->setObjectName(objectName() + QStringLiteral(".page%1").arg(pages_.size()));
    page->setGeometry(rect());
    pages_.append(page);
    const QSignalBlocker quiet(bar_); // adding pages is building, not a change of page
    bar_->addTab(caption);
    page->setVisible(bar_->currentIndex() == pages_.size() - 1);
    bar_->raise();
    return page;
}

// The page an edit is open on stays until the edit is finished: a refused text keeps it.
bool TabControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_ && event->type() == QEvent::MouseButtonPress && !finishOpenEdit())
        return true;
    return QWidget::eventFilter(watched, event);
}

int TabControl::tab() const { return bar_->currentIndex(); }

void TabControl::setTab(int page) { bar_->setCurrentIndex(page); }

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int barHeight = bar_->sizeHint().height();
    bar_->setGeometry(2, 0, std::min(bar_->sizeHint().width(), width() - 2), barHeight);
    panel_->setGeometry(0, barHeight - 1, width(), height() - barHeight + 1);
    panel_->lower();
    for (QWidget* page : pages_)
        page->setGeometry(rect());
    bar_->raise();
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
