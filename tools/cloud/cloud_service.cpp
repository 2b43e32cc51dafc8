// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: the commands of the local cloud service.
#include "cloud_service.h"

#include "command_arguments.h"
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

constexpr std::string_view link_site = "https://nuvem.invalid/";
constexpr std::string_view state_file = "state.txt";

std::string random_text(size_t length)
{
    static constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += alphabet[pick(device)];
    return text;
}

std::string utc_time(const char* format)
{
    std::time_t now = std::time(nullptr);
    std::tm parts {};
    gmtime_r(&now, &parts);
    char text[64];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

std::string access_name(Access level)
{
    switch (level) {
    case Access::Read:
        return "read access";
    case Access::ReadWrite:
        return "read/write access";
    case Access::Full:
        return "full access";
    case Access::Owner:
        break;
    }
    return "owner access";
}

// The token at the end of a link: what follows its last "/" or "!".
std::string link_token(std::string_view link)
{
    while (!link.empty() && (link.back() == ' ' || link.back() == '/'))
        link.remove_suffix(1);
    auto cut = link.find_last_of("/!#");
    return std::string(cut == std::string_view::npos ? link : link.substr(cut + 1));
}

// Text shown on one line: control characters would start a new one.
std::string one_line(std::string_view text)
{
    std::string shown(text);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return shown;
}

bool is_folder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(fs::symlink_status(path, error));
}

