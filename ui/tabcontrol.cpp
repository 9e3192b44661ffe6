#include "ui/tabcontrol.h"

#include <QEvent>
#include <QFrame>
#include <QTabBar>

#include "ui/dispatch.h"

namespace ui {

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

} // namespace ui
