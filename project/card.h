#pragma once
#include <QList>
#include <QString>
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

/// A card's tag slots 0 to kTagSlots. Only the slots up to the highest one written are kept: most
/// cards use a few of the hundred, and a studio's thousand cards are all held at once. A copy
/// shares the kept slots until either is written, so a fire takes the card's tags for nothing.
class TagSlots {
public:
    /// Slot `slot`; a slot past the kept ones is empty.
    const TAGDEF& operator[](size_t slot) const
    {
        Q_ASSERT(slot <= size_t(kTagSlots));
        return qsizetype(slot) < kept_.size() ? kept_.at(qsizetype(slot)) : emptySlot();
    }
    /// Slot `slot` to write, kept from now on with every slot before it. Readers use the const one.
    TAGDEF& operator[](size_t slot)
    {
        Q_ASSERT(slot <= size_t(kTagSlots));
        if (qsizetype(slot) >= kept_.size())
            kept_.resize(qsizetype(slot) + 1);
        return kept_[qsizetype(slot)];
    }
    /// The slots kept, 0 to size() - 1; every later one is empty.
    size_t size() const { return size_t(kept_.size()); }
    QList<TAGDEF>::const_iterator begin() const { return kept_.cbegin(); }
    QList<TAGDEF>::const_iterator end() const { return kept_.cend(); }
    /// Gives back the room kept for slots still to be written, once the card is read.
    void squeeze() { kept_.squeeze(); }

private:
    static const TAGDEF& emptySlot()
    {
        static const TAGDEF empty;
        return empty;
    }
    QList<TAGDEF> kept_;
};

/// One card: a template of the server and its tags. Slot 0 of Tags is not used.
struct CARD {
    short Type = 0; // 0 other, 1 video, 2 card, 3 mixer
    QString Title;
    short Channel = 0;
    short Layer = 0;
    QString FileName;
    TagSlots Tags;
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
