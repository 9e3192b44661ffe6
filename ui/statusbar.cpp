#include "ui/statusbar.h"

#include <QLabel>
#include <QTime>

namespace ui {

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
    // What the server or a remote says never sizes the window: they take the room there is.
    for (QLabel* said : {remote_, refusal_})
        said->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addPermanentWidget(refusal_, 1);
    refusal_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void StatusBar::showLink(const QString& text) { link_->setText(text); }

QString StatusBar::link() const { return link_->text(); }

QString StatusBar::cut(const QString& text)
{
    constexpr qsizetype kShown = 80;
    QString shown = text.left(kShown);
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0xB7);
    return shown;
}

void StatusBar::showRefusal(const QString& answer, const QString& line)
{
    const QString said = cut(answer);
    const QString shown = cut(line);
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    refusal_->setText(shown.isEmpty() ? QStringLiteral("%1  %2").arg(time, said)
                                      : QStringLiteral("%1  %2  %3").arg(time, said, shown));
}

QString StatusBar::refusal() const { return refusal_->text(); }

void StatusBar::showRemote(const QString& text) { remote_->setText(text); }

QString StatusBar::remote() const { return remote_->text(); }

} // namespace ui
