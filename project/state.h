#pragma once
#include <QString>
#include <QStringList>

#include "project/card.h"

namespace project {

/// The program's one instance of module state, shared by the procedures of every module.
struct State {
    CardTable CARDS = CardTable(2);

    QString ProjectFolder;
    QString ProjectName;
    QString DataFolder;
    /// Where the data folders of all projects lie, chosen once at start: the --data-root folder, a "data" folder
    /// beside the program, or the per-user data folder + "/data".
    QString DataRoot;

    short MaxInvokes = 0;

    QString RecentList;
};

} // namespace project
