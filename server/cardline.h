#pragma once
// The line of a card's action for one dataset: what the on-air button and the playlist send.
#include <QByteArray>
#include <QString>

#include "project/card.h"

namespace server::compose {

/// The line for action on card, on channel, with the values of dataset (a dataset file of
/// dataFolder): its UTF-8 copy is read for the add and update lines only. Raises what reading
/// the copy or composing raises.
QByteArray cardLine(const project::CARD& card, short channel, const QString& projectName, const QString& dataFolder,
                    const QString& dataset, const QString& action);

} // namespace server::compose
