#pragma once
#include <QString>

#include "project/card.h"

/// The program's one instance of module state, shared by the procedures of every module.
struct State {
    CardTable CARDS = CardTable(2);

    QString ProjectFolder;
    QString ProjectName;
    QString DataFolder;
    /// Where the data folders of all projects lie: the program's folder + "/data" by default.
    QString DataRoot;

    short CurrentCard = 0;
    QString CurrentCardFile;
    QString CurrentDataset;
    short MaxInvokes = 0;

    bool LoadingCards = false;
    bool LoadingDatasets = false;
    bool LoadingTags = false;

    /// The playlist step being fired goes to the preview channel (a right click).
    bool PreviewMode = false;

    QString RecentList;
};
