// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: its state, mail, paths and the dispatch of commands to their handlers.
#include "cloud_service.h"

#include "partial_download.h"
#include "service_helpers.h"
#include "transfer.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>

namespace cloud {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view state_file = "state.txt";

}

void Reply::line(std::string_view text)
{
    answer += text;
    answer += '\n';
}

void Reply::fail(std::string_view message)
{
    answer += "[API:err: ";
    answer += message;
    answer += "]\n";
    status = 1;
}

std::string lower_ascii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string local_from_shown(std::string_view text, const fs::path& drive_c)
{
    std::string path(text);
    std::replace(path.begin(), path.end(), '\\', '/');
    auto marker = path.find("/?/");
    if (marker != std::string::npos)
        path = path.substr(marker + 3);
    bool has_drive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))
        && (path.size() == 2 || path[2] == '/');
    if (has_drive) {
        if ((path[0] != 'c' && path[0] != 'C') || drive_c.empty())
            return {};
        path = drive_c.string() + "/" + path.substr(2);
    } else if (marker != std::string::npos && !path.starts_with('/')) {
        path = "/" + path;
    }
    if (!path.starts_with('/'))
        return {};
    auto normal = fs::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

bool is_valid_email(std::string_view email)
{
    auto at = email.find('@');
    if (at == std::string_view::npos || at == 0 || email.size() > 254 || email.find('@', at + 1) != std::string_view::npos)
        return false;
    auto local = email.substr(0, at);
    auto domain = email.substr(at + 1);
    auto is_alnum = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    for (char c : local) {
        if (!is_alnum(c) && c != '.' && c != '-' && c != '_' && c != '+')
            return false;
    }
    if (local.front() == '.' || local.back() == '.')
        return false;
    if (domain.empty() || domain.front() == '.' || domain.back() == '.' || domain.find('.') == std::string_view::npos
        || domain.find("..") != std::string_view::npos)
        return false;
    for (char c : domain) {
        if (!is_alnum(c) && c != '.' && c != '-')
            return false;
    }
    return true;
}

CloudService::CloudService(ServiceOptions options)
    : m_options(std::move(options))
{
    std::error_code error;
    fs::create_directories(m_options.data_folder / "accounts", error);
    fs::create_directories(m_options.data_folder / "mailbox", error);
    fs::create_directories(m_options.data_folder / "staging", error);
    fs::create_directories(m_options.data_folder / "downloads", error);
    fs::permissions(m_options.data_folder, fs::perms::owner_all, error);
    std::ifstream in(m_options.data_folder / state_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    m_state = read_state(text.str());
    // Transfers that were cut off by an end of the server leave their
    // staging folders behind.
    for (fs::directory_iterator it(m_options.data_folder / "staging", error), end; !error && it != end; it.increment(error))
        fs::remove_all(it->path(), error);
    remove_partial_downloads(m_options.data_folder / "downloads");
}

fs::path CloudService::account_folder(const Account& account) const
{
    return m_options.data_folder / "accounts" / std::to_string(account.id) / "files";
}

fs::path CloudService::mailbox_folder(std::string_view email) const
{
    return m_options.data_folder / "mailbox" / std::string(email);
}

std::string CloudService::windows_form(const std::string& local) const
{
    std::string shown;
    auto root = m_options.drive_c.string();
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    if (!root.empty() && is_inside(local, root))
        shown = "C:" + local.substr(root.size());
    else
        shown = local;
    if (shown == "C:")
        shown += "/";
    std::replace(shown.begin(), shown.end(), '/', '\\');
    return "\\\\?\\" + shown;
}

void CloudService::save()
{
    auto path = m_options.data_folder / state_file;
    auto temporary = m_options.data_folder / "state.txt.new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << write_state(m_state);
        if (!out)
            return;
    }
    std::error_code error;
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, error);
    fs::rename(temporary, path, error);
}

void CloudService::deliver_mail(std::string_view to, std::string_view kind, std::string_view text)
{
    auto folder = mailbox_folder(to);
    std::error_code error;
    fs::create_directories(folder, error);
    char name[96];
    std::snprintf(name, sizeof name, "%s-%03d-%.*s.txt", utc_time("%Y%m%d-%H%M%S").c_str(), ++m_mail_count % 1000,
        static_cast<int>(kind.size()), kind.data());
    std::ofstream out(folder / name, std::ios::binary);
    out << "To: " << to << "\n\n" << text;
}

Account* CloudService::logged_in(Reply& reply)
{
    auto* account = m_state.find_account(m_state.session.email);
    if (!account)
        reply.fail("Not logged in.");
    return account;
}

