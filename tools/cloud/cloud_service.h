// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: runs the commands of the local cloud service on its state
// and the files of its data folder.
#pragma once

#include "cloud_state.h"
#include "remote_path.h"
#include "sync_engine.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cloud {

// One command: its words ("ls", "-l", "/x") and the folder the client runs
// in, against which local paths are taken.
struct Request {
    std::vector<std::string> words;
    std::string client_folder;
};

// Where a command's output goes. The answer is what the client writes to
// its result file (or prints); progress lines reach the client's console
// while the command runs.
class Reply {
public:
    virtual ~Reply() = default;
    // False once the client has gone away: a transfer then stops.
    virtual bool progress(std::string_view line) = 0;

    void line(std::string_view text);
    // A failure: "[API:err: message]", and a status other than 0.
    void fail(std::string_view message);

    std::string answer;
    int status = 0;
};

struct ServiceOptions {
    std::filesystem::path data_folder;
    uint64_t rate = 0;                                 // bytes a second for transfers; 0: no limit
    uint64_t quota = 20ull * 1024 * 1024 * 1024;       // bytes an account may hold
    std::filesystem::path drive_c;                     // where local paths are shown as "C:\..."; may be empty
};

class CloudService {
public:
    explicit CloudService(ServiceOptions options);
    CloudService(const CloudService&) = delete;
    CloudService& operator=(const CloudService&) = delete;

    void run(const Request& request, Reply& reply);
    // One pass over the running syncs of the logged-in account.
    void sync_all();

    std::filesystem::path account_folder(const Account& account) const;
    std::filesystem::path mailbox_folder(std::string_view email) const;
    // "\\?\C:\x\y" for a folder under drive C, "\\?\" and the path with
    // backslashes otherwise: the sync list shows local paths without "/".
    std::string windows_form(const std::string& local) const;

private:
    using Lock = std::unique_lock<std::mutex>;
    using Arguments = std::vector<std::string>;

    void save();
    void deliver_mail(std::string_view to, std::string_view kind, std::string_view text);
    Account* logged_in(Reply& reply);
    std::optional<RemoteLocation> resolve(std::string_view text, Reply& reply);
    std::filesystem::path disk_path(const RemoteLocation& location) const;
    std::filesystem::path local_path(const Request& request, std::string_view text) const;
    uint64_t usage(const Account& account) const;
    void forget_path(std::string_view owner, std::string_view owner_path);
    // The file or folder an exported link names and its name, or nothing
    // when no export has that link (never made, disabled, or its item gone).
    struct LinkedItem {
        std::filesystem::path source;
        std::string name;
    };
    std::optional<LinkedItem> linked_item(std::string_view link) const;

    void run_locked(const Request& request, Reply& reply, Lock& lock);
    void signup(const Arguments& words, Reply& reply);
    void confirm(const Arguments& words, Reply& reply);
    void login(const Arguments& words, Reply& reply);
    void logout(Reply& reply);
    void whoami(Reply& reply);
    void cancel(Reply& reply);
    void confirm_cancel(const Arguments& words, Reply& reply);
    void change_folder(const Arguments& words, Reply& reply);
    void print_folder(Reply& reply);
    void list(const Arguments& words, Reply& reply);
    void mount(Reply& reply);
    void make_folder(const Arguments& words, Reply& reply);
    void remove(const Arguments& words, Reply& reply);
    void get(const Request& request, Reply& reply, Lock& lock);
    void put(const Request& request, Reply& reply, Lock& lock);
    void import_link(const Arguments& words, Reply& reply, Lock& lock);
    void share(const Arguments& words, Reply& reply);
    void export_link(const Arguments& words, Reply& reply);
    void disk_usage(Reply& reply);
    void master_key(Reply& reply);
    void users(const Arguments& words, Reply& reply);
    void invite(const Arguments& words, Reply& reply);
    void show_invitations(const Arguments& words, Reply& reply);
    void answer_invitation(const Arguments& words, Reply& reply);
    void sync(const Request& request, Reply& reply);

    ServiceOptions m_options;
    std::mutex m_lock; // guards m_state; never held while file contents are copied
    CloudState m_state;
    std::map<int, SyncSnapshot> m_snapshots; // touched only by sync_all
    int m_mail_count = 0;
};

// E-mail addresses as accounts take them: lower-case, one "@", letters,
// digits and ".-_+" before it, a dotted domain of letters, digits and "-"
// after it. Anything else could end up in a mailbox's file name.
bool is_valid_email(std::string_view email);
std::string lower_ascii(std::string_view text);

// The folder of this system that a local path of the sync list names: the
// list's "\\?\C:\x" form, or what a Windows path map made of it
// ("<drive C>/?/C:/x"). Empty when it names none.
std::string local_from_shown(std::string_view text, const std::filesystem::path& drive_c);

}
