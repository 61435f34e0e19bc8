#include "sample/SampleCareerData.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <string_view>

namespace tw {
namespace {

// Language slots that the sample fills.
constexpr std::uint16_t SlotUSEnglish = 0;
constexpr std::uint16_t SlotUKEnglish = 1;
constexpr std::uint16_t SlotFrench = 2;
constexpr std::uint16_t SlotGerman = 3;
constexpr std::uint16_t SlotSpanish = 5;
constexpr std::uint16_t SlotJapanese = 9;

constexpr std::size_t BaseCareers = 10;
constexpr std::size_t Levels = 10;

// The game's texts are bytes in the player's code page. The European texts below are written
// in UTF-8 for readability and turned into Windows-1252 here; they only use characters that
// code page has.
std::string ToWindows1252(std::string_view utf8) {
    struct Special {
        char32_t code;
        unsigned char byte;
    };
    static constexpr Special Specials[] = {{0x20AC, 0x80}, {0x2026, 0x85}, {0x2018, 0x91}, {0x2019, 0x92},
                                           {0x201C, 0x93}, {0x201D, 0x94}, {0x2013, 0x96}, {0x2014, 0x97},
                                           {0x0153, 0x9C}, {0x0152, 0x8C}};
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t code = lead;
        std::size_t length = 1;
        if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1Fu;
        }
        assert(i + length <= utf8.size());
        for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        i += length;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        bool found = false;
        for (const Special& special : Specials) {
            if (special.code == code) {
                out.push_back(static_cast<char>(special.byte));
                found = true;
            }
        }
        assert(found && "a sample text uses a character outside Windows-1252");
        (void)found;
    }
    return out;
}

std::string Cp(std::string_view utf8) { return ToWindows1252(utf8); }

// What one career is about, in the languages of the sample. French, German and Spanish job
// names differ for men and women.
struct CareerWords {
    const char* internal;
    const char* english;
    const char* englishRole;
    const char* french;
    const char* frenchRole;
    const char* frenchRoleFemale;
    const char* german;
    const char* germanRole;
    const char* germanRoleFemale;
    const char* spanish;
    const char* spanishRole;
    const char* spanishRoleFemale;
    const char* tag;      // short name in the internal texts
    const char* letters;  // on the icons
};

constexpr CareerWords Careers[BaseCareers] = {
    {"Beekeeping", "Beekeeping", "Beekeeper", "Apiculture", "Apiculteur", "Apicultrice", "Imkerei", "Imker",
     "Imkerin", "Apicultura", "Apicultor", "Apicultora", "bee", "BE"},
    {"Cartography", "Cartography", "Cartographer", "Cartographie", "Cartographe", "Cartographe", "Kartografie",
     "Kartograf", "Kartografin", "Cartografía", "Cartógrafo", "Cartógrafa", "map", "CA"},
    {"Lighthouse", "Lighthouse Keeping", "Lighthouse Keeper", "Gardiennage de phare", "Gardien de phare",
     "Gardienne de phare", "Leuchtturmdienst", "Leuchtturmwärter", "Leuchtturmwärterin", "Faros", "Farero",
     "Farera", "lhk", "LH"},
    {"Bakery", "Baking", "Baker", "Boulangerie", "Boulanger", "Boulangère", "Bäckerei", "Bäcker", "Bäckerin",
     "Panadería", "Panadero", "Panadera", "bak", "BK"},
    {"Clockmaking", "Clockmaking", "Clockmaker", "Horlogerie", "Horloger", "Horlogère", "Uhrmacherei", "Uhrmacher",
     "Uhrmacherin", "Relojería", "Relojero", "Relojera", "clk", "CL"},
    {"Botany", "Botany", "Botanist", "Botanique", "Botaniste", "Botaniste", "Botanik", "Botaniker", "Botanikerin",
     "Botánica", "Botánico", "Botánica", "bot", "BO"},
    {"Puppetry", "Puppetry", "Puppeteer", "Marionnettes", "Marionnettiste", "Marionnettiste", "Puppenspiel",
     "Puppenspieler", "Puppenspielerin", "Títeres", "Titiritero", "Titiritera", "pup", "PU"},
    {"Glassblowing", "Glassblowing", "Glassblower", "Verrerie", "Souffleur de verre", "Souffleuse de verre",
     "Glasbläserei", "Glasbläser", "Glasbläserin", "Vidrio soplado", "Soplador de vidrio", "Sopladora de vidrio",
     "gla", "GL"},
    {"Railways", "Railways", "Train Driver", "Chemins de fer", "Conducteur de train", "Conductrice de train",
     "Eisenbahn", "Lokführer", "Lokführerin", "Ferrocarril", "Maquinista", "Maquinista", "rwy", "RW"},
    {"MountainGuiding", "Mountain Guiding", "Mountain Guide", "Haute montagne", "Guide de haute montagne",
     "Guide de haute montagne", "Bergführung", "Bergführer", "Bergführerin", "Montañismo", "Guía de montaña",
     "Guía de montaña", "mtn", "MG"},
};

