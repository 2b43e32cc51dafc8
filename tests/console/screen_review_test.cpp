// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of screen review driven by keys: moves, readings, fields, search, goto and the bounds.
#include "console/screen_review.h"
#include "tests/console/review_fixture.h"

#include <gtest/gtest.h>

namespace {

using console_test::ReviewFixture;
using Heard = std::vector<std::string>;

// Runs a review from the cursor at (column, row) with the fixture's keys;
// true when it ended with Esc rather than by running out of keys.
bool review_from(ReviewFixture& test, int column, int row)
{
    test.console.goto_xy(column, row);
    test.ports.heard.clear();
    console::screen_review(test.runtime);
    return !test.loop.end_requested();
}

// What was heard between the entry beep and the two leaving beeps.
Heard inside(const ReviewFixture& test)
{
    const auto& heard = test.ports.heard;
    if (heard.size() < 3)
        return heard;
    return Heard(heard.begin() + 1, heard.end() - 2);
}

TEST(ScreenReview, EscAtOnceGivesThreeBeepsAndChangesNothing)
{
    ReviewFixture test("{Esc}");
    test.put(1, 1, "Menu principal");
    test.put(1, 2, "1 - Conectar", 0x1E);
    std::string row1 = test.console.screen().row_text(0);
    ASSERT_TRUE(review_from(test, 10, 5));
    EXPECT_EQ(test.ports.heard, (Heard { "beep", "beep", "beep" }));
    EXPECT_EQ(test.console.where_x(), 10);
    EXPECT_EQ(test.console.where_y(), 5);
    EXPECT_EQ(test.console.screen().row_text(0), row1);
    EXPECT_EQ(test.console.screen().attribute_at(0, 1), 0x1E);
}

TEST(ScreenReview, TheCursorComesBackAfterMovesAndReadings)
{
    ReviewFixture test("{Down}{Down}{End}tt{F1}{Esc}");
    test.put(1, 1, "um dois");
    test.put(1, 3, "tres");
    ASSERT_TRUE(review_from(test, 7, 12));
    EXPECT_EQ(test.console.where_x(), 7);
    EXPECT_EQ(test.console.where_y(), 12);
}

TEST(ScreenReview, RightAndLeftSpeakCharactersAndStopAtTheEdges)
{
    ReviewFixture test("{Right}{Right}{Ctrl+K}{Esc}");
    test.put(78, 1, "xyz");
    ASSERT_TRUE(review_from(test, 80, 1));
    // Column 80 speaks its character; at 81 a blank, and the column is put
    // back on the row with a beep.
    EXPECT_EQ(inside(test), (Heard { "char: z", "char:  ", "beep", "say: 1 80" }));

    ReviewFixture left("{Left}{Backspace}{Left}{Ctrl+L}{Esc}");
    left.put(1, 4, "ab");
    ASSERT_TRUE(review_from(left, 3, 4));
    // The second beep at column 1 is the bounds correction's.
    EXPECT_EQ(inside(left), (Heard { "char: b", "char: a", "beep", "beep", "say: 4 1" }));
}

TEST(ScreenReview, RightFromColumn81SpeaksABlank)
{
    ReviewFixture test("{Right}{Ctrl+K}{Esc}");
    // A full row leaves the cursor just past it: the review starts at 81.
    test.console.goto_xy(1, 2);
    test.console.write_chars(std::string(80, 'w'));
    ASSERT_EQ(test.console.where_x(), 81);
    test.ports.heard.clear();
    ASSERT_NO_THROW(console::screen_review(test.runtime));
    EXPECT_EQ(inside(test), (Heard { "char:  ", "beep", "say: 2 80" }));
}

TEST(ScreenReview, HomeEndAndEnterMoveWithinAndBetweenRows)
{
    ReviewFixture test("{End}{Ctrl+K}{Home}{Ctrl+K}{Enter}{Ctrl+K}{Down}{End}{Ctrl+K}{Esc}");
    test.put(1, 3, "abc de");
    ASSERT_TRUE(review_from(test, 4, 3));
    EXPECT_EQ(inside(test),
        (Heard { "say: 3 7", "say: 3 1", "click", "say: 4 1",
            // Down reads the blank row 5 (a beep) and leaves column 1; End
            // on a blank row stays there.
            "click", "beep", "say: 5 1" }));
}

TEST(ScreenReview, UpAndDownReadTheRowAndBeepAtTheEdges)
{
    ReviewFixture test("{Up}{Up}{Ctrl+K}{Esc}");
    test.put(1, 1, "primeira linha");
    test.put(1, 2, "segunda");
    ASSERT_TRUE(review_from(test, 5, 2));
    EXPECT_EQ(inside(test), (Heard { "say: primeira", "say: linha", "beep", "say: primeira", "say: linha", "say: 1 1" }));

    ReviewFixture down("{Down}{Down}{Ctrl+K}{Esc}");
    down.put(1, 24, "penultima");
    down.put(1, 25, "ultima");
    ASSERT_TRUE(review_from(down, 9, 24));
    EXPECT_EQ(inside(down), (Heard { "click", "say: ultima", "beep", "say: ultima", "say: 25 1" }));
}

TEST(ScreenReview, PageKeysGoToTheFirstAndLastRow)
{
    ReviewFixture test("{PgDn}{Ctrl+K}{PgUp}{Ctrl+K}{Esc}");
    test.put(1, 1, "topo");
    test.put(1, 25, "base");
    ASSERT_TRUE(review_from(test, 30, 12));
    EXPECT_EQ(inside(test), (Heard { "say: base", "say: 25 1", "say: topo", "say: 1 1" }));
}

TEST(ScreenReview, CtrlPageKeysFindTheFirstAndLastLetter)
{
    ReviewFixture test("{Ctrl+PgUp}{Ctrl+K}{Ctrl+PgDn}{Ctrl+K}{Esc}");
    test.put(1, 3, "--- 42 ");
    test.put(10, 3, "ok");
    test.put(5, 20, "fim. ..");
    ASSERT_TRUE(review_from(test, 1, 1));
    EXPECT_EQ(inside(test),
        (Heard { "say: ---", "say: 42", "say: ok", "say: 3 10", "say: fim", "say: .", "say: ..", "say: 20 7" }));

    ReviewFixture blank("{Ctrl+PgUp}{Ctrl+K}{Esc}");
    blank.put(1, 1, "123 ... 456");
    ASSERT_TRUE(review_from(blank, 2, 2));
    EXPECT_EQ(inside(blank), (Heard { "beep", "say: 2 2" }));
}

TEST(ScreenReview, WordsAreSpokenSpelledOrTakenWithRepeatedSigns)
{
    // A word of consonants only cannot be said; a lone sign is heard at
    // most three times however long its run.
    ReviewFixture test("tl{Esc}");
    test.put(1, 6, "abc.... xyz PWM casa a 7 ------- \xC7\xC3O n\xE3o ok!");
    ASSERT_TRUE(review_from(test, 1, 6));
    EXPECT_EQ(inside(test),
        (Heard { "say: abc", "say: ...", "spell: xyz", "spell: PWM", "say: casa", "say: a", "say: 7", "say: ---",
            "say: \xC7\xC3O", "say: n\xE3o", "say: ok", "say: !" }));
}

TEST(ScreenReview, F1SpeaksTheNextWordAndMovesPastIt)
{
    ReviewFixture test("{F1}{Ctrl+K}{F1}{Ctrl+K}{F1}{Ctrl+K}{F1}{Ctrl+K}{Esc}");
    test.put(3, 7, "bom   dia");
    test.put(77, 7, "fim");
    ASSERT_TRUE(review_from(test, 1, 7));
    EXPECT_EQ(inside(test),
        (Heard { "say: bom", "say: 7 6", "say: dia", "say: 7 12", "say: fim",
            // Past column 79 the position stays at the end of the row.
            "click", "say: 7 80",
            // Nothing but blanks: nothing is said.
            "click", "say: 7 80" }));
}

TEST(ScreenReview, CtrlArrowsMoveByWords)
{
    ReviewFixture test("{Ctrl+Right}{Ctrl+K}{Ctrl+Right}{Ctrl+K}{Ctrl+Right}{Ctrl+K}"
                       "{Ctrl+Left}{Ctrl+K}{Ctrl+Left}{Ctrl+Left}{Ctrl+K}{Ctrl+Left}{Ctrl+K}{Esc}");
    test.put(3, 2, "um  dois.tres fim");
    ASSERT_TRUE(review_from(test, 4, 2));
    EXPECT_EQ(inside(test),
        (Heard { "click", "say: 2 7", "click", "say: 2 17", "beep", "say: 2 80",
            "click", "say: 2 17", "click", "click", "say: 2 3",
            // Only blanks before: column 1 and a beep.
            "beep", "say: 2 1" }));
}

TEST(ScreenReview, FieldsFollowTheColourAndStopAtSeparators)
{
    // Row 10: "Nome:" in one colour, the answer in another, a "|" inside it.
    ReviewFixture test("{Ctrl+F1}{Tab}{Ctrl+K}{Ctrl+F1}{Tab}{Ctrl+K}{Shift+Tab}{Ctrl+K}{Esc}");
    test.put(1, 10, "Nome:", 0x0F);
    test.put(6, 10, " Jo\xE3o Silva|SP", 0x1E);
    ASSERT_TRUE(review_from(test, 2, 10));
    EXPECT_EQ(inside(test),
        (Heard { "say: Nome", "click", "say: 10 6",
            "say: Jo\xE3o", "say: Silva", "click", "say: 10 18",
            // Back from the "SP" field (columns 18 and 19, after the "|"):
            // two before its start.
            "click", "say: 10 16" }));
}

TEST(ScreenReview, TabPastTheRowGoesToItsEnd)
{
    ReviewFixture test("{Tab}{Ctrl+K}{Shift+Tab}{Ctrl+K}{Esc}");
    test.put(1, 1, "x");
    ASSERT_TRUE(review_from(test, 40, 1));
    // The field of one colour spans the row: Tab stops at column 80 without
    // a click, and Shift+Tab lands on column -1 and is corrected.
    EXPECT_EQ(inside(test), (Heard { "say: 1 80", "click", "beep", "say: 1 1" }));
}

TEST(ScreenReview, AccentedCapitalsDoNotSplitAField)
{
    ReviewFixture test("tc{Esc}");
    test.put(1, 1, "A\xC7\xC3O \xB0 fim", 0x0F);
    ASSERT_TRUE(review_from(test, 2, 1));
    // The degree sign is a separator; the capitals before it are not.
    EXPECT_EQ(inside(test), (Heard { "say: A\xC7\xC3O" }));
}

TEST(ScreenReview, RowAndFieldCommandsKeepThePosition)
{
    ReviewFixture test("il{Ctrl+K}fl{Ctrl+K}ic{Ctrl+K}fc{Ctrl+K}TL{Ctrl+K}ll{Ctrl+K}{Space}{Ctrl+K}{Esc}");
    test.put(1, 8, "antes ");
    test.put(7, 8, "campo azul", 0x1F);
    test.put(17, 8, " depois");
    ASSERT_TRUE(review_from(test, 12, 8));
    EXPECT_EQ(inside(test),
        (Heard { "say: antes", "say: campo", "say: 8 12", // IL: up to the column before
            "say: azul", "say: depois", "say: 8 12", // FL
            "say: campo", "say: 8 12", // IC
            "say: azul", "say: 8 12", // FC
            "say: antes", "say: campo", "say: azul", "say: depois", "say: 8 12", // TL
            "say: antes", "say: campo", "say: azul", "say: depois", "say: 8 12", // L counts as T
            "say: antes", "say: campo", "say: azul", "say: depois", "say: 8 12" }));
}

TEST(ScreenReview, AnEmptyRangeOnOneRowBeeps)
{
    ReviewFixture test("il{Ctrl+K}fl{Ctrl+K}{Esc}");
    test.put(1, 3, "texto");
    ASSERT_TRUE(review_from(test, 1, 3));
    // Nothing before column 1; from column 1 to the end there is text.
    EXPECT_EQ(inside(test), (Heard { "beep", "say: 3 1", "say: texto", "say: 3 1" }));

    ReviewFixture blank("tl{Esc}");
    ASSERT_TRUE(review_from(blank, 1, 9));
    EXPECT_EQ(inside(blank), (Heard { "beep" }));
}

TEST(ScreenReview, ScreenCommandsReadAcrossRowsAndStopAtTheEnd)
{
    ReviewFixture test("tt{Ctrl+K}it{Ctrl+K}ft{Ctrl+K}{Esc}");
    test.put(1, 1, "um");
    test.put(1, 3, "dois tres");
    test.put(1, 25, "fim");
    ASSERT_TRUE(review_from(test, 6, 3));
    Heard rows_between(21, "click"); // rows 4..24 are blank
    Heard expected { "say: um", "click", "click", "say: dois", "say: tres" };
    expected.insert(expected.end(), rows_between.begin(), rows_between.end());
    expected.insert(expected.end(), { "click", "say: fim", "say: 25 80" });
    // IT from the end of the screen reads everything up to row 25, column 79.
    expected.insert(expected.end(), { "say: um", "click", "click", "say: dois", "say: tres" });
    expected.insert(expected.end(), rows_between.begin(), rows_between.end());
    expected.insert(expected.end(), { "click", "say: fim", "say: 25 80" });
    // FT from row 25, column 80 holds only a blank.
    expected.insert(expected.end(), { "beep", "say: 25 80" });
    EXPECT_EQ(inside(test), expected);
}

TEST(ScreenReview, AKeyWaitingStopsTheReadingWhereTheUserWas)
{
    ReviewFixture test("tt{Esc}");
    test.put(1, 1, "um dois");
    test.put(1, 2, "tres quatro cinco");
    test.ports.interrupt_at = 4; // while "quatro" is spoken
    test.ports.interrupting_key = 11; // Ctrl+K
    ASSERT_TRUE(review_from(test, 1, 1));
    EXPECT_EQ(inside(test), (Heard { "say: um", "say: dois", "click", "say: tres", "say: quatro", "say: 2 12" }));
}

TEST(ScreenReview, AnInstalledEngineGetsWholeRows)
{
    ReviewFixture test("fl{Ctrl+K}tt{Esc}");
    test.ports.engine = true;
    test.put(1, 1, "abc def");
    test.put(1, 2, "ghi");
    ASSERT_TRUE(review_from(test, 5, 1));
    Heard expected { "say: def" + std::string(73, ' '), "say: 1 5", "say: abc def" + std::string(73, ' '), "click",
        "say: ghi" + std::string(77, ' ') };
    for (int row = 3; row <= 25; ++row)
        expected.insert(expected.end(), { "click", "say: " + std::string(80, ' ') });
    EXPECT_EQ(inside(test), expected);
}

TEST(ScreenReview, TwoLetterCommandsRefuseOtherLetters)
{
    ReviewFixture test("xtz{F2}{Ctrl+K}{Esc}");
    ASSERT_TRUE(review_from(test, 3, 3));
    EXPECT_EQ(inside(test),
        (Heard { "beep", "click", "beep", // x
            "beep", "click", "beep", // t then z
            "beep", "click", "beep", // F2
            "say: 3 3" }));
}

TEST(ScreenReview, F6GoesToATypedRowAndColumn)
{
    ReviewFixture test("{F6}0510{Ctrl+K}{F6}07a{Ctrl+K}{F6}0099{Ctrl+K}{Esc}");
    ASSERT_TRUE(review_from(test, 1, 1));
    EXPECT_EQ(inside(test),
        (Heard { "say: Entre linha e coluna", "char: 0", "char: 5", "char: 1", "char: 0", "say: 5 10",
            "say: Entre linha e coluna", "char: 0", "char: 7", "beep", "beep", "say: 5 10",
            // Row 0 and column 99 are brought back on the screen, a beep each.
            "say: Entre linha e coluna", "char: 0", "char: 0", "char: 9", "char: 9", "beep", "beep", "say: 1 80" }));
}

TEST(ScreenReview, F5TypesTheSearchTextAndFindsIt)
{
    ReviewFixture test("{F5}sx{Backspace}ol{Enter}{Ctrl+K}{Ctrl+F5}{Ctrl+K}{Ctrl+F5}{Ctrl+K}{Esc}");
    test.put(1, 2, "sol e Sol");
    test.put(20, 4, "girassol");
    ASSERT_TRUE(review_from(test, 1, 2));
    EXPECT_EQ(inside(test),
        (Heard { "say: Qual texto", "char: s", "char: x", "sound: _DEL", "char: x", "char: o", "char: l",
            // After column 1 on the review row; "Sol" differs in case.
            "click", "say: 4 25",
            // Not again after column 25 of row 4, nor below.
            "beep", "beep", "say: 4 25",
            "beep", "beep", "say: 4 25" }));
    EXPECT_EQ(test.console.review_search_text(), "sol");
}

TEST(ScreenReview, TheSearchTextIsKeptForTheNextReview)
{
    ReviewFixture test("{F5}fim{Enter}{Esc}{Ctrl+F5}{Ctrl+K}{F5}ab{Esc}{Ctrl+F5}{Ctrl+K}{Esc}");
    test.put(1, 20, "fim");
    ASSERT_TRUE(review_from(test, 1, 1));
    ASSERT_TRUE(review_from(test, 1, 1));
    // Esc while typing leaves the kept text as it was.
    EXPECT_EQ(inside(test),
        (Heard { "click", "say: 20 1", "say: Qual texto", "char: a", "char: b", "beep", "beep", "say: 20 1" }));
}

TEST(ScreenReview, CtrlF5WithoutASearchTextBeepsTwice)
{
    ReviewFixture test("{Ctrl+F5}{Esc}");
    ASSERT_TRUE(review_from(test, 1, 1));
    EXPECT_EQ(inside(test), (Heard { "beep", "beep" }));
}

TEST(ScreenReview, CtrlCCopiesTheWholeScreen)
{
    ReviewFixture test("{Ctrl+C}{Esc}");
    test.put(1, 1, "linha um");
    test.put(75, 25, "final");
    ASSERT_TRUE(review_from(test, 1, 1));
    std::string expected;
    for (int row = 0; row < 25; ++row)
        expected += test.console.screen().row_text(row) + "\r\n";
    EXPECT_EQ(test.console.paste_from_clipboard(4096), expected);
    EXPECT_EQ(expected.size(), 25u * 82u);
    EXPECT_EQ(inside(test), Heard {});
}

TEST(ScreenReview, TheMagnifierShowsTheReviewRow)
{
    ReviewFixture test("{Down}{Right}{Right}{Esc}");
    test.console.magnifier().configure({ .scale = 2 });
    test.put(1, 6, "linha seis");
    ASSERT_TRUE(review_from(test, 30, 5));
    const auto& magnifier = test.console.magnifier();
    ASSERT_TRUE(magnifier.shown());
    EXPECT_EQ(magnifier.line(), test.console.screen().row_text(5));
    EXPECT_EQ(magnifier.cursor(), 2);
}

TEST(ScreenReview, KeysRunningOutEndTheProgramInsideTheReview)
{
    ReviewFixture test("{Right}");
    EXPECT_FALSE(review_from(test, 1, 1));
    EXPECT_EQ(test.ports.heard, (Heard { "beep", "char:  " }));
}

}
