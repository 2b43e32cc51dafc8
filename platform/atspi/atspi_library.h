// SPDX-License-Identifier: GPL-3.0-or-later
// AtspiLibrary: the accessibility library's functions, loaded by the first MSAA command.
#pragma once

#include "base/result.h"

#include <atspi/atspi.h>

namespace platform {

// libatspi brings GLib, GObject and D-Bus with it, which a script that
// never asks the desktop about its objects should not pay for at start.
// The functions are found in the system's libatspi.so.0 instead (GLib's
// through the same handle, as the library depends on them); the headers
// give each pointer its exact type.
struct AtspiLibrary {
#define CORVANTE_ATSPI_FUNCTIONS(F)                                                                               \
    F(atspi_init) F(atspi_get_desktop) F(atspi_event_listener_new)                           \
    F(atspi_event_listener_register) F(atspi_event_listener_deregister) F(atspi_event_get_type)                   \
    F(atspi_accessible_get_child_count) F(atspi_accessible_get_child_at_index) F(atspi_accessible_get_role)       \
    F(atspi_accessible_get_localized_role_name) F(atspi_accessible_get_name) F(atspi_accessible_get_state_set)    \
    F(atspi_state_set_contains) F(atspi_accessible_get_component_iface) F(atspi_accessible_get_value_iface)       \
    F(atspi_accessible_get_text_iface) F(atspi_component_get_extents) F(atspi_component_contains)                 \
    F(atspi_component_get_accessible_at_point) F(atspi_value_get_current_value) F(atspi_text_get_character_count) \
    F(atspi_text_get_text) F(g_object_ref) F(g_object_unref) F(g_free) F(g_error_free) F(g_boxed_free)            \
    F(g_main_context_iteration)
#define CORVANTE_ATSPI_POINTER(name) decltype(&::name) name = nullptr;
    CORVANTE_ATSPI_FUNCTIONS(CORVANTE_ATSPI_POINTER)
#undef CORVANTE_ATSPI_POINTER
};

// The library, loaded on the first call and kept until the program ends
// (its D-Bus connection and listeners live that long); an error naming
// what is missing when it cannot be loaded.
base::Result<const AtspiLibrary*> atspi_library();

}
