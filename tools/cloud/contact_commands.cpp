// SPDX-License-Identifier: GPL-3.0-or-later
// CloudService: the commands of contacts and invitations.
#include "cloud_service.h"

#include "command_arguments.h"
#include "service_helpers.h"

#include <algorithm>

namespace cloud {

namespace fs = std::filesystem;

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

}
