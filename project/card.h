#pragma once
#include <QString>
#include <array>
#include <vector>

namespace project {

/// A card holds at most this many tags, in slots 1 to kTagSlots.
inline constexpr int kTagSlots = 100;

/// One tag definition of a card; an empty Id marks an empty slot.
struct TAGDEF {
    QString Title;
    QString Id;
    short Ani = 0;
    QString Type;
};

/// One card: a template of the server and its tags. Slot 0 of Tags is not used.
struct CARD {
    short Type = 0; // 0 other, 1 video, 2 card, 3 mixer
    QString Title;
    short Channel = 0;
    short Layer = 0;
    QString FileName;
    std::array<TAGDEF, kTagSlots + 1> Tags;
    QString Invoke;
    QString Command;
};

/// The actions a card offers beside its invoke names: what the action list and the playlist's
/// steps show, and what the command composer tells apart by their upper-case form.
namespace action {
inline constexpr QLatin1String Play("Play");
inline constexpr QLatin1String Update("Update");
inline constexpr QLatin1String Custom("Custom");
} // namespace action

/// The card table: slot 0 is not used, cards are at 1 to n.
using CardTable = std::vector<CARD>;

} // namespace project
