// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: the commands of accounts: signup, confirmation, log-in and -out, cancellation, quota, master key.
#include "cloud_service.h"

#include "command_arguments.h"
#include "service_helpers.h"
#include "transfer.h"

#include <cstdio>

namespace cloud {

namespace fs = std::filesystem;

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

}
