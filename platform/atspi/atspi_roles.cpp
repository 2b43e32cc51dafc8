// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows role codes that scripts compare with, for AT-SPI's roles.
#include "platform/atspi/atspi_roles.h"

#include <atspi/atspi-constants.h>

namespace platform {

namespace {

// The Windows role codes (ROLE_SYSTEM_...) that the table gives.
namespace role {
constexpr uint32_t title_bar = 1;
constexpr uint32_t menu_bar = 2;
constexpr uint32_t scroll_bar = 3;
constexpr uint32_t alert = 8;
constexpr uint32_t window = 9;
constexpr uint32_t client = 10;
constexpr uint32_t menu_popup = 11;
constexpr uint32_t menu_item = 12;
constexpr uint32_t tool_tip = 13;
constexpr uint32_t application = 14;
constexpr uint32_t document = 15;
constexpr uint32_t pane = 16;
constexpr uint32_t chart = 17;
constexpr uint32_t dialog = 18;
constexpr uint32_t grouping = 20;
constexpr uint32_t separator = 21;
constexpr uint32_t tool_bar = 22;
constexpr uint32_t status_bar = 23;
constexpr uint32_t table = 24;
constexpr uint32_t column_header = 25;
constexpr uint32_t row_header = 26;
constexpr uint32_t row = 28;
constexpr uint32_t cell = 29;
constexpr uint32_t link = 30;
constexpr uint32_t list = 33;
constexpr uint32_t list_item = 34;
constexpr uint32_t outline = 35;
constexpr uint32_t outline_item = 36;
constexpr uint32_t page_tab = 37;
constexpr uint32_t property_page = 38;
constexpr uint32_t graphic = 40;
constexpr uint32_t static_text = 41;
constexpr uint32_t text = 42;
constexpr uint32_t push_button = 43;
constexpr uint32_t check_button = 44;
constexpr uint32_t radio_button = 45;
constexpr uint32_t combo_box = 46;
constexpr uint32_t progress_bar = 48;
constexpr uint32_t dial = 49;
constexpr uint32_t slider = 51;
constexpr uint32_t spin_button = 52;
constexpr uint32_t animation = 54;
constexpr uint32_t equation = 55;
constexpr uint32_t button_menu = 57;
constexpr uint32_t page_tab_list = 60;
constexpr uint32_t clock = 61;
}

struct RoleEntry {
    AtspiRole atspi_role;
    uint32_t windows_role;
};

// AT-SPI role -> Windows role. Roles of the same use share a code: every
// kind of menu item is a menu item, every text field is text, every plain
// container a pane, every document a document. Roles that are not here
// (arrow, filler, redundant objects, the parts of math and of marked-up
// text, ...) have no Windows counterpart and read as a role given as text.
// The README's desktop section shows this table: change both together.
constexpr RoleEntry role_table[] = {
    { ATSPI_ROLE_INVALID, 0 },
    { ATSPI_ROLE_ACCELERATOR_LABEL, role::static_text },
    { ATSPI_ROLE_ALERT, role::alert },
    { ATSPI_ROLE_ANIMATION, role::animation },
    { ATSPI_ROLE_CALENDAR, role::client },
    { ATSPI_ROLE_CANVAS, role::client },
    { ATSPI_ROLE_CHECK_BOX, role::check_button },
    { ATSPI_ROLE_CHECK_MENU_ITEM, role::menu_item },
    { ATSPI_ROLE_COLOR_CHOOSER, role::dialog },
    { ATSPI_ROLE_COLUMN_HEADER, role::column_header },
    { ATSPI_ROLE_COMBO_BOX, role::combo_box },
    { ATSPI_ROLE_DATE_EDITOR, role::text },
    { ATSPI_ROLE_DESKTOP_ICON, role::list_item },
    { ATSPI_ROLE_DESKTOP_FRAME, role::client },
    { ATSPI_ROLE_DIAL, role::dial },
    { ATSPI_ROLE_DIALOG, role::dialog },
    { ATSPI_ROLE_DIRECTORY_PANE, role::pane },
    { ATSPI_ROLE_DRAWING_AREA, role::graphic },
    { ATSPI_ROLE_FILE_CHOOSER, role::dialog },
    { ATSPI_ROLE_FONT_CHOOSER, role::dialog },
    { ATSPI_ROLE_FRAME, role::window },
    { ATSPI_ROLE_GLASS_PANE, role::pane },
    { ATSPI_ROLE_HTML_CONTAINER, role::document },
    { ATSPI_ROLE_ICON, role::graphic },
    { ATSPI_ROLE_IMAGE, role::graphic },
    { ATSPI_ROLE_INTERNAL_FRAME, role::pane },
    { ATSPI_ROLE_LABEL, role::static_text },
    { ATSPI_ROLE_LAYERED_PANE, role::pane },
    { ATSPI_ROLE_LIST, role::list },
    { ATSPI_ROLE_LIST_ITEM, role::list_item },
    { ATSPI_ROLE_MENU, role::menu_item },
    { ATSPI_ROLE_MENU_BAR, role::menu_bar },
    { ATSPI_ROLE_MENU_ITEM, role::menu_item },
    { ATSPI_ROLE_OPTION_PANE, role::pane },
    { ATSPI_ROLE_PAGE_TAB, role::page_tab },
    { ATSPI_ROLE_PAGE_TAB_LIST, role::page_tab_list },
    { ATSPI_ROLE_PANEL, role::pane },
    { ATSPI_ROLE_PASSWORD_TEXT, role::text },
    { ATSPI_ROLE_POPUP_MENU, role::menu_popup },
    { ATSPI_ROLE_PROGRESS_BAR, role::progress_bar },
    { ATSPI_ROLE_PUSH_BUTTON, role::push_button },
    { ATSPI_ROLE_RADIO_BUTTON, role::radio_button },
    { ATSPI_ROLE_RADIO_MENU_ITEM, role::menu_item },
    { ATSPI_ROLE_ROOT_PANE, role::pane },
    { ATSPI_ROLE_ROW_HEADER, role::row_header },
    { ATSPI_ROLE_SCROLL_BAR, role::scroll_bar },
    { ATSPI_ROLE_SCROLL_PANE, role::pane },
    { ATSPI_ROLE_SEPARATOR, role::separator },
    { ATSPI_ROLE_SLIDER, role::slider },
    { ATSPI_ROLE_SPIN_BUTTON, role::spin_button },
    { ATSPI_ROLE_SPLIT_PANE, role::pane },
    { ATSPI_ROLE_STATUS_BAR, role::status_bar },
    { ATSPI_ROLE_TABLE, role::table },
    { ATSPI_ROLE_TABLE_CELL, role::cell },
    { ATSPI_ROLE_TABLE_COLUMN_HEADER, role::column_header },
    { ATSPI_ROLE_TABLE_ROW_HEADER, role::row_header },
    { ATSPI_ROLE_TEAROFF_MENU_ITEM, role::menu_item },
    { ATSPI_ROLE_TERMINAL, role::text },
    { ATSPI_ROLE_TEXT, role::text },
    { ATSPI_ROLE_TOGGLE_BUTTON, role::push_button },
    { ATSPI_ROLE_TOOL_BAR, role::tool_bar },
    { ATSPI_ROLE_TOOL_TIP, role::tool_tip },
    { ATSPI_ROLE_TREE, role::outline },
    { ATSPI_ROLE_TREE_TABLE, role::outline },
    { ATSPI_ROLE_VIEWPORT, role::pane },
    { ATSPI_ROLE_WINDOW, role::window },
    { ATSPI_ROLE_HEADER, role::grouping },
    { ATSPI_ROLE_FOOTER, role::grouping },
    { ATSPI_ROLE_PARAGRAPH, role::static_text },
    { ATSPI_ROLE_APPLICATION, role::application },
    { ATSPI_ROLE_AUTOCOMPLETE, role::combo_box },
    { ATSPI_ROLE_EDITBAR, role::text },
    { ATSPI_ROLE_EMBEDDED, role::client },
    { ATSPI_ROLE_ENTRY, role::text },
    { ATSPI_ROLE_CHART, role::chart },
    { ATSPI_ROLE_CAPTION, role::static_text },
    { ATSPI_ROLE_DOCUMENT_FRAME, role::document },
    { ATSPI_ROLE_HEADING, role::static_text },
    { ATSPI_ROLE_PAGE, role::property_page },
    { ATSPI_ROLE_SECTION, role::grouping },
    { ATSPI_ROLE_FORM, role::grouping },
    { ATSPI_ROLE_LINK, role::link },
    { ATSPI_ROLE_INPUT_METHOD_WINDOW, role::window },
    { ATSPI_ROLE_TABLE_ROW, role::row },
    { ATSPI_ROLE_TREE_ITEM, role::outline_item },
    { ATSPI_ROLE_DOCUMENT_SPREADSHEET, role::document },
    { ATSPI_ROLE_DOCUMENT_PRESENTATION, role::document },
    { ATSPI_ROLE_DOCUMENT_TEXT, role::document },
    { ATSPI_ROLE_DOCUMENT_WEB, role::document },
    { ATSPI_ROLE_DOCUMENT_EMAIL, role::document },
    { ATSPI_ROLE_COMMENT, role::static_text },
    { ATSPI_ROLE_LIST_BOX, role::list },
    { ATSPI_ROLE_GROUPING, role::grouping },
    { ATSPI_ROLE_IMAGE_MAP, role::graphic },
    { ATSPI_ROLE_NOTIFICATION, role::alert },
    { ATSPI_ROLE_INFO_BAR, role::status_bar },
    { ATSPI_ROLE_LEVEL_BAR, role::progress_bar },
    { ATSPI_ROLE_TITLE_BAR, role::title_bar },
    { ATSPI_ROLE_ARTICLE, role::document },
    { ATSPI_ROLE_LANDMARK, role::grouping },
    { ATSPI_ROLE_LOG, role::text },
    { ATSPI_ROLE_MATH, role::equation },
    { ATSPI_ROLE_TIMER, role::clock },
    { ATSPI_ROLE_STATIC, role::static_text },
    { ATSPI_ROLE_PUSH_BUTTON_MENU, role::button_menu },
};

constexpr uint32_t role_given_as_text = role::alert;

}

uint32_t windows_role_code(int atspi_role)
{
    for (const auto& entry : role_table) {
        if (entry.atspi_role == atspi_role)
            return entry.windows_role;
    }
    return role_given_as_text;
}

}