// The same careers and job titles in Japanese, as Shift_JIS bytes.
// 養蜂, 地図製作, 灯台守, パン作り, 時計作り, 植物学, 人形劇, ガラス工芸, 鉄道, 山岳ガイド
constexpr const char* JapaneseCareers[BaseCareers] = {
    "\x97{\x96I",                          // 養蜂
    "\x92n\x90}\x90\xBB\x8D\xEC",          // 地図製作
    "\x93\x94\x91\xE4\x8E\xE7",            // 灯台守
    "\x83p\x83\x93\x8D\xEC\x82\xE8",       // パン作り
    "\x8E\x9E\x8Cv\x8D\xEC\x82\xE8",       // 時計作り
    "\x90" "A\x95\xA8\x8Aw",               // 植物学
    "\x90l\x8C`\x8C\x80",                  // 人形劇
    "\x83K\x83\x89\x83X\x8DH\x8C|",        // ガラス工芸
    "\x93S\x93\xB9",                       // 鉄道
    "\x8ER\x8Ax\x83K\x83" "C\x83h",        // 山岳ガイド
};
constexpr const char* JapaneseRoles[BaseCareers] = {
    "\x97{\x96I\x89\xC6",                  // 養蜂家
    "\x92n\x90}\x90\xBB\x8D\xEC\x8E\xD2",  // 地図製作者
    "\x93\x94\x91\xE4\x8E\xE7",            // 灯台守
    "\x83p\x83\x93\x90" "E\x90l",          // パン職人
    "\x8E\x9E\x8Cv\x90" "E\x90l",          // 時計職人
    "\x90" "A\x95\xA8\x8Aw\x8E\xD2",       // 植物学者
    "\x90l\x8C`\x8C\xAD\x82\xA2",          // 人形遣い
    "\x83K\x83\x89\x83X\x90" "E\x90l",     // ガラス職人
    "\x89^\x93]\x8Em",                     // 運転士
    "\x8ER\x8Ax\x83K\x83" "C\x83h",        // 山岳ガイド
};
constexpr const char* JapaneseRanks[Levels] = {
    "\x8C\xA9\x8FK\x82\xA2",  // 見習い
    "\x92\xED\x8Eq",          // 弟子
    "\x8F\x95\x8E\xE8",       // 助手
    "\x8F\x89\x8B\x89",       // 初級
    "\x92\x86\x8B\x89",       // 中級
    "\x8F\xE3\x8B\x89",       // 上級
    "\x8E\xE5\x94" "C",       // 主任
    "\x96\xBC\x90l",          // 名人
    "\x92" "B\x90l",          // 達人
    "\x93`\x90\xE0\x82\xCC",  // 伝説の
};
// Pieces of the Japanese sentences, around the names and numbers put between them.
constexpr const char* JaOf = "\x82\xCC";                                                  // の
constexpr const char* JaLevelEnd = "\x92i\x8AK\x96\xDA\x81" "B";                          // 段階目。
constexpr const char* JaFrom = "\x8E\x9E\x82\xA9\x82\xE7";                                // 時から
constexpr const char* JaUntilPay = "\x8E\x9E\x82\xDC\x82\xC5\x81" "A\x93\xFA\x8B\x8B";    // 時まで、日給
constexpr const char* JaSimoleonsEnd = "\x81\x98\x81" "B";                                // §。
constexpr const char* JaOfferOpen = "\x82\xCC\x8E" "d\x8E\x96\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7\x81" "B";  // の仕事があります。
constexpr const char* JaOfferAsk = "\x82\xC6\x82\xB5\x82\xC4\x93\xAD\x82\xAB\x82\xDC\x82\xB7\x82\xA9\x81H";       // として働きますか？
// の仕事ぶりに感心した客が … §のチップを置いていきました。
constexpr const char* JaTipStart = "\x82\xCC\x8E" "d\x8E\x96\x82\xD4\x82\xE8\x82\xC9\x8A\xB4\x90S\x82\xB5\x82\xBD\x8Bq\x82\xAA";
constexpr const char* JaTipEnd =
    "\x81\x98\x82\xCC\x83`\x83" "b\x83v\x82\xF0\x92u\x82\xA2\x82\xC4\x82\xA2\x82\xAB\x82\xDC\x82\xB5\x82\xBD\x81" "B";
