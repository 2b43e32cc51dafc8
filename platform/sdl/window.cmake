# The console in a window of its own, when SDL2, SDL2_ttf and fontconfig
# are installed; it goes into the SDL2 module (without them --window says
# that the window is not available).
find_package(SDL2 QUIET)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(SDL2_TTF QUIET IMPORTED_TARGET SDL2_ttf)
    pkg_check_modules(FONTCONFIG QUIET IMPORTED_TARGET fontconfig)
endif()
if(SDL2_FOUND AND SDL2_TTF_FOUND AND FONTCONFIG_FOUND)
    add_library(platform_sdl_window_impl
        ${CMAKE_CURRENT_LIST_DIR}/font_lookup.cpp
        ${CMAKE_CURRENT_LIST_DIR}/magnifier_layout.cpp
        ${CMAKE_CURRENT_LIST_DIR}/sdl_clipboard.cpp
        ${CMAKE_CURRENT_LIST_DIR}/sdl_event_source.cpp
        ${CMAKE_CURRENT_LIST_DIR}/sdl_key_mapping.cpp
        ${CMAKE_CURRENT_LIST_DIR}/sdl_window.cpp
        ${CMAKE_CURRENT_LIST_DIR}/sdl_window_id.cpp
        ${CMAKE_CURRENT_LIST_DIR}/window_cells.cpp
    )
    target_link_libraries(platform_sdl_window_impl PUBLIC platform SDL2::SDL2 PkgConfig::SDL2_TTF PkgConfig::FONTCONFIG)
endif()
