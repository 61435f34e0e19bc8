#pragma once

#include "model/CardTexts.h"
#include "model/Career.h"
#include "util/Error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tw {

class IFFFile;

// Every career of the open game, in ascending order of their resource ids, and the texts of all
// chance cards. A career is addressed by its index here.
class CareerSet {
public:
    static constexpr std::uint16_t RootCardBehaviorId = 4124;
    static constexpr std::uint16_t JobNamesIdOffset = 1000;

    std::vector<Career> careers;
    CardTexts cardTexts;
    // The careers of the container that could not be loaded (their track, texts or job names do
    // not decode, or their texts are missing), by id: their chunks stay as they were read.
    std::vector<std::uint16_t> leftOut;
    // The chance cards of careers that are not in `careers` (left out, or not in this careers
    // file at all), by id in ascending order: kept as read and written back with the others.
    std::vector<std::pair<std::uint16_t, std::array<ChanceCard, Career::CardCount>>> otherCards;

    std::size_t Count() const { return careers.size(); }

    // Loads every CARR resource with an id from 1 to 32767, with its STR# of the same id, in
    // ascending id order; the chance cards are left empty. A career whose track, texts or job
    // names (STR# id + 1000) cannot be decoded, or whose texts are missing, is left out and
    // named in the container's problems. Fails, saying why, when no career loads.
    Status LoadCareers(IFFFile& careers);
    // StoreCareers, then writes the container to its file. Fails when nothing is loaded, at the
    // first resource that cannot be stored, or when the file cannot be written.
    Status SaveCareers(IFFFile& careers);
    // Encodes every track and its texts into the container and refreshes the job names in each
    // career's STR# with id + 1000 (creating it when missing); the container is not written.
    // Fails, naming what could not be stored, at the first failure.
    Status StoreCareers(IFFFile& careers);

    // Decodes the chance cards from the card behaviours of CarPortal.iff and loads the card texts
    // (STR# 301) and which of their rows are free. Fails, saying why, when the card texts are missing or
    // unreadable, or a card behaviour does not decode (named in the container's problems): a
    // save would then lose cards.
    Status LoadChanceCards(IFFFile& chanceCards);
    // StoreChanceCards, then writes the container to its file.
    Status SaveChanceCards(IFFFile& chanceCards);
    // Replaces the card behaviours by code generated from the cards and stores the card texts;
    // the container is not written. Fails, naming what could not be stored (cards that need more
    // code than the container can hold, among others).
    Status StoreChanceCards(IFFFile& chanceCards);
    // Every card back to no text and no items (chance-card editing is off).
    void ClearCards();
    // The cards of the career with `id`, whether it is loaded or only known from the card code;
    // none for a career that has no cards here.
    const std::array<ChanceCard, Career::CardCount>* CardsOf(std::uint16_t id) const;

    // Copies the texts of the career's chance cards in `slot` into the other menu languages,
    // converted as CareerTexts::CopyToAllLanguages does; returns the languages that lost
    // characters.
    LanguageSet CopyCardTextsToAllLanguages(std::uint32_t career, std::uint16_t slot);

    // The career's internal name in quotes, for messages (its index when there is no such career).
    std::string CareerName(std::size_t career) const;
};

}  // namespace tw