// の長い一日で新しいコツを覚えました。スキルが1上がり、 … §のボーナスです。
constexpr const char* JaSkillStart =
    "\x82\xCC\x92\xB7\x82\xA2\x88\xEA\x93\xFA\x82\xC5\x90V\x82\xB5\x82\xA2\x83R\x83" "c\x82\xF0\x8Ao\x82\xA6\x82\xDC"
    "\x82\xB5\x82\xBD\x81" "B\x83X\x83L\x83\x8B\x82\xAA" "1\x8F\xE3\x82\xAA\x82\xE8\x81" "A";
constexpr const char* JaSkillEnd = "\x81\x98\x82\xCC\x83{\x81[\x83i\x83X\x82\xC5\x82\xB7\x81" "B";
// 仕事中に失敗！修理代に … §かかり、自信もなくしました。
constexpr const char* JaMishapStart = "\x8E" "d\x8E\x96\x92\x86\x82\xC9\x8E\xB8\x94s\x81I\x8F" "C\x97\x9D\x91\xE3\x82\xC9";
constexpr const char* JaMishapEnd =
    "\x81\x98\x82\xA9\x82\xA9\x82\xE8\x81" "A\x8E\xA9\x90M\x82\xE0\x82\xC8\x82\xAD\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81" "B";
// の仕事ぶりを上司が絶賛。その場で昇進です！
constexpr const char* JaPromotion =
    "\x82\xCC\x8E" "d\x8E\x96\x82\xD4\x82\xE8\x82\xF0\x8F\xE3\x8Ei\x82\xAA\x90\xE2\x8E^\x81" "B\x82\xBB\x82\xCC\x8F\xEA"
    "\x82\xC5\x8F\xB8\x90i\x82\xC5\x82\xB7\x81I";

constexpr const char* EnglishRanks[Levels] = {"Trainee", "Apprentice",   "Assistant", "Junior", "Associate",
                                              "Senior",  "Head",         "Master",    "Grand Master", "Legendary"};
// French and Spanish ranks follow the role; German ones stand in brackets after it.
constexpr const char* FrenchRanks[Levels][2] = {
    {"stagiaire", "stagiaire"},     {"apprenti", "apprentie"}, {"assistant", "assistante"},
    {"débutant", "débutante"},      {"confirmé", "confirmée"}, {"expérimenté", "expérimentée"},
    {"en chef", "en chef"},         {"maître", "maître"},      {"émérite", "émérite"},
    {"légendaire", "légendaire"}};
constexpr const char* GermanRanks[Levels][2] = {
    {"Praktikant", "Praktikantin"}, {"Lehrling", "Lehrling"},   {"Assistent", "Assistentin"},
    {"Junior", "Junior"},           {"Fachkraft", "Fachkraft"}, {"Senior", "Senior"},
    {"Leiter", "Leiterin"},         {"Meister", "Meisterin"},   {"Großmeister", "Großmeisterin"},
    {"Legende", "Legende"}};
