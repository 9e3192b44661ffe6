#include "app/frmMAIN.h"
#include "app/mGENERAL.h"
#include "fault/trap.h"
#include "project/paths.h"
#include "project/textfile.h"
#include "ui/dialogs.h"

namespace app::mGENERAL {

namespace {
constexpr const char* kModule = "mGENERAL";
constexpr int LINE_BASE = fault::linebase::mGENERAL_pickers;
} // namespace

QString SelectFolder()
{
    ARM_TRAP();
    QString folder;
    folder = ui::dialogs().pickFolder(QStringLiteral("Pick a folder"));
    return folder;
}

QString SelectFullPathFile(frmMAIN& f)
{
    ARM_TRAP();
    QString file;
    file = ui::dialogs().pickFile(&f, QStringLiteral("File select"));
    while (file.startsWith(QLatin1Char(' ')))
        file.remove(0, 1);
    while (file.endsWith(QLatin1Char(' ')))
        file.chop(1);
    return file;
}

QString GetFilenameFromPath(const QString& path)
{
    ARM_TRAP();
    return project::paths::lastComponent(path);
}

} // namespace app::mGENERAL
