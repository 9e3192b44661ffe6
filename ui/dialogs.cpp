#include "ui/dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "ui/dispatch.h"

namespace ui {

namespace {

/// A box that only its buttons close: no Escape, no close button.
class ErrorBox : public QMessageBox {
public:
    ErrorBox()
    {
        setWindowTitle(QStringLiteral("Plintor"));
        setIcon(QMessageBox::NoIcon);
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        // One role for all three keeps them in this order on every platform and leaves
        // Escape without a button.
        abort = addButton(QStringLiteral("&Abort"), QMessageBox::ActionRole);
        retry = addButton(QStringLiteral("&Retry"), QMessageBox::ActionRole);
        ignore = addButton(QStringLiteral("&Ignore"), QMessageBox::ActionRole);
        abort->setObjectName(QStringLiteral("Abort"));
        retry->setObjectName(QStringLiteral("Retry"));
        ignore->setObjectName(QStringLiteral("Ignore"));
        setDefaultButton(abort);
        setObjectName(QStringLiteral("errorBox"));
    }
    QPushButton* abort;
    QPushButton* retry;
    QPushButton* ignore;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!clickedButton())
            event->ignore();
    }
};

QtDialogs realDialogs;
Dialogs* current = &realDialogs;

} // namespace

fault::Answer QtDialogs::errorBox(const QString& report)
{
    ModalScope modal;
    ErrorBox box;
    box.setText(report);
    while (!box.clickedButton())
        box.exec();
    if (box.clickedButton() == box.retry)
        return fault::Answer::Retry;
    if (box.clickedButton() == box.ignore)
        return fault::Answer::Ignore;
    return fault::Answer::Abort;
}

bool QtDialogs::yesNo(const QString& text, const QString& caption)
{
    ModalScope modal;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setObjectName(QStringLiteral("yesNoBox"));
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::pickFolder(const QString& title)
{
    ModalScope modal;
    const QString folder = QFileDialog::getExistingDirectory(nullptr, title, QString(), QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder);
}

QString QtDialogs::pickFile(QWidget* owner, const QString& title)
{
    ModalScope modal;
    QFileDialog dialog(owner, title, QDir::rootPath());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Shown as "All Files (*.*)" but matching every file, also those without a dot.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(QStringLiteral("All Files (*.*) (*)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void QtDialogs::message(const QString& text, const QString& caption)
{
    ModalScope modal;
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

Dialogs& dialogs() { return *current; }

void setDialogs(Dialogs* replacement) { current = replacement ? replacement : &realDialogs; }

void installTrapOperator()
{
    fault::setOperator([](const QString& report) { return dialogs().errorBox(report); });
}

} // namespace ui