constexpr const char* SpanishRanks[Levels][2] = {
    {"en prácticas", "en prácticas"}, {"aprendiz", "aprendiz"},         {"ayudante", "ayudante"},
    {"júnior", "júnior"},             {"titular", "titular"},           {"sénior", "sénior"},
    {"jefe", "jefa"},                 {"maestro", "maestra"},           {"gran maestro", "gran maestra"},
    {"legendario", "legendaria"}};

// The numbers of a career. Skills are value indexes 1 cooking, 2 mechanical, 3 charisma,
// 4 body, 5 logic, 6 creativity; card skills are the game's variables (10 cooking,
// 11 charisma, 12 mechanical, 15 creativity, 17 body, 18 logic).
struct CareerNumbers {
    std::size_t primarySkill;
    std::size_t secondarySkill;
    std::int32_t beginHour;
    std::int32_t shiftHours;
    std::int32_t firstSalary;
    std::int32_t topSalary;
    std::array<std::int32_t, 3> carPools;  // levels 0-3, 4-6, 7-9
    std::array<std::int32_t, 7> moods;     // hunger, comfort, hygiene, bladder, energy, fun, social
    std::uint32_t cardSkill;
};

constexpr CareerNumbers Numbers[BaseCareers] = {
    {4, 5, 6, 7, 110, 1100, {0, 4, 4}, {-2, -1, -3, 0, -2, -1, 0}, 17},
    {5, 6, 9, 8, 140, 1500, {5, 5, 3}, {-1, 0, 0, -1, -2, -2, -1}, 18},
    {4, 2, 18, 8, 100, 1000, {7, 1, 1}, {-2, -2, -1, 0, -3, -1, -3}, 12},
    {1, 3, 4, 6, 90, 950, {0, 7, 5}, {-1, -2, -2, -1, -3, 0, 0}, 10},
    {2, 5, 8, 8, 130, 1400, {5, 3, 6}, {-1, 0, -1, 0, -2, -2, -1}, 12},
    {5, 4, 7, 9, 120, 1350, {4, 4, 3}, {-2, -1, -2, 0, -2, 0, -1}, 18},
    {6, 3, 14, 7, 95, 1250, {0, 7, 8}, {-1, -1, -1, -1, -2, 0, 0}, 15},
    {6, 4, 10, 8, 115, 1300, {5, 5, 6}, {-3, -2, -3, 0, -2, -1, 0}, 15},
    {2, 3, 5, 9, 150, 1450, {0, 3, 6}, {-2, -1, -2, -2, -3, -1, 0}, 12},
    {4, 3, 6, 10, 105, 1600, {4, 1, 4}, {-3, -3, -3, -1, -4, 0, -1}, 17},
};

constexpr std::int32_t PrimarySkillByLevel[Levels] = {0, 100, 200, 200, 300, 400, 500, 600, 800, 1000};
constexpr std::int32_t SecondarySkillByLevel[Levels] = {0, 0, 0, 100, 100, 200, 300, 400, 500, 700};
constexpr std::int32_t FriendsByLevel[Levels] = {0, 0, 1, 1, 2, 3, 4, 6, 8, 10};

// Career text rows.
constexpr std::uint16_t RowName = 0;
constexpr std::uint16_t RowMaleOffer = 1;
constexpr std::uint16_t RowFemaleOffer = 2;
std::uint16_t RowMaleJob(std::size_t level) { return static_cast<std::uint16_t>(3 + 2 * level); }
std::uint16_t RowDescription(std::size_t level) { return static_cast<std::uint16_t>(4 + 2 * level); }
std::uint16_t RowFemaleJob(std::size_t level) { return static_cast<std::uint16_t>(23 + level); }

std::string Number(std::int32_t value) { return std::to_string(value); }

// A career's words in one language, with its number when it is a copy.
struct Localized {
    std::string career;
    std::array<std::string, Levels> maleJobs;
    std::array<std::string, Levels> femaleJobs;
};

std::string WithCopy(const std::string& text, std::uint32_t copy) {
    return copy == 0 ? text : text + " " + std::to_string(copy + 1);
}

