#pragma once
// A project's cards read and parsed at once, on every core: a studio opens a thousand of them.
#include <QString>
#include <QStringList>
#include <vector>

#include "project/cardfile.h"

namespace project::cardread {

/// One card file as read ahead: parsed when it could be read, left for the caller otherwise, who
/// reads it again where its failure can be reported (and retried).
struct Ahead {
    bool read = false;
    cardfile::Parsed parsed;
};

/// The card files names of folder, in their order.
std::vector<Ahead> readAll(const QString& folder, const QStringList& names);

} // namespace project::cardread
