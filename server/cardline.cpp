#include "project/paths.h"
#include "server/cardline.h"

#include "project/datasetfile.h"
#include "project/textfile.h"
#include "project/textlines.h"
#include "server/compose.h"

namespace server::compose {

QByteArray cardLine(const project::CARD& card, short channel, const QString& projectName, const QString& dataFolder,
                    const QString& dataset, const QString& action)
{
    Inputs in;
    in.channel = channel;
    in.layer = card.Layer;
    in.projectName = projectName;
    in.fileName = card.FileName;
    in.tags = card.Tags; // shared with the card, not copied
    in.command = card.Command;
    in.action = action;
    if (carriesTemplateData(kindOf(action))) {
        in.copy = project::datasetfile::copyName(dataset);
        in.copyLines = project::textfile::splitLines(project::textfile::readBytes(project::paths::join(dataFolder, in.copy)));
    }
    return line(in);
}

} // namespace server::compose