Localized English(const CareerWords& words, std::uint32_t copy) {
    Localized out;
    out.career = WithCopy(words.english, copy);
    for (std::size_t level = 0; level < Levels; ++level) {
        out.maleJobs[level] = std::string(EnglishRanks[level]) + " " + words.englishRole;
        out.femaleJobs[level] = out.maleJobs[level];
    }
    return out;
}

Localized French(const CareerWords& words, std::uint32_t copy) {
    Localized out;
    out.career = WithCopy(Cp(words.french), copy);
    for (std::size_t level = 0; level < Levels; ++level) {
        out.maleJobs[level] = Cp(std::string(words.frenchRole) + " " + FrenchRanks[level][0]);
        out.femaleJobs[level] = Cp(std::string(words.frenchRoleFemale) + " " + FrenchRanks[level][1]);
    }
    return out;
}

Localized German(const CareerWords& words, std::uint32_t copy) {
    Localized out;
    out.career = WithCopy(Cp(words.german), copy);
    for (std::size_t level = 0; level < Levels; ++level) {
        out.maleJobs[level] = Cp(std::string(words.germanRole) + " (" + GermanRanks[level][0] + ")");
        out.femaleJobs[level] = Cp(std::string(words.germanRoleFemale) + " (" + GermanRanks[level][1] + ")");
    }
    return out;
}

Localized Spanish(const CareerWords& words, std::uint32_t copy) {
    Localized out;
    out.career = WithCopy(Cp(words.spanish), copy);
    for (std::size_t level = 0; level < Levels; ++level) {
        out.maleJobs[level] = Cp(std::string(words.spanishRole) + " " + SpanishRanks[level][0]);
        out.femaleJobs[level] = Cp(std::string(words.spanishRoleFemale) + " " + SpanishRanks[level][1]);
    }
    return out;
}

Localized Japanese(std::size_t base, std::uint32_t copy) {
    Localized out;
    out.career = WithCopy(JapaneseCareers[base], copy);
    for (std::size_t level = 0; level < Levels; ++level) {
        out.maleJobs[level] = std::string(JapaneseRanks[level]) + JapaneseRoles[base];
        out.femaleJobs[level] = out.maleJobs[level];
    }
    return out;
}

struct LevelFacts {
    std::int32_t begin;
    std::int32_t end;
    std::int32_t salary;
};

LevelFacts FactsOf(const CareerNumbers& numbers, std::size_t level) {
    // Seniors start a little later and work a little less; pay rises faster towards the top.
    const auto step = static_cast<std::int32_t>(level < 4 ? 0 : (level < 7 ? 1 : 2));
    const std::int32_t begin = (numbers.beginHour + step) % 24;
    const std::int32_t hours = numbers.shiftHours - (level >= 8 ? 1 : 0);
    const auto l = static_cast<std::int32_t>(level);
    std::int32_t salary = numbers.firstSalary + (numbers.topSalary - numbers.firstSalary) * l * l / 81;
    salary -= salary % 5;
    return {begin, (begin + hours) % 24, salary};
}

JobLevel MakeLevel(const CareerWords& words, const CareerNumbers& numbers, std::size_t base, std::size_t level) {
    JobLevel job;
    const LevelFacts facts = FactsOf(numbers, level);
    job.values[0] = FriendsByLevel[level] + (level >= 3 ? static_cast<std::int32_t>(base % 3) : 0);
    job.values[numbers.primarySkill] = PrimarySkillByLevel[level];
    job.values[numbers.secondarySkill] = SecondarySkillByLevel[level];
    for (std::size_t mood = 0; mood < 7; ++mood) {
        const std::int32_t drain = numbers.moods[mood];
        job.values[10 + mood] = level >= 5 && drain < 0 ? drain + 1 : drain;
    }
    job.values[17] = facts.salary;
    job.values[18] = facts.begin;
    job.values[19] = facts.end;
    job.values[20] = numbers.carPools[level < 4 ? 0 : (level < 7 ? 1 : 2)];

    const std::string tag = words.tag;
    const std::string grade = std::to_string(level);
    job.texts[0] = std::string(EnglishRanks[level]) + " " + words.englishRole;
    job.texts[1] = "uniform-" + tag + "-m" + grade;
    job.texts[2] = "uniform-" + tag + "-f" + grade;
    job.texts[3] = "uniform-" + tag;
    job.texts[4] = level >= 5 ? "hat-" + tag : "";
    return job;
}