std::optional<RemoteLocation> CloudService::resolve(std::string_view text, Reply& reply)
{
    auto resolved = resolve_remote(m_state, m_state.session.email, m_state.session.folder, text);
    if (auto* error = std::get_if<PathError>(&resolved)) {
        reply.fail(error->message);
        return std::nullopt;
    }
    auto location = std::get<RemoteLocation>(resolved);
    // Nothing below an account's folder may be a link: a link could name
    // any file of this system.
    auto* owner = m_state.find_account(location.owner);
    if (!owner) {
        reply.fail("Not found: " + std::string(text));
        return std::nullopt;
    }
    fs::path path = account_folder(*owner);
    for (auto& part : location.owner_parts()) {
        path /= part;
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(path, error))) {
            reply.fail("Not found: " + std::string(text));
            return std::nullopt;
        }
    }
    return location;
}

fs::path CloudService::disk_path(const RemoteLocation& location) const
{
    auto* owner = m_state.find_account(location.owner);
    if (!owner)
        return {};
    fs::path path = account_folder(*owner);
    for (auto& part : location.owner_parts())
        path /= part;
    return path;
}

fs::path CloudService::local_path(const Request& request, std::string_view text) const
{
    fs::path path(text);
    if (path.is_relative())
        path = fs::path(request.client_folder) / path;
    return path.lexically_normal();
}

uint64_t CloudService::usage(const Account& account) const { return tree_size(account_folder(account)); }

void CloudService::forget_path(std::string_view owner, std::string_view owner_path)
{
    std::erase_if(m_state.shares, [&](const Share& s) { return s.owner == owner && is_inside(s.path, owner_path); });
    std::erase_if(m_state.exports, [&](const Export& e) { return e.owner == owner && is_inside(e.path, owner_path); });
    // An owner's own syncs name their folders by the same paths.
    std::erase_if(m_state.syncs, [&](const SyncPair& s) { return s.owner == owner && is_inside(s.remote, owner_path); });
}

std::optional<CloudService::LinkedItem> CloudService::linked_item(std::string_view link) const
{
    auto token = link_token(link);
    if (token.empty())
        return std::nullopt;
    auto found = std::find_if(m_state.exports.begin(), m_state.exports.end(), [&](const Export& e) { return e.token == token; });
    if (found == m_state.exports.end())
        return std::nullopt;
    auto* owner = m_state.find_account(found->owner);
    auto parts = split_remote(found->path);
    if (!owner || parts.empty())
        return std::nullopt;
    // The same care as for a path the user gives: a link on the way could
    // lead to any file of this system.
    fs::path source = account_folder(*owner);
    for (auto& part : parts) {
        source /= part;
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(source, error)))
            return std::nullopt;
    }
    if (!exists_here(source))
        return std::nullopt;
    return LinkedItem { source, parts.back() };
}

void CloudService::run(const Request& request, Reply& reply)
{
    Lock lock(m_lock);
    if (request.words.empty()) {
        reply.fail("No command given");
        return;
    }
    run_locked(request, reply, lock);
    if (!lock.owns_lock())
        lock.lock();
    save();
}

void CloudService::run_locked(const Request& request, Reply& reply, Lock& lock)
{
    auto command = lower_ascii(request.words[0]);
    Arguments words(request.words.begin() + 1, request.words.end());
    if (command == "signup")
        signup(words, reply);
    else if (command == "confirm")
        confirm(words, reply);
    else if (command == "login")
        login(words, reply);
    else if (command == "logout")
        logout(reply);
    else if (command == "whoami")
        whoami(reply);
    else if (command == "cancel")
        cancel(reply);
    else if (command == "confirmcancel")
        confirm_cancel(words, reply);
    else if (command == "cd")
        change_folder(words, reply);
    else if (command == "pwd")
        print_folder(reply);
    else if (command == "ls")
        list(words, reply);
    else if (command == "mount")
        mount(reply);
    else if (command == "mkdir")
        make_folder(words, reply);
    else if (command == "rm")
        remove(words, reply);
    else if (command == "get")
        get(request, reply, lock);
    else if (command == "put")
        put(request, reply, lock);
    else if (command == "import")
        import_link(words, reply, lock);
    else if (command == "share")
        share(words, reply);
    else if (command == "export")
        export_link(words, reply);
    else if (command == "df")
        disk_usage(reply);
    else if (command == "masterkey")
        master_key(reply);
    else if (command == "users")
        users(words, reply);
    else if (command == "invite")
        invite(words, reply);
    else if (command == "showpcr")
        show_invitations(words, reply);
    else if (command == "ipc")
        answer_invitation(words, reply);
    else if (command == "sync")
        sync(request, reply);
    else if (command == "version")
        reply.line("Local cloud service 1.0");
    else if (command == "help")
        reply.line("Commands: cancel cd confirm confirmcancel df export get help import invite ipc login logout "
                   "ls masterkey mkdir mount put pwd rm share showpcr signup sync users version whoami");
    else
        reply.fail("Command not found: " + one_line(command));
}

}
