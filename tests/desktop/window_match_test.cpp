// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/window_match.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowMatch, TiesTheTextToTheStartOrEndWithAStar)
{
    struct Case {
        const char* pattern;
        const char* title;
        bool matches;
    };
    const Case cases[] = {
        { "*bloco", "Bloco de notas", true },
        { "notas*", "Bloco de notas", true },
        { "bloco*", "Bloco de notas", false },
        { "*notas", "Bloco de notas", false },
        { "DE", "Bloco de notas", true },
        { "*bloco de notas*", "Bloco de notas", true },
        { "*bloco*", "Bloco de notas", false },
        { "x", "Bloco de notas", false },
        { "", "Bloco de notas", true },
        { "*", "Bloco de notas", true },
        { "a", "", false },
        // Accented letters are upper-cased like the others.
        { "*\xE7\xE3o", "\xC7\xC3O de guarda", true },
        // Only the first occurrence counts for the end.
        { "a*", "casa", false },
        { "as*", "casa - as", false },
        { "- as*", "casa - as", true },
    };
    for (const auto& item : cases)
        EXPECT_EQ(desktop::title_matches(item.pattern, item.title), item.matches) << item.pattern << " / " << item.title;
}

TEST(WindowMatch, LooksOnlyAtTheFirst143CharactersOfTheTitle)
{
    std::string title(150, 'x');
    title.replace(140, 5, "fimzz");
    EXPECT_TRUE(desktop::title_matches("fim", title));
    EXPECT_FALSE(desktop::title_matches("fimzz", title));
}

TEST(WindowMatch, SkipsWindowsAPersonCouldNotSwitchTo)
{
    std::vector<platform::TopLevelWindow> windows = {
        { 1, "Editor", false, true, false },
        { 2, "Editor", true, false, false },
        { 3, "", true, true, false },
        { 4, "Editor (\xC3\xA1rvore)", true, false, true },
        { 5, "Editor", true, true, false },
    };
    EXPECT_EQ(desktop::find_window(windows, "*editor"), 4u);
    EXPECT_EQ(desktop::find_window(windows, "\xE1rvore)*"), 4u);
    EXPECT_EQ(desktop::find_window(windows, "editor*"), 5u);
    EXPECT_EQ(desktop::find_window(windows, "nada"), std::nullopt);
}

}
