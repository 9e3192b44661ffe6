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

    short CurrentCard = 0;
    QString CurrentCardFile;
    QString CurrentDataset;
    /// The dataset whose file the tag grid could not read: its values are not known, so it is
    /// not written over. Empty when the tags were read.
    QString UnreadDataset;
    short MaxInvokes = 0;

    bool LoadingCards = false;
    bool LoadingDatasets = false;
    bool LoadingTags = false;

    QString RecentList;

    /// What the editor's grids were last loaded for, and in which operator action: a handler
    /// leaves a selection that this action has loaded already, however many grid events the
    /// action raises; the next action loads it anew, since files may change between two clicks.
    struct Loaded {
        short card = -1;
        QString dataset;
        quint64 action = 0;
        bool operator==(const Loaded&) const = default;
    };
    Loaded CardLoaded;
    Loaded DatasetLoaded;
};

} // namespace project
