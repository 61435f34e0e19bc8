#pragma once

#include "model/CareerTrack.h"
#include "model/ChanceCard.h"
#include "model/StringTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

class IFFFile;

// Every career of the open game: its track, its texts, its chance cards and its resource id,
// in ascending order of the id; and the texts of all chance cards.
class CareerSet {
public:
    static constexpr std::uint32_t CardsPerCareer = 10;
    static constexpr std::uint16_t RootCardBehaviorId = 4124;
    static constexpr std::uint16_t CardTextsId = 301;
    static constexpr std::uint16_t JobNamesIdOffset = 1000;
    static constexpr std::uint16_t CardTextRowCount = 300;

    // The CARR resources, in career order.
    std::vector<CareerTrack> tracks;
    // The career STR# resources (same ids as the tracks).
    std::vector<StringTable> texts;
    // The chance card of career i and job level j at index i * 10 + j.
    std::vector<ChanceCard> cards;
    // The resource id of each career.
    std::vector<std::uint16_t> ids;
    // STR# 301 of the chance-card container.
    StringTable cardTexts;
    // Per card text row number 1 to 300 (index = row number): true when no card code uses it.
    std::array<bool, CardTextRowCount + 1> freeCardTextRows{};
    std::uint32_t careerCount = 0;

    // Loads every CARR resource with an id from 1 to 32767, with its STR# of the same id, in
    // ascending id order; the chance cards are left empty. False when there is none, or when a
    // track or its texts cannot be loaded (what was loaded before stays).
    bool LoadCareers(IFFFile& careers);
    // Encodes every track and its texts into the container, refreshes the job names in each
    // career's STR# with id + 1000 (creating it when missing) and writes the container to its
    // file. False when nothing is loaded, at the first resource that cannot be stored, or when
    // the file cannot be written.
    bool SaveCareers(IFFFile& careers);
    // The first half of SaveCareers: every track and its texts encoded into the container, which
    // is not written. False, with what could not be stored in `reason`, at the first failure.
    bool StoreCareers(IFFFile& careers, std::string* reason = nullptr);

    // Decodes the chance cards from the card behaviours of CarPortal.iff and loads the card texts
    // (STR# 301). False only when the card texts are missing or unreadable.
    bool LoadChanceCards(IFFFile& chanceCards);
    // Replaces the card behaviours by code generated from the cards, stores the card texts and
    // writes the container to its file. False when a behaviour cannot be added, the cards need
    // a continuation behaviour and no id is free for one, the card texts cannot be stored or the
    // file cannot be written.
    bool SaveChanceCards(IFFFile& chanceCards);
    // The first half of SaveChanceCards: the card code and texts stored into the container, which
    // is not written. False with what could not be stored in `reason` (cards that need more code
    // than the container can hold, among others).
    bool StoreChanceCards(IFFFile& chanceCards, std::string* reason = nullptr);

    // Copies the values of rows 0 to 32 of career `career` in `slot` into the slots 0 to 14.
    void CopyTextsToAllLanguages(std::uint32_t career, std::uint16_t slot);
    // Copies the texts of the career's chance cards in `slot` into the slots 0 to 14.
    void CopyCardTextsToAllLanguages(std::uint32_t career, std::uint16_t slot);

private:
    // The career's internal name in quotes, for messages (its index when it has no track).
    std::string CareerName(std::size_t career) const;
    // The number of careers whose id and cards are both there.
    std::size_t CareersWithCards() const;
};

}  // namespace tw
