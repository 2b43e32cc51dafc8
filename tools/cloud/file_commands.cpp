// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: the commands on files and folders: browsing, transfers, deletion, links and shares.
#include "cloud_service.h"

#include "command_arguments.h"
#include "partial_download.h"
#include "service_helpers.h"
#include "transfer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace cloud {

namespace fs = std::filesystem;

namespace {

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
    // An exported link (as "export -a" shows it) downloads what it names,
    // like a path of the account would.
    fs::path source;
    std::string name;
    if (lower_ascii(arguments.operands[0]).starts_with(link_site)) {
        auto item = linked_item(arguments.operands[0]);
        if (!item) {
            reply.fail("Invalid link: " + one_line(arguments.operands[0]));
            return;
        }
        source = item->source;
        name = item->name;
    } else {
        auto location = resolve(arguments.operands[0], reply);
        if (!location)
            return;
        source = disk_path(*location);
        name = location->name().empty() ? std::string("cloud") : location->name();
    }
    if (!exists_here(source)) {
        reply.fail("Couldn't find " + one_line(arguments.operands[0]));
        return;
    }
    auto target = local_path(request, arguments.operands.size() == 2 ? arguments.operands[1] : std::string("."));
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
    std::error_code error;
    PartialDownload noted(m_options.data_folder / "downloads", fs::absolute(temporary, error));
    TransferMeter meter(tree_size(source), m_options.rate, [&](std::string_view line) { return reply.progress(line); });
    auto failed = copy_tree(source, temporary, meter);
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
    auto item = linked_item(arguments.operands[0]);
    if (!item) {
        reply.fail("Invalid link: " + one_line(arguments.operands[0]));
        return;
    }
    auto& source = item->source;
    auto location = resolve(arguments.operands.size() > 1 ? arguments.operands[1] : m_state.session.folder, reply);
    if (!location)
        return;
    auto folder = disk_path(*location);
    if (location->access < Access::ReadWrite || !is_folder(folder)) {
        reply.fail("Unable to import into " + location->display());
        return;
    }
    auto& name = item->name;
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

}