bool exists_here(const fs::path& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool is_inside(std::string_view path, std::string_view folder)
{
    if (folder == "/")
        return true;
    return path == folder || (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

struct Entry {
    std::string name;
    bool folder;
    uintmax_t size;
    fs::file_time_type time;
};

std::vector<Entry> folder_entries(const fs::path& folder)
{
    std::vector<Entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        auto status = it->symlink_status(error);
        if (error)
            break;
        auto name = it->path().filename().string();
        if (name.starts_with(".sync-") && name.ends_with(".part"))
            continue;
        std::error_code ignored;
        if (fs::is_directory(status))
            entries.push_back({ name, true, 0, it->last_write_time(ignored) });
        else if (fs::is_regular_file(status))
            entries.push_back({ name, false, it->file_size(ignored), it->last_write_time(ignored) });
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        auto la = lower_ascii(a.name), lb = lower_ascii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    return entries;
}

std::string entry_time(fs::file_time_type time)
{
    auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(time));
    std::time_t seconds = std::chrono::system_clock::to_time_t(system);
    std::tm parts {};
    gmtime_r(&seconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%d%b%Y %H:%M:%S", &parts);
    return text;
}

void list_folder(Reply& reply, const fs::path& folder, const std::string& prefix, bool long_form, bool recursive)
{
    for (auto& entry : folder_entries(folder)) {
        auto shown = prefix + entry.name;
        if (long_form) {
            char text[64];
            if (entry.folder)
                std::snprintf(text, sizeof text, "d---    -%14s ", "-");
            else
                std::snprintf(text, sizeof text, "----    1%14ju ", entry.size);
            reply.line(text + entry_time(entry.time) + " " + shown);
        } else {
            reply.line(shown);
        }
        if (recursive && entry.folder)
            list_folder(reply, folder / entry.name, shown + "/", long_form, recursive);
    }
}

// A reply that drops progress: for work done on the service's own behalf.
class QuietReply final : public Reply {
public:
    bool progress(std::string_view) override { return true; }
};

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
    fs::permissions(m_options.data_folder, fs::perms::owner_all, error);
    std::ifstream in(m_options.data_folder / state_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    m_state = read_state(text.str());
    // Transfers that were cut off by an end of the server leave their
    // staging folders behind.
    for (fs::directory_iterator it(m_options.data_folder / "staging", error), end; !error && it != end; it.increment(error))
        fs::remove_all(it->path(), error);
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

void CloudService::signup(const Arguments& words, Reply& reply)
{
    auto arguments = parse_arguments(words);
    if (arguments.operands.size() != 2) {
        reply.fail("Usage: signup email password");
        return;
    }
    auto email = lower_ascii(arguments.operands[0]);
    auto& password = arguments.operands[1];
    if (!is_valid_email(email)) {
        reply.fail("Invalid e-mail address: " + one_line(arguments.operands[0]));
        return;
    }
    if (password.empty()) {
        reply.fail("Empty password");
        return;
    }
    if (m_state.find_account(email)) {
        reply.fail("Already exists: " + email);
        return;
    }
    Account account;
    account.id = m_state.next_account_id++;
    account.email = email;
    account.password = password;
    account.confirm_token = random_text(32);
    account.master_key = random_text(22);
    std::error_code error;
    fs::create_directories(account_folder(account), error);
    if (error) {
        reply.fail("Unable to create the account's folder");
        return;
    }
    auto link = std::string(link_site) + "confirm/" + account.confirm_token;
    m_state.accounts.push_back(account);
    deliver_mail(email, "confirm",
        "Welcome. To confirm your account, use this link:\n\n" + link + "\n\n(confirm " + link + " " + email + " PASSWORD)\n");
    reply.line("Signing up. A confirmation link will be sent to " + email + ".");
    reply.line("Account <" + email + "> created succesfully. You will receive a confirmation link. "
               "Use \"confirm\" with the provided link to confirm that account");
}

void CloudService::confirm(const Arguments& words, Reply& reply)
{
    auto arguments = parse_arguments(words);
    if (arguments.operands.size() != 3) {
        reply.fail("Usage: confirm link email password");
        return;
    }
    auto token = link_token(arguments.operands[0]);
    auto* account = m_state.find_account(lower_ascii(arguments.operands[1]));
    if (!account || account->confirmed || token.empty() || token != account->confirm_token) {
        reply.fail("Invalid confirmation link");
        return;
    }
    if (account->password != arguments.operands[2]) {
        reply.fail("Access denied: wrong password");
        return;
    }
    account->confirmed = true;
    account->confirm_token.clear();
    reply.line("Account " + account->email + " confirmed succesfully. You can login with it now");
}

void CloudService::login(const Arguments& words, Reply& reply)
{
    auto arguments = parse_arguments(words);
    if (arguments.operands.size() != 2) {
        reply.fail("Usage: login email password");
        return;
    }
    if (!m_state.session.email.empty()) {
        reply.fail("Already logged in. Please log out first.");
        return;
    }
    auto* account = m_state.find_account(lower_ascii(arguments.operands[0]));
    if (!account || account->password != arguments.operands[1]) {
        reply.fail("Login failed: invalid email or password");
        return;
    }
    if (!account->confirmed) {
        reply.fail("Login failed: account not confirmed");
        return;
    }
    m_state.session = { account->email, "/" };
}

void CloudService::logout(Reply& reply)
{
    if (m_state.session.email.empty()) {
        reply.fail("Not logged in.");
        return;
    }
    m_state.session = Session {};
}

void CloudService::whoami(Reply& reply)
{
    if (auto* account = logged_in(reply))
        reply.line("Account e-mail: " + account->email);
}

void CloudService::cancel(Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    account->cancel_token = random_text(32);
    auto link = std::string(link_site) + "cancel/" + account->cancel_token;
    deliver_mail(account->email, "cancel",
        "To cancel your account and delete all its files, use this link:\n\n" + link + "\n\n(confirmcancel " + link
            + " PASSWORD)\n");
    reply.line("Account pendind cancel confirmation. You will receive a confirmation link. "
               "Use \"confirmcancel\" with the provided link to confirm the cancellation");
}

void CloudService::confirm_cancel(const Arguments& words, Reply& reply)
{
    auto arguments = parse_arguments(words);
    if (arguments.operands.size() != 2) {
        reply.fail("Usage: confirmcancel link password");
        return;
    }
    auto token = link_token(arguments.operands[0]);
    Account* account = nullptr;
    for (auto& candidate : m_state.accounts) {
        if (!token.empty() && candidate.cancel_token == token)
            account = &candidate;
    }
    if (!account) {
        reply.fail("Invalid cancellation link");
        return;
    }
    if (account->password != arguments.operands[1]) {
        reply.fail("Access denied: wrong password");
        return;
    }
    auto email = account->email;
    std::error_code error;
    fs::remove_all(account_folder(*account).parent_path(), error);
    m_state.forget_account(email);
    // The account is gone, and the session that named it with it.
    reply.line("Account " + email + " cancelled. The session ended: Bad session ID");
}

void CloudService::change_folder(const Arguments& words, Reply& reply)
{
    if (!logged_in(reply))
        return;
    auto arguments = parse_arguments(words);
    auto target = arguments.operands.empty() ? std::string("/") : arguments.operands[0];
    auto location = resolve(target, reply);
    if (!location)
        return;
    if (!is_folder(disk_path(*location))) {
        reply.fail("Not a folder: " + one_line(target));
        return;
    }
    m_state.session.folder = location->display();
}

void CloudService::print_folder(Reply& reply)
{
    if (!logged_in(reply))
        return;
    auto location = resolve(m_state.session.folder, reply);
    if (location)
        reply.line(location->display());
}

void CloudService::list(const Arguments& words, Reply& reply)
{
    if (!logged_in(reply))
        return;
    auto arguments = parse_arguments(words);
    auto targets = arguments.operands;
    if (targets.empty())
        targets.push_back(m_state.session.folder);
    for (auto& target : targets) {
        auto location = resolve(target, reply);
        if (!location)
            continue;
        auto path = disk_path(*location);
        if (is_folder(path)) {
            list_folder(reply, path, "", arguments.has("l"), arguments.has("R") || arguments.has("r"));
        } else if (exists_here(path)) {
            reply.line(location->name());
        } else {
            reply.fail("Couldn't find " + one_line(target));
        }
    }
}

void CloudService::mount(Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    reply.line("ROOT on /");
    reply.line("INBOX on //in");
    reply.line("RUBBISH on //bin");
    for (auto& share : m_state.shares) {
        if (share.with != account->email)
            continue;
        auto parts = split_remote(share.path);
        if (parts.empty())
            continue;
        reply.line("INSHARE on //from/" + share.owner + ":" + parts.back() + " (" + access_name(share.level) + ")");
    }
}

void CloudService::make_folder(const Arguments& words, Reply& reply)
{
    if (!logged_in(reply))
        return;
    auto arguments = parse_arguments(words);
    if (arguments.operands.empty()) {
        reply.fail("Usage: mkdir [-p] folder");
        return;
    }
    bool parents = arguments.has("p");
    for (auto& target : arguments.operands) {
        auto location = resolve(target, reply);
        if (!location)
            continue;
        if (location->access < Access::ReadWrite) {
            reply.fail("Access denied: " + one_line(target));
            continue;
        }
        auto path = disk_path(*location);
        if (is_folder(path)) {
            if (!parents)
                reply.fail("Folder already exists: " + location->display());
            continue;
        }
        if (exists_here(path)) {
            reply.fail("A file has that name: " + location->display());
            continue;
        }
        std::error_code error;
        if (parents)
            fs::create_directories(path, error);
        else if (!is_folder(path.parent_path()))
            error = std::make_error_code(std::errc::no_such_file_or_directory);
        else
            fs::create_directory(path, error);
        if (error)
            reply.fail("Unable to create folder: " + location->display());
    }
}

void CloudService::remove(const Arguments& words, Reply& reply)
{
    if (!logged_in(reply))
        return;
    auto arguments = parse_arguments(words);
    if (arguments.operands.empty()) {
        reply.fail("Usage: rm [-r] [-f] path");
        return;
    }
    for (auto& target : arguments.operands) {
        auto location = resolve(target, reply);
        if (!location)
            continue;
        auto path = disk_path(*location);
        if (!exists_here(path)) {
            reply.fail("Couldn't find " + one_line(target));
            continue;
        }
        if (location->is_root()) {
            reply.fail("Unable to delete a root folder: " + location->display());
            continue;
        }
        if (location->access < Access::Full) {
            reply.fail("Access denied: " + one_line(target));
            continue;
        }
        if (is_folder(path) && !arguments.has("r")) {
            reply.fail("Unable to delete folder: " + location->display() + ". Use -r to delete it");
            continue;
        }
        std::error_code error;
        fs::remove_all(path, error);
        if (error) {
            reply.fail("Unable to delete: " + location->display());
            continue;
        }
        forget_path(location->owner, location->owner_path());
    }
}

void CloudService::get(const Request& request, Reply& reply, Lock& lock)
{
    if (!logged_in(reply))
        return;
    Arguments words(request.words.begin() + 1, request.words.end());
    auto arguments = parse_arguments(words);
    if (arguments.operands.empty() || arguments.operands.size() > 2) {
        reply.fail("Usage: get remotepath [localpath]");
        return;
    }
    auto location = resolve(arguments.operands[0], reply);
    if (!location)
        return;
    auto source = disk_path(*location);
    if (!exists_here(source)) {
        reply.fail("Couldn't find " + one_line(arguments.operands[0]));
        return;
    }
    auto target = local_path(request, arguments.operands.size() == 2 ? arguments.operands[1] : std::string("."));
    auto name = location->name().empty() ? std::string("cloud") : location->name();
    if (is_folder(target)) {
        name = free_name(target, name);
    } else if (is_folder(target.parent_path()) && !exists_here(target)) {
        name = target.filename().string();
        target = target.parent_path();
    } else {
        reply.fail("Not a local folder: " + one_line(target.string()));
        return;
    }
    lock.unlock();
    auto temporary = target / ("." + name + ".part");
    TransferMeter meter(tree_size(source), m_options.rate, [&](std::string_view line) { return reply.progress(line); });
    auto failed = copy_tree(source, temporary, meter);
    std::error_code error;
    if (!failed) {
        meter.finish();
        fs::rename(temporary, target / free_name(target, name), error);
        if (error) {
            fs::remove_all(temporary, error);
            failed = "cannot write " + (target / name).string();
        }
    }
    lock.lock();
    if (failed)
        reply.fail("Download failed: " + one_line(*failed));
}

void CloudService::put(const Request& request, Reply& reply, Lock& lock)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    Arguments words(request.words.begin() + 1, request.words.end());
    auto arguments = parse_arguments(words);
    auto sources = arguments.operands;
    if (sources.empty()) {
        reply.fail("Usage: put localpath... [remotepath]");
        return;
    }
    std::string destination = m_state.session.folder;
    if (sources.size() > 1) {
        destination = sources.back();
        sources.pop_back();
    }
    auto location = resolve(destination, reply);
    if (!location)
        return;
    if (location->access < Access::ReadWrite) {
        reply.fail("Access denied: " + location->display());
        return;
    }
    auto folder = disk_path(*location);
    if (!is_folder(folder)) {
        reply.fail("Not a folder: " + location->display());
        return;
    }
    auto* owner = m_state.find_account(location->owner);
    for (auto& source_text : sources) {
        auto source = local_path(request, source_text);
        std::error_code error;
        auto status = fs::status(source, error);
        if (error || (!fs::is_regular_file(status) && !fs::is_directory(status))) {
            reply.fail("Local file not found: " + one_line(source_text));
            continue;
        }
        auto name = source.filename().string();
        if (!is_valid_name(name)) {
            reply.fail("Invalid name: " + one_line(source_text));
            continue;
        }
        auto size = tree_size(source);
        if (owner && usage(*owner) + size > m_options.quota) {
            reply.fail("Over quota: " + readable_size(size) + " do not fit");
            continue;
        }
        auto staging = m_options.data_folder / "staging" / random_text(16);
        lock.unlock();
        TransferMeter meter(size, m_options.rate, [&](std::string_view line) { return reply.progress(line); });
        fs::create_directory(staging, error);
        auto failed = copy_tree(source, staging / name, meter);
        if (!failed)
            meter.finish();
        lock.lock();
        if (!failed) {
            // The folder may have gone while the bytes were copied.
            auto target = folder / name;
            if (!is_folder(folder))
                failed = "the folder " + location->display() + " is gone";
            else if (exists_here(target) && !is_folder(target) && !is_folder(staging / name))
                fs::remove(target, error); // a file sent again replaces the old one
            else if (exists_here(target))
                target = folder / free_name(folder, name);
            if (!failed) {
                fs::rename(staging / name, target, error);
                if (error)
                    failed = "cannot store " + name;
            }
        }
        fs::remove_all(staging, error);
        if (failed)
            reply.fail("Upload failed: " + one_line(*failed));
    }
}

void CloudService::import_link(const Arguments& words, Reply& reply, Lock& lock)
{
    if (!logged_in(reply))
        return;
    auto arguments = parse_arguments(words);
    if (arguments.operands.empty()) {
        reply.fail("Usage: import link [remotepath]");
        return;
    }
    auto token = link_token(arguments.operands[0]);
    const Export* found = nullptr;
    for (auto& item : m_state.exports) {
        if (!token.empty() && item.token == token)
            found = &item;
    }
    auto* owner = found ? m_state.find_account(found->owner) : nullptr;
    if (!owner || split_remote(found->path).empty()) {
        reply.fail("Invalid link: " + one_line(arguments.operands[0]));
        return;
    }
    fs::path source = account_folder(*owner);
    for (auto& part : split_remote(found->path))
        source /= part;
    auto location = resolve(arguments.operands.size() > 1 ? arguments.operands[1] : m_state.session.folder, reply);
    if (!location)
        return;
    auto folder = disk_path(*location);
    if (location->access < Access::ReadWrite || !is_folder(folder) || !exists_here(source)) {
        reply.fail("Unable to import into " + location->display());
        return;
    }
    auto name = split_remote(found->path).back();
    bool is_folder_link = is_folder(source);
    auto staging = m_options.data_folder / "staging" / random_text(16);
    lock.unlock();
    std::error_code error;
    fs::create_directory(staging, error);
    TransferMeter meter(tree_size(source), m_options.rate, [&](std::string_view line) { return reply.progress(line); });
    auto failed = copy_tree(source, staging / name, meter);
    lock.lock();
    std::string stored;
    if (!failed && is_folder(folder)) {
        stored = free_name(folder, name);
        fs::rename(staging / name, folder / stored, error);
        if (error)
            failed = "cannot store " + name;
    }
    fs::remove_all(staging, error);
    if (failed || stored.empty()) {
        reply.fail("Import failed: " + one_line(failed.value_or(location->display())));
        return;
    }
    auto shown = location->display();
    shown += shown.ends_with('/') ? stored : "/" + stored;
    reply.line(std::string(is_folder_link ? "Imported folder complete: " : "Import file complete: ") + shown);
}

void CloudService::share(const Arguments& words, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto arguments = parse_arguments(words);
    bool adding = arguments.has("a");
    bool deleting = arguments.has("d");
    auto path_text = arguments.operands.empty() ? m_state.session.folder : arguments.operands[0];
    auto location = resolve(path_text, reply);
    if (!location)
        return;
    if (!adding && !deleting) {
        for (auto& share : m_state.shares) {
            if (share.owner == account->email && (arguments.operands.empty() || share.path == location->owner_path()))
                reply.line("Shared " + share.path + " : " + share.with + " accessLevel=" + std::to_string(static_cast<int>(share.level)));
        }
        return;
    }
    auto with = lower_ascii(arguments.option("with").value_or(""));
    if (with.empty()) {
        reply.fail("Missing --with=email");
        return;
    }
    if (!location->prefix.empty() || location->is_root() || !is_folder(disk_path(*location))) {
        reply.fail("Only a folder of your own can be shared: " + location->display());
        return;
    }
    auto path = location->owner_path();
    auto existing = std::find_if(m_state.shares.begin(), m_state.shares.end(),
        [&](const Share& s) { return s.owner == account->email && s.path == path && s.with == with; });
    if (deleting) {
        if (existing == m_state.shares.end()) {
            reply.fail(path + " is not shared with " + with);
            return;
        }
        m_state.shares.erase(existing);
        reply.line("Stopped sharing " + path + " with " + with);
        return;
    }
    auto level_text = arguments.option("level").value_or("0");
    if (level_text.size() != 1 || level_text[0] < '0' || level_text[0] > '3') {
        reply.fail("Invalid access level: " + one_line(level_text));
        return;
    }
    if (!m_state.find_contact(account->email, with) || !m_state.find_account(with)) {
        reply.fail(with + " is not one of your contacts");
        return;
    }
    auto level = static_cast<Access>(level_text[0] - '0');
    if (existing != m_state.shares.end())
        existing->level = level;
    else
        m_state.shares.push_back({ account->email, path, with, level });
    reply.line("Shared " + path + " : " + with + " accessLevel=" + level_text);
}

void CloudService::export_link(const Arguments& words, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto arguments = parse_arguments(words);
    if (!arguments.has("a") && !arguments.has("d")) {
        for (auto& item : m_state.exports) {
            if (item.owner == account->email)
                reply.line(item.path + " " + std::string(link_site) + "link/" + item.token);
        }
        return;
    }
    if (arguments.operands.empty()) {
        reply.fail("Usage: export -a|-d path");
        return;
    }
    auto location = resolve(arguments.operands[0], reply);
    if (!location)
        return;
    if (location->access < Access::Full || location->is_root() || !exists_here(disk_path(*location))) {
        reply.fail("Unable to export " + one_line(arguments.operands[0]));
        return;
    }
    auto owner_path = location->owner_path();
    auto existing = std::find_if(m_state.exports.begin(), m_state.exports.end(),
        [&](const Export& e) { return e.owner == location->owner && e.path == owner_path; });
    if (arguments.has("d")) {
        if (existing == m_state.exports.end()) {
            reply.fail(location->display() + " is not exported");
            return;
        }
        m_state.exports.erase(existing);
        reply.line("Disabled export: " + location->display());
        return;
    }
    if (existing == m_state.exports.end()) {
        m_state.exports.push_back({ location->owner, owner_path, random_text(24) });
        existing = m_state.exports.end() - 1;
    }
    reply.line("Exported " + location->display() + ": " + std::string(link_site) + "link/" + existing->token);
}

void CloudService::disk_usage(Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto used = usage(*account);
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.2f%%", 100.0 * static_cast<double>(used) / static_cast<double>(m_options.quota));
    char line[160];
    std::snprintf(line, sizeof line, "Cloud drive:          %12s", readable_size(used).c_str());
    reply.line(line);
    reply.line("Inbox:                         0 B");
    reply.line("Rubbish bin:                   0 B");
    reply.line("---------------------------------------------------------------");
    std::snprintf(line, sizeof line, "USED STORAGE:         %12s %18s of %s", readable_size(used).c_str(), percent,
        readable_size(m_options.quota).c_str());
    reply.line(line);
}

void CloudService::master_key(Reply& reply)
{
    if (auto* account = logged_in(reply))
        reply.line(account->master_key);
}

void CloudService::users(const Arguments& words, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto arguments = parse_arguments(words);
    bool removing = arguments.has("d");
    bool verifying = arguments.has("verify");
    bool unverifying = arguments.has("unverify");
    if (removing || verifying || unverifying) {
        if (arguments.operands.size() != 1) {
            reply.fail("Usage: users -d|--verify|--unverify email");
            return;
        }
        auto email = lower_ascii(arguments.operands[0]);
        auto* contact = m_state.find_contact(account->email, email);
        if (!contact) {
            reply.fail(one_line(email) + " is not one of your contacts");
            return;
        }
        if (removing) {
            auto me = account->email;
            std::erase_if(m_state.contacts, [&](const Contact& c) {
                return (c.owner == me && c.email == email) || (c.owner == email && c.email == me);
            });
            std::erase_if(m_state.shares, [&](const Share& s) {
                return (s.owner == me && s.with == email) || (s.owner == email && s.with == me);
            });
            reply.line("Contact " + email + " removed.");
        } else {
            contact->verified = verifying;
            reply.line("Contact " + email + (verifying ? " verified." : " is no longer verified."));
        }
        return;
    }
    std::vector<const Contact*> mine;
    for (auto& contact : m_state.contacts) {
        if (contact.owner == account->email)
            mine.push_back(&contact);
    }
    std::sort(mine.begin(), mine.end(), [](const Contact* a, const Contact* b) { return a->email < b->email; });
    int number = 0;
    for (auto* contact : mine) {
        auto name = contact->email.substr(0, contact->email.find('@'));
        reply.line("[" + std::to_string(++number) + "] " + contact->email + ". Name: " + name
            + ". Verified: " + (contact->verified ? "yes" : "no"));
        for (auto& share : m_state.shares) {
            if (share.owner == account->email && share.with == contact->email)
                reply.line("    | shared with it: " + share.path + " (" + access_name(share.level) + ")");
            if (share.owner == contact->email && share.with == account->email)
                reply.line("    | shared by it: " + share.path + " (" + access_name(share.level) + ")");
        }
    }
}

void CloudService::invite(const Arguments& words, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto arguments = parse_arguments(words);
    if (arguments.operands.size() != 1) {
        reply.fail("Usage: invite email [--message=text] [-d]");
        return;
    }
    auto email = lower_ascii(arguments.operands[0]);
    auto pending = std::find_if(m_state.invitations.begin(), m_state.invitations.end(),
        [&](const Invitation& i) { return i.from == account->email && i.to == email; });
    if (arguments.has("d")) {
        if (pending == m_state.invitations.end()) {
            reply.fail("No invitation to " + one_line(email));
            return;
        }
        m_state.invitations.erase(pending);
        reply.line("Invitation to " + email + " deleted");
        return;
    }
    if (!is_valid_email(email)) {
        reply.fail("Invalid e-mail address: " + one_line(arguments.operands[0]));
        return;
    }
    if (email == account->email) {
        reply.fail("You cannot invite yourself");
        return;
    }
    if (m_state.find_contact(account->email, email)) {
        reply.fail(email + " is already one of your contacts");
        return;
    }
    if (pending != m_state.invitations.end()) {
        reply.fail("An invitation to " + email + " is already pending");
        return;
    }
    Invitation invitation { random_text(10), account->email, email, arguments.option("message").value_or(""),
        utc_time("%Y-%m-%d %H:%M") };
    m_state.invitations.push_back(invitation);
    deliver_mail(email, "invitation",
        account->email + " invites you to be a contact.\n\n" + invitation.message + "\n\n(ipc -a " + account->email + ")\n");
    reply.line("Invitation sent to " + email);
}

void CloudService::show_invitations(const Arguments& words, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto arguments = parse_arguments(words);
    bool incoming = arguments.has("in") || !arguments.has("out");
    bool outgoing = arguments.has("out") || !arguments.has("in");
    auto show = [&](bool to_me) {
        std::vector<std::string> lines;
        for (auto& invitation : m_state.invitations) {
            if ((to_me ? invitation.to : invitation.from) != account->email)
                continue;
            auto& other = to_me ? invitation.from : invitation.to;
            auto line = " " + other + "\t(id: " + invitation.id + ", sent: " + invitation.sent + ")";
            if (!invitation.message.empty())
                line += " message: " + one_line(invitation.message);
            lines.push_back(line);
        }
        if (lines.empty())
            return;
        reply.line(to_me ? "Incoming PCRs:" : "Outgoing PCRs:");
        for (auto& line : lines)
            reply.line(line);
    };
    if (incoming)
        show(true);
    if (outgoing)
        show(false);
}

void CloudService::answer_invitation(const Arguments& words, Reply& reply)
{
    auto* account = logged_in(reply);
    if (!account)
        return;
    auto arguments = parse_arguments(words);
    bool accepting = arguments.has("a");
    bool rejecting = arguments.has("d");
    bool ignoring = arguments.has("i");
    if (arguments.operands.size() != 1 || accepting + rejecting + ignoring != 1) {
        reply.fail("Usage: ipc email|id -a|-d|-i");
        return;
    }
    auto who = arguments.operands[0];
    auto found = std::find_if(m_state.invitations.begin(), m_state.invitations.end(), [&](const Invitation& i) {
        return i.to == account->email && (i.id == who || i.from == lower_ascii(who));
    });
    if (found == m_state.invitations.end()) {
        reply.fail("No invitation from " + one_line(who));
        return;
    }
    auto from = found->from;
    m_state.invitations.erase(found);
    if (accepting) {
        if (!m_state.find_account(from)) {
            reply.fail("The account " + from + " no longer exists");
            return;
        }
        if (!m_state.find_contact(account->email, from))
            m_state.contacts.push_back({ account->email, from, false });
        if (!m_state.find_contact(from, account->email))
            m_state.contacts.push_back({ from, account->email, false });
        reply.line("Accepted invitation by " + from);
    } else if (rejecting) {
        reply.line("Rejected invitation by " + from);
    } else {
        reply.line("Ignored invitation by " + from);
    }
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
