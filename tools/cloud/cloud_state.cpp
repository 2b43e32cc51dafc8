// SPDX-License-Identifier: GPL-3.0-or-later
// CloudState: the service's records and their text form.
#include "cloud_state.h"

#include <algorithm>
#include <charconv>

namespace cloud {

namespace {

std::optional<int> parse_int(std::string_view text)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

template<typename T, typename Predicate>
void erase_where(std::vector<T>& items, Predicate predicate)
{
    items.erase(std::remove_if(items.begin(), items.end(), predicate), items.end());
}

}

Account* CloudState::find_account(std::string_view email)
{
    for (auto& account : accounts) {
        if (account.email == email)
            return &account;
    }
    return nullptr;
}

const Account* CloudState::find_account(std::string_view email) const
{
    return const_cast<CloudState*>(this)->find_account(email);
}

Contact* CloudState::find_contact(std::string_view owner, std::string_view email)
{
    for (auto& contact : contacts) {
        if (contact.owner == owner && contact.email == email)
            return &contact;
    }
    return nullptr;
}

void CloudState::forget_account(std::string_view email)
{
    erase_where(contacts, [&](const Contact& c) { return c.owner == email || c.email == email; });
    erase_where(shares, [&](const Share& s) { return s.owner == email || s.with == email; });
    erase_where(exports, [&](const Export& e) { return e.owner == email; });
    erase_where(invitations, [&](const Invitation& i) { return i.from == email || i.to == email; });
    // A sync of someone else's folder shared by this account ends with it.
    std::string shared_prefix = "//from/" + std::string(email) + ":";
    erase_where(syncs, [&](const SyncPair& s) { return s.owner == email || s.remote.starts_with(shared_prefix); });
    erase_where(accounts, [&](const Account& a) { return a.email == email; });
    if (session.email == email)
        session = Session {};
}

std::string join_fields(const std::vector<std::string>& fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        for (char c : fields[i]) {
            switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
            }
        }
    }
    return line;
}

std::vector<std::string> split_fields(std::string_view line)
{
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string write_state(const CloudState& state)
{
    std::string text;
    auto add = [&](const std::vector<std::string>& fields) {
        text += join_fields(fields);
        text += '\n';
    };
    add({ "next", std::to_string(state.next_account_id), std::to_string(state.next_sync_id) });
    for (auto& a : state.accounts) {
        add({ "account", std::to_string(a.id), a.email, a.password, a.confirmed ? "1" : "0", a.confirm_token,
            a.cancel_token, a.master_key });
    }
    for (auto& c : state.contacts)
        add({ "contact", c.owner, c.email, c.verified ? "1" : "0" });
    for (auto& s : state.shares)
        add({ "share", s.owner, s.path, s.with, std::to_string(static_cast<int>(s.level)) });
    for (auto& e : state.exports)
        add({ "export", e.owner, e.path, e.token });
    for (auto& i : state.invitations)
        add({ "invite", i.id, i.from, i.to, i.message, i.sent });
    for (auto& s : state.syncs)
        add({ "sync", std::to_string(s.id), s.owner, s.local, s.remote, s.paused ? "1" : "0" });
    add({ "session", state.session.email, state.session.folder });
    return text;
}

CloudState read_state(std::string_view text)
{
    CloudState state;
    while (!text.empty()) {
        auto end = text.find('\n');
        auto line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        auto f = split_fields(line);
        const auto& kind = f[0];
        if (kind == "next" && f.size() == 3) {
            auto accounts = parse_int(f[1]);
            auto syncs = parse_int(f[2]);
            if (accounts && syncs && *accounts > 0 && *syncs > 0) {
                state.next_account_id = std::max(state.next_account_id, *accounts);
                state.next_sync_id = std::max(state.next_sync_id, *syncs);
            }
        } else if (kind == "account" && f.size() == 8) {
            auto id = parse_int(f[1]);
            if (!id || *id <= 0 || f[2].empty() || state.find_account(f[2]))
                continue;
            state.accounts.push_back({ *id, f[2], f[3], f[4] == "1", f[5], f[6], f[7] });
            state.next_account_id = std::max(state.next_account_id, *id + 1);
        } else if (kind == "contact" && f.size() == 4) {
            state.contacts.push_back({ f[1], f[2], f[3] == "1" });
        } else if (kind == "share" && f.size() == 5) {
            auto level = parse_int(f[4]);
            if (!level || *level < 0 || *level > 3)
                continue;
            state.shares.push_back({ f[1], f[2], f[3], static_cast<Access>(*level) });
        } else if (kind == "export" && f.size() == 4) {
            state.exports.push_back({ f[1], f[2], f[3] });
        } else if (kind == "invite" && f.size() == 6) {
            state.invitations.push_back({ f[1], f[2], f[3], f[4], f[5] });
        } else if (kind == "sync" && f.size() == 6) {
            auto id = parse_int(f[1]);
            if (!id || *id <= 0 || !f[3].starts_with('/'))
                continue;
            state.syncs.push_back({ *id, f[2], f[3], f[4], f[5] == "1" });
            state.next_sync_id = std::max(state.next_sync_id, *id + 1);
        } else if (kind == "session" && f.size() == 3) {
            state.session = { f[1], f[2].starts_with('/') ? f[2] : "/" };
        }
    }
    // A session of an account that is gone is no session.
    if (!state.session.email.empty() && !state.find_account(state.session.email))
        state.session = Session {};
    return state;
}

}