void SetValue(StringTable& table, std::uint16_t row, std::uint16_t slot, const std::string& text) {
    const bool stored = table.SetText(row, slot, StringTable::Value, text);
    assert(stored);
    (void)stored;
}

// The 33 rows of a career in one language slot.
void FillCareerTexts(StringTable& table, std::uint16_t slot, const Localized& words,
                     const std::array<std::string, Levels>& descriptions, const std::string& maleOffer,
                     const std::string& femaleOffer) {
    SetValue(table, RowName, slot, words.career);
    SetValue(table, RowMaleOffer, slot, maleOffer);
    SetValue(table, RowFemaleOffer, slot, femaleOffer);
    for (std::size_t level = 0; level < Levels; ++level) {
        SetValue(table, RowMaleJob(level), slot, words.maleJobs[level]);
        SetValue(table, RowDescription(level), slot, descriptions[level]);
    }
    for (std::size_t level = 0; level < Levels; ++level) SetValue(table, RowFemaleJob(level), slot, words.femaleJobs[level]);
}

StringTable MakeCareerTexts(const CareerWords& words, const CareerNumbers& numbers, std::size_t base,
                            std::uint32_t copy) {
    StringTable table;
    // Rows first, so that every slot below fills existing rows.
    for (std::uint16_t row = 0; row < 33; ++row) SetValue(table, row, SlotUSEnglish, "");

    const Localized en = English(words, copy);
    const Localized fr = French(words, copy);
    const Localized de = German(words, copy);
    const Localized es = Spanish(words, copy);
    const Localized ja = Japanese(base, copy);

    std::array<std::string, Levels> enText, frText, deText, esText, jaText;
    for (std::size_t level = 0; level < Levels; ++level) {
        const LevelFacts facts = FactsOf(numbers, level);
        const std::string n = Number(static_cast<std::int32_t>(level + 1));
        const std::string b = Number(facts.begin);
        const std::string e = Number(facts.end);
        const std::string pay = Number(facts.salary);
        enText[level] = "Level " + n + " of the " + en.career + " track. Works from " + b + ":00 to " + e +
                        ":00 for \xA7" + pay + " a day.";
        frText[level] = Cp("Échelon ") + n + Cp(" de la carrière ") + fr.career + ". Travaille de " + b +
                        Cp(" h à ") + e + " h pour " + pay + " \xA7 par jour.";
        deText[level] = "Stufe " + n + " der Laufbahn " + de.career + ". Arbeitszeit " + b + ":00 bis " + e +
                        ":00 Uhr, " + pay + " \xA7 pro Tag.";
        esText[level] = "Nivel " + n + " de la carrera " + es.career + ". Trabaja de " + b + ":00 a " + e +
                        Cp(":00 por ") + pay + Cp(" § al día.");
        jaText[level] = ja.career + JaOf + n + JaLevelEnd + b + JaFrom + e + JaUntilPay + pay + JaSimoleonsEnd;
    }

    FillCareerTexts(table, SlotUSEnglish, en, enText,
                    "There is an opening in " + en.career + ": he can start as " + en.maleJobs[0] +
                        ". Will he take the job?",
                    "There is an opening in " + en.career + ": she can start as " + en.femaleJobs[0] +
                        ". Will she take the job?");
    FillCareerTexts(table, SlotUKEnglish, en, enText,
                    "There is a vacancy in " + en.career + ": he can start as " + en.maleJobs[0] +
                        ". Will he take the job?",
                    "There is a vacancy in " + en.career + ": she can start as " + en.femaleJobs[0] +
                        ". Will she take the job?");
    FillCareerTexts(table, SlotFrench, fr, frText,
                    "Un poste est libre (" + fr.career + Cp(") : il peut débuter comme ") + fr.maleJobs[0] +
                        ". Accepte-t-il ?",
                    "Un poste est libre (" + fr.career + Cp(") : elle peut débuter comme ") + fr.femaleJobs[0] +
                        ". Accepte-t-elle ?");
    FillCareerTexts(table, SlotGerman, de, deText,
                    "Eine Stelle ist frei (" + de.career + "): Er kann als " + de.maleJobs[0] +
                        " anfangen. Nimmt er an?",
                    "Eine Stelle ist frei (" + de.career + "): Sie kann als " + de.femaleJobs[0] +
                        " anfangen. Nimmt sie an?");
    FillCareerTexts(table, SlotSpanish, es, esText,
                    "Hay un puesto libre (" + es.career + "): puede empezar como " + es.maleJobs[0] +
                        Cp(". ¿Lo acepta?"),
                    "Hay un puesto libre (" + es.career + "): puede empezar como " + es.femaleJobs[0] +
                        Cp(". ¿Lo acepta?"));
    const std::string jaOffer = ja.career + JaOfferOpen + ja.maleJobs[0] + JaOfferAsk;
    FillCareerTexts(table, SlotJapanese, ja, jaText, jaOffer, jaOffer);
    return table;
}

