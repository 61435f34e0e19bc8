// What the editor's window shows and offers, decided without a window.
#include "edit/EditorView.h"

#include "edit/EditSession.h"
#include "support/ScriptedPort.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using Field = EditorView::Field;
using Text = CareerTexts::Text;

struct EditorViewTest : ::testing::Test {
    EditorViewTest() {
        test::PointAt(session.Context(), folder);
        EXPECT_EQ(session.Load([this](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);
    }
    CareerSet& careers() { return session.Context().careerSet; }

    test::GameFolder folder;
    EditSession session;
    test::ScriptedPort port;
    EditorView view{session};
};

TEST_F(EditorViewTest, TheJobRowIsKeptAcrossCareersAndWhileNoneIsSelected) {
    view.ChooseCareer(0, -1);
    EXPECT_EQ(view.RememberedJobRow(), 0);
    view.ChooseLevel(4);
    view.ChooseCareer(1, 4);
    EXPECT_EQ(view.RememberedJobRow(), 4);
    EXPECT_FALSE(view.SelectedLevel()) << "a new career has no level until the list selects one";

    // No career: nothing to show, and the row is not taken from the emptied job list.
    view.ChooseCareer(std::nullopt, 4);
    view.ChooseCareer(std::nullopt, -1);
    EXPECT_FALSE(view.SelectedCareer());
    for (int field = 0; field < EditorView::FieldCount; ++field)
        EXPECT_TRUE(view.Bytes(static_cast<Field>(field)).empty()) << field;
    view.ChooseCareer(3, -1);
    EXPECT_EQ(view.RememberedJobRow(), 4);

    // A career that does not exist is no career; a level past the career's is no level.
    view.ChooseCareer(careers().Count(), 4);
    EXPECT_FALSE(view.SelectedCareer());
    careers().careers[2].track.levels.resize(3);
    view.ChooseCareer(2, -1);
    view.ChooseLevel(4);
    EXPECT_FALSE(view.SelectedLevel());
    EXPECT_TRUE(view.Bytes(Field::MaleJobName).empty());
    view.ChooseLevel(2);
    EXPECT_EQ(view.SelectedLevel(), 2);
}

TEST_F(EditorViewTest, TheFieldsShowTheModelsBytesInTheChosenLanguage) {
    Career& career = careers().careers[1];
    ASSERT_TRUE(career.texts.Set(Text::CareerName, 0, 3, "Imkerei"));
    ASSERT_TRUE(career.texts.Set(Text::MaleJobName, 6, 3, "Imker"));
    view.ChooseCareer(1, -1);
    view.ChooseLevel(6);
    EXPECT_EQ(view.Bytes(Field::InternalCareerName), career.track.name);
    EXPECT_EQ(view.Bytes(Field::CareerName), career.texts.Get(Text::CareerName, 0, 0));

    // A language is shown once the window has filled its fields in it; until then the fields
    // are read back in the language they show.
    view.MarkShown();
    view.ChooseLanguage(3);
    EXPECT_EQ(view.ShownLanguage(), 0);
    view.Refresh();
    view.MarkShown();
    EXPECT_EQ(view.ShownLanguage(), 3);
    EXPECT_EQ(view.Bytes(Field::CareerName), "Imkerei");
    EXPECT_EQ(view.Bytes(Field::MaleJobName), "Imker");
    view.ChooseLanguage(CareerTexts::MenuSlotCount);
    EXPECT_EQ(view.Language(), 3) << "a slot past the menu's is not taken";

    // An edit elsewhere (an undo, an import) shows after a refresh; a career that is gone
    // leaves nothing selected.
    career.track.name = "Apiary";
    view.Refresh();
    EXPECT_EQ(view.Bytes(Field::InternalCareerName), "Apiary");
    career.track.levels.resize(6);
    view.Refresh();
    EXPECT_FALSE(view.SelectedLevel()) << "the level is gone";
    EXPECT_TRUE(view.Bytes(Field::MaleJobName).empty());
    careers().careers.resize(1);
    view.Refresh();
    EXPECT_FALSE(view.SelectedCareer());
    EXPECT_TRUE(view.Bytes(Field::CareerName).empty());
}

TEST_F(EditorViewTest, WhatMayBeUsedFollowsTheSelectionAndTheGame) {
    careers().careers[2].track.levels.resize(CareerTexts::LevelsWithTexts + 1, careers().careers[2].track.levels[0]);
    const struct {
        const char* what;
        std::optional<std::uint32_t> career;
        std::optional<std::uint32_t> level;
        bool cardsDisabled;
        bool careerFields, jobFields, icons, jobDetails, chanceCards;
    } cases[] = {
        {"nothing selected", std::nullopt, std::nullopt, false, false, false, false, false, false},
        {"a career, no level", 2, std::nullopt, false, true, false, true, false, false},
        {"a level with texts and a card", 2, 0, false, true, true, true, true, true},
        {"chance-card editing off", 2, 0, true, true, true, true, true, false},
        {"a level past those with texts", 2, CareerTexts::LevelsWithTexts, false, true, false, true, true, false},
    };
    for (const auto& c : cases) {
        session.Context().chanceCardsDisabled = c.cardsDisabled ? 1 : 0;
        view.ChooseCareer(c.career, -1);
        view.ChooseLevel(c.level);
        EXPECT_EQ(view.FieldEnabled(Field::InternalCareerName), c.careerFields) << c.what;
        EXPECT_EQ(view.FieldEnabled(Field::FemaleOffer), c.careerFields) << c.what;
        EXPECT_EQ(view.FieldEnabled(Field::MaleJobName), c.jobFields) << c.what;
        EXPECT_EQ(view.FieldEnabled(Field::JobDescription), c.jobFields) << c.what;
        EXPECT_EQ(view.CanModifyIcons(), c.icons) << c.what;
        EXPECT_EQ(view.CanOpenJobDetails(), c.jobDetails) << c.what;
        EXPECT_EQ(view.CanOpenChanceCards(), c.chanceCards) << c.what;
    }
}

}  // namespace
}  // namespace tw
