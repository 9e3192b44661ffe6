#include "server/cardline.h"

#include "project/datasetfile.h"
#include "project/textfile.h"
#include "server/compose.h"

namespace compose {

QByteArray cardLine(const CARD& card, short channel, const QString& projectName, const QString& dataFolder,
                    const QString& dataset, const QString& action)
{
    Inputs in;
    in.channel = channel;
    in.layer = card.Layer;
    in.projectName = projectName;
    in.fileName = card.FileName;
    in.tags = card.Tags;
    in.command = card.Command;
    in.action = action;
    if (carriesTemplateData(kindOf(action))) {
        in.copy = datasetfile::copyName(dataset);
        in.copyLines = textfile::splitLines(textfile::readBytes(textfile::join(dataFolder, in.copy)));
    }
    return line(in);
}

} // namespace compose