// Chance cards. Most levels have one; each card has exactly one sound and one or two effects.
enum class CardEvent { Tip, Lesson, Mishap, Promotion };

bool HasCard(std::size_t base, std::size_t level) { return (base * 3 + level) % 5 != 4; }

CardEvent EventOf(std::size_t base, std::size_t level) {
    const auto event = static_cast<CardEvent>((base + level) % 4);
    // Nobody is promoted beyond the top level.
    return event == CardEvent::Promotion && level + 1 >= Levels ? CardEvent::Tip : event;
}

constexpr std::uint32_t SoundGood = 312;
constexpr std::uint32_t SoundBad = 311;
constexpr std::uint32_t PromotionVariable = 0x39;

CardItem Item(std::uint32_t kind, std::uint32_t parameter, std::uint32_t value) { return CardItem{kind, parameter, value}; }

ChanceCard MakeCard(std::size_t base, std::size_t level, std::uint16_t textRow, std::uint32_t& amount) {
    const CareerNumbers& numbers = Numbers[base];
    const auto l = static_cast<std::uint32_t>(level);
    ChanceCard card;
    card.textRow = textRow;
    switch (EventOf(base, level)) {
        case CardEvent::Tip:
            amount = 100 * (l + 1) + 50 * static_cast<std::uint32_t>(base);
            card.items = {Item(4, 2, SoundGood), Item(1, 0, amount)};
            break;
        case CardEvent::Lesson:
            amount = 50 * (l + 1);
            card.items = {Item(4, 2, SoundGood), Item(2, 0, numbers.cardSkill * 65536 + 100), Item(1, 0, amount)};
            break;
        case CardEvent::Mishap:
            amount = 40 * (l + 1) + 10 * static_cast<std::uint32_t>(base);
            card.items = {Item(4, 2, SoundBad), Item(1, 1, amount), Item(2, 1, numbers.cardSkill * 65536 + 100)};
            break;
        case CardEvent::Promotion:
            amount = 0;
            card.items = {Item(4, 2, SoundGood), Item(3, 2, PromotionVariable * 65536 + l + 1)};
            break;
    }
    return card;
}

