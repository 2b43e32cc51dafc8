// SPDX-License-Identifier: GPL-3.0-or-later
// CloudState: the accounts, contacts, shares, links, invitations, syncs and
// the session of the local cloud service, and the text file that keeps them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cloud {

// What a contact may do in a shared folder; the numbers are the ones
// "share --level=" takes.
enum class Access {
    Read = 0,
    ReadWrite = 1,
    Full = 2,
    Owner = 3,
};

struct Account {
    int id = 0; // names the folder of its files, so no e-mail text reaches a path
    std::string email;
    std::string password;
    bool confirmed = false;
    std::string confirm_token; // the signup link's token, until confirmed
    std::string cancel_token;  // the cancellation link's token, while one is pending
    std::string master_key;
};

struct Contact {
    std::string owner; // whose contact list holds it
    std::string email;
    bool verified = false;
};

// A folder of `owner` shared with `with`; `path` is the owner's own path
// ("/Fotos").
struct Share {
    std::string owner;
    std::string path;
    std::string with;
    Access level = Access::Read;
};

struct Export {
    std::string owner;
    std::string path;
    std::string token;
};

struct Invitation {
    std::string id;
    std::string from;
    std::string to;
    std::string message;
    std::string sent; // "YYYY-MM-DD hh:mm", UTC
};

struct SyncPair {
    int id = 0;
    std::string owner;  // the account that made it
    std::string local;  // an absolute folder of this system
    std::string remote; // as shown to its owner: "/x" or "//from/o@x:F/y"
    bool paused = false;
};

struct Session {
    std::string email; // empty: nobody is logged in
    std::string folder = "/";
};

struct CloudState {
    int next_account_id = 1;
    int next_sync_id = 1;
    std::vector<Account> accounts;
    std::vector<Contact> contacts;
    std::vector<Share> shares;
    std::vector<Export> exports;
    std::vector<Invitation> invitations;
    std::vector<SyncPair> syncs;
    Session session;

    Account* find_account(std::string_view email);
    const Account* find_account(std::string_view email) const;
    Contact* find_contact(std::string_view owner, std::string_view email);
    // Drops everything that names the account: its contacts both ways,
    // shares, links, invitations and syncs, then the account itself.
    void forget_account(std::string_view email);
};

// The state as text: one record a line, fields separated by tabs, with
// tab, newline and backslash escaped inside fields.
std::string write_state(const CloudState& state);
// Reads what write_state wrote. Lines it does not understand are skipped,
// so a damaged file loses those records, never the rest.
CloudState read_state(std::string_view text);

// Field escaping, shared with the tests.
std::string join_fields(const std::vector<std::string>& fields);
std::vector<std::string> split_fields(std::string_view line);

}
