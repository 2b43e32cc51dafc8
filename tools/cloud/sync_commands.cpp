// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: the sync commands and the passes that copy syncs both ways.
#include "cloud_service.h"

#include "command_arguments.h"
#include "service_helpers.h"

#include <algorithm>

namespace cloud {

namespace fs = std::filesystem;

namespace {

// A reply that drops progress: for work done on the service's own behalf.
class QuietReply final : public Reply {
public:
    bool progress(std::string_view) override { return true; }
};

}

void CloudService::sync(const Request& request, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    Arguments words(request.words.begin() + 1, request.words.end());
    auto arguments = parse_arguments(words);
    bool removing = arguments.has("d");
    bool pausing = arguments.has("s");
    bool resuming = arguments.has("r");
    auto me = account->email;
    if (removing || pausing || resuming) {
        if (arguments.operands.size() != 1) {
            reply.fail("Usage: sync -d|-s|-r ID|localpath");
            return;
        }
        auto wanted = arguments.operands[0];
        // The local path may come as shown in the list ("\\?\C:\x"), as a
        // path of this system, or as the runtime maps the shown form.
        std::vector<std::string> forms { local_path(request, wanted).string(),
            local_from_shown(wanted, m_options.drive_c) };
        auto matches = [&](const SyncPair& s) {
            if (s.owner != me)
                return false;
            if (wanted == std::to_string(s.id) || wanted == windows_form(s.local))
                return true;
            for (auto form : forms) {
                while (form.size() > 1 && form.back() == '/')
                    form.pop_back();
                if (!form.empty() && form == s.local)
                    return true;
            }
            return false;
        };
        auto found = std::find_if(m_state.syncs.begin(), m_state.syncs.end(), matches);
        if (found == m_state.syncs.end()) {
            reply.fail("Sync not found: " + one_line(wanted));
            return;
        }
        if (removing) {
            reply.line("Sync " + std::to_string(found->id) + " removed: " + found->local);
            m_state.syncs.erase(found);
        } else {
            found->paused = pausing;
            reply.line("Sync " + std::to_string(found->id) + (pausing ? " paused: " : " resumed: ") + found->local);
        }
        return;
    }
    if (arguments.operands.empty()) {
        bool any = false;
        for (auto& pair : m_state.syncs) {
            if (pair.owner != me)
                continue;
            if (!any)
                reply.line("ID  LOCALPATH  REMOTEPATH  RUN_STATE  STATUS");
            any = true;
            reply.line(std::to_string(pair.id) + "  " + windows_form(pair.local) + " " + pair.remote + "  "
                + (pair.paused ? "Paused" : "Running") + "  " + (pair.paused ? "Disabled" : "Synced"));
        }
        return;
    }
    if (arguments.operands.size() != 2) {
        reply.fail("Usage: sync localpath remotepath");
        return;
    }
    std::error_code error;
    auto local = fs::canonical(local_path(request, arguments.operands[0]), error);
    if (error || !fs::is_directory(local)) {
        reply.fail("Local path must be an existing folder: " + one_line(arguments.operands[0]));
        return;
    }
    auto data = fs::weakly_canonical(m_options.data_folder, error);
    if (is_inside(local.string(), data.string()) || is_inside(data.string(), local.string())) {
        reply.fail("The service's own folder cannot be synced");
        return;
    }
    auto location = resolve(arguments.operands[1], reply);
    if (!location)
        return;
    if (location->access < Access::ReadWrite || !is_folder(disk_path(*location))) {
        reply.fail("Remote path must be a folder you can write to: " + location->display());
        return;
    }
    for (auto& pair : m_state.syncs) {
        if (pair.owner == me && (is_inside(pair.local, local.string()) || is_inside(local.string(), pair.local))) {
            reply.fail("Already synced: " + pair.local);
            return;
        }
    }
    m_state.syncs.push_back({ m_state.next_sync_id++, me, local.string(), location->display(), false });
    reply.line("Added sync: " + local.string() + " to " + location->display());
}

void CloudService::sync_all()
{
    struct Work {
        int id;
        fs::path local;
        fs::path remote;
    };
    std::vector<Work> work;
    {
        Lock lock(m_lock);
        auto& me = m_state.session.email;
        for (auto& pair : m_state.syncs) {
            if (pair.owner != me || pair.paused)
                continue;
            auto resolved = resolve_remote(m_state, me, "/", pair.remote);
            auto* location = std::get_if<RemoteLocation>(&resolved);
            if (!location || location->access < Access::ReadWrite)
                continue;
            QuietReply quiet;
            if (!resolve(pair.remote, quiet))
                continue;
            work.push_back({ pair.id, pair.local, disk_path(*location) });
        }
    }
    for (auto& item : work)
        sync_pass(item.local, item.remote, m_snapshots[item.id]);
}

}
