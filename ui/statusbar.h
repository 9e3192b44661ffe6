#pragma once
#include <QStatusBar>

class QLabel;

namespace ui {

/// The window's status bar: the link in words on the left, the last refusal on the right. It
/// never takes the focus and never opens a box.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    /// Its labels are named after it: name.link, name.remote and name.refusal.
    StatusBar(const QString& name, QWidget* parent);
    /// The state of the link, in words.
    void showLink(const QString& text);
    QString link() const;
    /// The answer and the line it refused, shown with the time of day, each as cut() gives it.
    void showRefusal(const QString& answer, const QString& line);
    /// What the bar shows of a text from the wire: enough to know it again, 80 characters, with
    /// control characters as middle dots, so no line break or length can widen the window.
    static QString cut(const QString& text);
    QString refusal() const;
    /// The last thing a control surface did, or why it did nothing.
    void showRemote(const QString& text);
    QString remote() const;

private:
    QLabel* link_;
    QLabel* remote_;
    QLabel* refusal_;
};

} // namespace ui
