// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the role table: AT-SPI's roles as the Windows role codes scripts compare with.
#include "platform/atspi/atspi_roles.h"

#include <atspi/atspi-constants.h>
#include <gtest/gtest.h>

namespace {

TEST(AtspiRoles, GiveTheCodesScriptsCompareWith)
{
    struct Case {
        AtspiRole role;
        uint32_t code;
    };
    // The controls scripts look for, with the Windows code of each
    // (ROLE_SYSTEM_CHECKBUTTON is 44, ROLE_SYSTEM_PUSHBUTTON 43, ...).
    const Case cases[] = {
        { ATSPI_ROLE_CHECK_BOX, 44 },
        { ATSPI_ROLE_PUSH_BUTTON, 43 },
        { ATSPI_ROLE_TOGGLE_BUTTON, 43 },
        { ATSPI_ROLE_RADIO_BUTTON, 45 },
        { ATSPI_ROLE_COMBO_BOX, 46 },
        { ATSPI_ROLE_ENTRY, 42 },
        { ATSPI_ROLE_TEXT, 42 },
        { ATSPI_ROLE_PASSWORD_TEXT, 42 },
        { ATSPI_ROLE_LABEL, 41 },
        { ATSPI_ROLE_STATIC, 41 },
        { ATSPI_ROLE_LIST, 33 },
        { ATSPI_ROLE_LIST_BOX, 33 },
        { ATSPI_ROLE_LIST_ITEM, 34 },
        { ATSPI_ROLE_TREE, 35 },
        { ATSPI_ROLE_TREE_TABLE, 35 },
        { ATSPI_ROLE_TREE_ITEM, 36 },
        { ATSPI_ROLE_MENU_BAR, 2 },
        { ATSPI_ROLE_MENU, 12 },
        { ATSPI_ROLE_MENU_ITEM, 12 },
        { ATSPI_ROLE_CHECK_MENU_ITEM, 12 },
        { ATSPI_ROLE_RADIO_MENU_ITEM, 12 },
        { ATSPI_ROLE_POPUP_MENU, 11 },
        { ATSPI_ROLE_FRAME, 9 },
        { ATSPI_ROLE_WINDOW, 9 },
        { ATSPI_ROLE_DIALOG, 18 },
        { ATSPI_ROLE_FILE_CHOOSER, 18 },
        { ATSPI_ROLE_ALERT, 8 },
        { ATSPI_ROLE_APPLICATION, 14 },
        { ATSPI_ROLE_PAGE_TAB, 37 },
        { ATSPI_ROLE_PAGE_TAB_LIST, 60 },
        { ATSPI_ROLE_SLIDER, 51 },
        { ATSPI_ROLE_SPIN_BUTTON, 52 },
        { ATSPI_ROLE_PROGRESS_BAR, 48 },
        { ATSPI_ROLE_LEVEL_BAR, 48 },
        { ATSPI_ROLE_SCROLL_BAR, 3 },
        { ATSPI_ROLE_TOOL_BAR, 22 },
        { ATSPI_ROLE_STATUS_BAR, 23 },
        { ATSPI_ROLE_TOOL_TIP, 13 },
        { ATSPI_ROLE_TABLE, 24 },
        { ATSPI_ROLE_TABLE_CELL, 29 },
        { ATSPI_ROLE_TABLE_ROW, 28 },
        { ATSPI_ROLE_TABLE_COLUMN_HEADER, 25 },
        { ATSPI_ROLE_COLUMN_HEADER, 25 },
        { ATSPI_ROLE_TABLE_ROW_HEADER, 26 },
        { ATSPI_ROLE_LINK, 30 },
        { ATSPI_ROLE_IMAGE, 40 },
        { ATSPI_ROLE_ICON, 40 },
        { ATSPI_ROLE_SEPARATOR, 21 },
        { ATSPI_ROLE_PANEL, 16 },
        { ATSPI_ROLE_SCROLL_PANE, 16 },
        { ATSPI_ROLE_DOCUMENT_WEB, 15 },
        { ATSPI_ROLE_DOCUMENT_TEXT, 15 },
        { ATSPI_ROLE_GROUPING, 20 },
        { ATSPI_ROLE_TITLE_BAR, 1 },
        { ATSPI_ROLE_DIAL, 49 },
        { ATSPI_ROLE_CHART, 17 },
        { ATSPI_ROLE_TIMER, 61 },
        { ATSPI_ROLE_PUSH_BUTTON_MENU, 57 },
        // No object: the reading ends at the role.
        { ATSPI_ROLE_INVALID, 0 },
        // No Windows counterpart: read as a role given as text.
        { ATSPI_ROLE_FILLER, 8 },
        { ATSPI_ROLE_UNKNOWN, 8 },
        { ATSPI_ROLE_EXTENDED, 8 },
        { ATSPI_ROLE_REDUNDANT_OBJECT, 8 },
        { ATSPI_ROLE_MATH_FRACTION, 8 },
    };
    for (const auto& test : cases)
        EXPECT_EQ(platform::windows_role_code(test.role), test.code) << "AT-SPI role " << test.role;
}

TEST(AtspiRoles, GiveEveryRoleAWindowsCodeAndNoneToTheInvalidOne)
{
    // ROLE_SYSTEM_TITLEBAR (1) to ROLE_SYSTEM_OUTLINEBUTTON (64) are the
    // codes Windows has; 0 would end every reading.
    for (int role = ATSPI_ROLE_INVALID + 1; role < ATSPI_ROLE_LAST_DEFINED; ++role) {
        uint32_t code = platform::windows_role_code(role);
        EXPECT_GE(code, 1u) << "AT-SPI role " << role;
        EXPECT_LE(code, 64u) << "AT-SPI role " << role;
    }
    // Roles of a newer library than the table.
    EXPECT_EQ(platform::windows_role_code(ATSPI_ROLE_LAST_DEFINED + 5), 8u);
    EXPECT_EQ(platform::windows_role_code(-1), 8u);
}

}
