// SPDX-License-Identifier: GPL-3.0-or-later
// XcbLibrary: XCB's functions, loaded when the X11 desktop is first opened.
#pragma once

#include "base/result.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace platform {

// Headless runs, and runs without a display, never talk to an X server;
// linked into the programs, libxcb and libxcb-xtest would be loaded by all
// of them. The functions the X11 backends use are found here instead, the
// first time a display is opened. The headers' declarations give each
// pointer its exact type.
struct XcbLibrary {
#define CORVANTE_XCB_FUNCTIONS(F)                                                                                 \
    F(xcb_change_keyboard_mapping) F(xcb_change_property) F(xcb_connect) F(xcb_connection_has_error)              \
    F(xcb_convert_selection) F(xcb_create_window) F(xcb_delete_property) F(xcb_disconnect) F(xcb_flush)           \
    F(xcb_generate_id) F(xcb_get_extension_data) F(xcb_get_file_descriptor) F(xcb_get_geometry)                   \
    F(xcb_get_geometry_reply) F(xcb_get_input_focus) F(xcb_get_input_focus_reply) F(xcb_get_keyboard_mapping)     \
    F(xcb_get_keyboard_mapping_keysyms) F(xcb_get_keyboard_mapping_keysyms_length)                               \
    F(xcb_get_keyboard_mapping_reply) F(xcb_get_property) F(xcb_get_property_reply) F(xcb_get_property_value)    \
    F(xcb_get_property_value_length) F(xcb_get_selection_owner) F(xcb_get_selection_owner_reply) F(xcb_get_setup) \
    F(xcb_get_window_attributes) F(xcb_get_window_attributes_reply) F(xcb_intern_atom) F(xcb_intern_atom_reply)  \
    F(xcb_map_window) F(xcb_poll_for_event) F(xcb_query_tree) F(xcb_query_tree_reply) F(xcb_screen_next)         \
    F(xcb_send_event) F(xcb_set_selection_owner) F(xcb_setup_roots_iterator) F(xcb_translate_coordinates)        \
    F(xcb_translate_coordinates_reply) F(xcb_wait_for_event)
#define CORVANTE_XCB_POINTER(name) decltype(&::name) name = nullptr;
    CORVANTE_XCB_FUNCTIONS(CORVANTE_XCB_POINTER)
#undef CORVANTE_XCB_POINTER

    // From libxcb-xtest, which a system may lack: both are nullptr then,
    // and the desktop is watched but keys and clicks cannot be sent.
    decltype(&::xcb_test_fake_input) xcb_test_fake_input = nullptr;
    xcb_extension_t* xcb_test_id = nullptr;

    bool has_xtest_library() const { return xcb_test_fake_input && xcb_test_id; }
};

// The library, loaded on the first call and kept until the program ends;
// an error naming what is missing when libxcb cannot be loaded.
base::Result<const XcbLibrary*> xcb_library();

}
