#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

#include "project/card.h"

/// What one run of a load was made from and what it left behind: equal marks taken at the end of
/// one run and at the start of the next mean the next would only repeat it.
struct LoadMark {
    quint64 action = 0;        // the operator's action it ran in
    quint64 writes = 0;        // files written by the program until then
    QString argument;          // the card or dataset file it loaded
    QString dataFolder;
    short card = 0;
    quint64 cardGrid = 0;      // changes of the card grid (a new card table refills it)
    quint64 datasetGrid = 0;   // changes of the dataset grid and of the tag grid
    quint64 tagGrid = 0;
    int datasetRow = 0;
    QString currentDataset;
    bool operator==(const LoadMark&) const = default;
};

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
    short MaxInvokes = 0;

    bool LoadingCards = false;
    bool LoadingDatasets = false;
    bool LoadingTags = false;

    /// The playlist step being fired goes to the preview channel (a right click).
    bool PreviewMode = false;

    QString RecentList;

    /// The last runs of LOADDATASET and LOADTAGS, so one operator action loads each only once.
    LoadMark DatasetsLoaded;
    LoadMark TagsLoaded;
    /// The dataset files read in this action while no file was written: listing a card's
    /// datasets and loading the first one's tags read it once.
    quint64 ReadsAction = 0;
    quint64 ReadsWrites = 0;
    QHash<QString, QStringList> DatasetsRead;
};
