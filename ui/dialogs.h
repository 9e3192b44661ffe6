#pragma once
#include <QString>

#include "fault/trap.h"

class QWidget;

namespace ui {

/// Every modal box the program shows. The real ones are Qt's; tests install a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    /// The error report: Abort, Retry, Ignore.
    virtual fault::Answer errorBox(const QString& report) = 0;
    /// A question with Yes and No; true for Yes.
    virtual bool yesNo(const QString& text, const QString& caption) = 0;
    /// The folder picker: the chosen folder's path, or empty on cancel.
    virtual QString pickFolder(const QString& title) = 0;
    /// The file picker, owned by owner: the chosen file's path, or empty on cancel.
    virtual QString pickFile(QWidget* owner, const QString& title) = 0;
    /// A message with an OK button. Boxes that only answer questions need not show it.
    virtual void message(const QString& text, const QString& caption) { Q_UNUSED(text); Q_UNUSED(caption); }
};

/// The real boxes.
class QtDialogs : public Dialogs {
public:
    fault::Answer errorBox(const QString& report) override;
    bool yesNo(const QString& text, const QString& caption) override;
    QString pickFolder(const QString& title) override;
    QString pickFile(QWidget* owner, const QString& title) override;
    void message(const QString& text, const QString& caption) override;
};

Dialogs& dialogs();
/// Installs other boxes (a test's script); nullptr brings the real ones back.
void setDialogs(Dialogs* replacement);
/// Makes the error trap ask the operator through dialogs().errorBox.
void installTrapOperator();

} // namespace ui
