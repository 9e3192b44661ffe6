#pragma once
#include <QString>
#include <QStringList>

/// The recent-projects list as text: entries framed by "~", newest first, at most five.
namespace project::recentlist {

/// The stored list keeps five entries, one more than the menu's four: the lists stored by every
/// installation have five, and a list moved between installations keeps them.
inline constexpr qsizetype kMaxItems = 5;

/// The list without its outer "~", split at "~~". The empty list gives no items.
QStringList items(const QString& list);
/// The list with path at its front; unchanged for a path holding "~", which it cannot keep.
QString add(const QString& list, const QString& path);

} // namespace project::recentlist