void AddCardText(StringTable& texts, std::uint16_t row, std::size_t base, std::size_t level, std::uint32_t amount) {
    const CareerWords& words = Careers[base];
    const std::string x = std::to_string(amount);
    const std::string en = words.english;
    const std::string fr = Cp(words.french);
    const std::string de = Cp(words.german);
    const std::string es = Cp(words.spanish);
    const std::string ja = JapaneseCareers[base];
    std::string enText, frText, deText, esText, jaText;
    switch (EventOf(base, level)) {
        case CardEvent::Tip:
            enText = "A visitor admires your " + en + " work and leaves a tip of \xA7" + x + ".";
            frText = "Un visiteur admire votre travail (" + fr + ") et laisse un pourboire de " + x + " \xA7.";
            deText = "Ein Besucher bewundert Ihre Arbeit (" + de + ") und gibt " + x + " \xA7 Trinkgeld.";
            esText = Cp("Un visitante admira tu trabajo (") + es + ") y deja una propina de " + x + " \xA7.";
            jaText = ja + JaTipStart + x + JaTipEnd;
            break;
        case CardEvent::Lesson:
            enText = "A long day of " + en + " teaches you a new trick. You gain a skill point and a bonus of \xA7" +
                     x + ".";
            frText = Cp("Une longue journée (") + fr + Cp(") vous apprend une astuce : un point de compétence et une prime de ") +
                     x + " \xA7.";
            deText = "Ein langer Tag (" + de + Cp(") bringt Ihnen einen neuen Kniff bei: ein Fähigkeitspunkt und ") + x +
                     Cp(" § Prämie.");
            esText = Cp("Un largo día (") + es + Cp(") te enseña un truco nuevo: ganas un punto de habilidad y ") + x +
                     " \xA7 de prima.";
            jaText = ja + JaSkillStart + x + JaSkillEnd;
            break;
        case CardEvent::Mishap:
            enText = "A mishap at work! Repairs cost you \xA7" + x + ", and your confidence suffers.";
            frText = Cp("Un accident au travail ! Les réparations vous coûtent ") + x +
                     Cp(" § et votre assurance en pâtit.");
            deText = "Ein Missgeschick bei der Arbeit! Die Reparatur kostet " + x + Cp(" §, und Ihr Selbstvertrauen leidet.");
            esText = Cp("¡Un percance en el trabajo! La reparación cuesta ") + x + Cp(" § y tu confianza se resiente.");
            jaText = JaMishapStart + x + JaMishapEnd;
            break;
        case CardEvent::Promotion:
            enText = "Your manager is delighted with your " + en + " work. You are promoted on the spot!";
            frText = Cp("Votre responsable est ravi de votre travail (") + fr + Cp("). Vous êtes promu sur-le-champ !");
            deText = "Ihre Vorgesetzten sind begeistert von Ihrer Arbeit (" + de + Cp("). Sofortige Beförderung!");
            esText = Cp("Tu jefe está encantado con tu trabajo (") + es + Cp("). ¡Te ascienden en el acto!");
            jaText = ja + JaPromotion;
            break;
    }
    SetValue(texts, row, SlotUSEnglish, enText);
    SetValue(texts, row, SlotUKEnglish, enText);
    SetValue(texts, row, SlotFrench, frText);
    SetValue(texts, row, SlotGerman, deText);
    SetValue(texts, row, SlotSpanish, esText);
    SetValue(texts, row, SlotJapanese, jaText);
}

}  // namespace

SampleCareerData BuildSampleCareerData(std::uint32_t copies) {
    SampleCareerData data;
    const std::size_t count = BaseCareers * copies;
    data.careers.careers.reserve(count);
    std::uint16_t nextRow = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t base = k % BaseCareers;
        const auto copy = static_cast<std::uint32_t>(k / BaseCareers);
        const CareerWords& words = Careers[base];
        const CareerNumbers& numbers = Numbers[base];

        Career& career = data.careers.careers.emplace_back();
        career.id = static_cast<std::uint16_t>(k + 1);
        career.track.name = WithCopy(words.internal, copy);
        for (std::size_t level = 0; level < Levels; ++level)
            career.track.levels.push_back(MakeLevel(words, numbers, base, level));
        career.texts.table = MakeCareerTexts(words, numbers, base, copy);
        data.iconLetters.emplace_back(words.letters);
        data.iconStyles.push_back(static_cast<std::uint32_t>(base));

        if (copy != 0) continue;
        for (std::size_t level = 0; level < Levels; ++level) {
            if (!HasCard(base, level)) continue;
            std::uint32_t amount = 0;
            const std::uint16_t row = nextRow++;
            career.cards[level] = MakeCard(base, level, static_cast<std::uint16_t>(row + 1), amount);
            AddCardText(data.careers.cardTexts.table, row, base, level, amount);
        }
    }
    return data;
}

}  // namespace tw
