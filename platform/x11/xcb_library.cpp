// SPDX-License-Identifier: GPL-3.0-or-later
// XcbLibrary: XCB's functions, loaded when the X11 desktop is first opened.
#include "platform/x11/xcb_library.h"

#include "platform/shared_library.h"

namespace platform {

namespace {

// The sonames of the libraries whose headers this program is built with.
constexpr const char* core_file = "libxcb.so.1";
constexpr const char* xtest_file = "libxcb-xtest.so.0";

base::Result<XcbLibrary> load()
{
    auto core = SharedLibrary::open(core_file);
    if (!core)
        return core.error();
    XcbLibrary found;
#define CORVANTE_XCB_FIND(name)                                                                                    \
    if (auto found_function = core->find(found.name, #name); !found_function)                                       \
        return found_function.error();
    CORVANTE_XCB_FUNCTIONS(CORVANTE_XCB_FIND)
#undef CORVANTE_XCB_FIND
    // The extension's library needs libxcb, which is loaded by now.
    if (auto xtest = SharedLibrary::open(xtest_file)) {
        XcbLibrary with_xtest = found;
        with_xtest.xcb_test_id = static_cast<xcb_extension_t*>(xtest->symbol("xcb_test_id"));
        if (xtest->find(with_xtest.xcb_test_fake_input, "xcb_test_fake_input") && with_xtest.xcb_test_id)
            found = with_xtest;
    }
    return found;
}

}

base::Result<const XcbLibrary*> xcb_library()
{
    return load_library_once<XcbLibrary, load>();
}

}
