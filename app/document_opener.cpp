// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document_opener.h"

#include "interpreter/text.h"
#include "platform/path_map.h"
#include "platform/process_launcher.h"
#include "base/text_encoding.h"
#include "system/command_translation.h"
#include "system/windows_command_line.h"

namespace app {

namespace {

bool is_link(std::string_view text)
{
    return text.find("://") != std::string_view::npos || interpreter::starts_with_upper(text, "WWW.")
        || interpreter::starts_with_upper(text, "MAILTO:");
}

// Links pass as they are; "www." alone names no scheme, and the opener
// would look for a file of that name.
std::string link_for_opener(std::string_view link)
{
    std::string utf8 = base::windows1252_to_utf8(link);
    if (interpreter::starts_with_upper(link, "WWW."))
        return "http://" + utf8;
    return utf8;
}

std::string argument_for(std::string_view parameter, const platform::PathMap& paths)
{
    if (is_link(parameter))
        return base::windows1252_to_utf8(parameter);
    auto path = paths.to_system(parameter);
    return path.empty() ? base::windows1252_to_utf8(parameter) : path;
}

}

bool open_with_desktop(platform::ProcessLauncher& launcher, const platform::PathMap& paths, std::string_view file,
    std::string_view parameter)
{
    file = interpreter::trim(file);
    parameter = interpreter::trim(parameter);
    if (file.empty())
        return false;
    platform::SpawnRequest request;
    if (!is_link(file)) {
        if (auto program = sys::resolve_program(file, paths, launcher)) {
            request.executable = *program;
            request.arguments.emplace_back(sys::file_name_part(*program));
            if (!parameter.empty())
                request.arguments.push_back(argument_for(parameter, paths));
        }
    }
    if (request.executable.empty()) {
        std::string target;
        if (is_link(file)) {
            target = link_for_opener(file);
        } else {
            target = paths.to_system(file);
            if (target.empty() || !launcher.exists(target))
                return false;
        }
        auto opener = launcher.find_in_path("xdg-open");
        if (!opener)
            return false;
        request.executable = *opener;
        request.arguments = { "xdg-open", target };
    }
    launcher.reap_children();
    return launcher.spawn_detached(request).has_value();
}

}
