// SPDX-License-Identifier: GPL-3.0-or-later
#include "cloud_state.h"

#include <gtest/gtest.h>

using namespace cloud;

namespace {

CloudState sample_state()
{
    CloudState state;
    state.accounts.push_back({ 3, "ana@x.com", "p\ta\\ss\nword", true, "", "tok", "KEY" });
    state.accounts.push_back({ 7, "bob@x.com", "b", false, "confirm-me", "", "KEY2" });
    state.contacts.push_back({ "ana@x.com", "bob@x.com", true });
    state.shares.push_back({ "ana@x.com", "/Fotos; $(rm -rf ~)", "bob@x.com", Access::Full });
    state.exports.push_back({ "bob@x.com", "/a\\b", "T0K" });
    state.invitations.push_back({ "id1", "bob@x.com", "ana@x.com", "olá\tmundo\r\n", "2026-12-08 10:00" });
    state.syncs.push_back({ 4, "ana@x.com", "/home/u/sync dir", "//from/bob@x.com:F", true });
    state.session = { "ana@x.com", "/Fotos" };
    state.next_account_id = 8;
    state.next_sync_id = 5;
    return state;
}

}

TEST(CloudState, TextRoundTripKeepsEveryField)
{
    auto state = read_state(write_state(sample_state()));
    ASSERT_EQ(state.accounts.size(), 2u);
    EXPECT_EQ(state.accounts[0].password, "p\ta\\ss\nword");
    EXPECT_EQ(state.accounts[0].cancel_token, "tok");
    EXPECT_TRUE(state.accounts[0].confirmed);
    EXPECT_FALSE(state.accounts[1].confirmed);
    EXPECT_EQ(state.accounts[1].confirm_token, "confirm-me");
    EXPECT_EQ(state.accounts[1].id, 7);
    ASSERT_EQ(state.contacts.size(), 1u);
    EXPECT_TRUE(state.contacts[0].verified);
    ASSERT_EQ(state.shares.size(), 1u);
    EXPECT_EQ(state.shares[0].path, "/Fotos; $(rm -rf ~)");
    EXPECT_EQ(state.shares[0].level, Access::Full);
    EXPECT_EQ(state.exports.at(0).path, "/a\\b");
    EXPECT_EQ(state.invitations.at(0).message, "olá\tmundo\r\n");
    ASSERT_EQ(state.syncs.size(), 1u);
    EXPECT_EQ(state.syncs[0].local, "/home/u/sync dir");
    EXPECT_TRUE(state.syncs[0].paused);
    EXPECT_EQ(state.session.email, "ana@x.com");
    EXPECT_EQ(state.session.folder, "/Fotos");
    EXPECT_EQ(state.next_account_id, 8);
    EXPECT_EQ(state.next_sync_id, 5);
}

TEST(CloudState, DamagedLinesAreSkippedAndTheRestKept)
{
    auto text = write_state(sample_state());
    text = "account\tnot-a-number\tx@y.com\tp\t1\t\t\t\n"
           "share\tana@x.com\t/x\tbob@x.com\t9\n"
           "sync\t1\tana@x.com\trelative/path\t/r\t0\n"
           "garbage without tabs\n"
        + text + "account\t3\tana@x.com\tother\t1\t\t\t\n"; // a second record for the same e-mail
    auto state = read_state(text);
    EXPECT_EQ(state.accounts.size(), 2u);
    EXPECT_EQ(state.find_account("ana@x.com")->password, "p\ta\\ss\nword");
    EXPECT_EQ(state.shares.size(), 1u);
    EXPECT_EQ(state.syncs.size(), 1u);
}

TEST(CloudState, IdsNeverRepeatOnesAlreadyGiven)
{
    // A file whose counter lags behind its records must not hand out an id
    // that names an existing account's folder.
    auto state = read_state("next\t1\t1\naccount\t5\ta@b.com\tp\t1\t\t\tk\nsync\t9\ta@b.com\t/l\t/r\t0\n");
    EXPECT_EQ(state.next_account_id, 6);
    EXPECT_EQ(state.next_sync_id, 10);
}

TEST(CloudState, SessionOfAMissingAccountIsDropped)
{
    auto state = read_state("session\tghost@x.com\t/a\n");
    EXPECT_TRUE(state.session.email.empty());
    EXPECT_EQ(state.session.folder, "/");
}

TEST(CloudState, ForgettingAnAccountDropsWhatNamesIt)
{
    auto state = sample_state();
    state.syncs.push_back({ 9, "ana@x.com", "/l", "/mine", false });
    state.forget_account("bob@x.com");
    EXPECT_EQ(state.accounts.size(), 1u);
    EXPECT_TRUE(state.contacts.empty());
    EXPECT_TRUE(state.shares.empty());
    EXPECT_TRUE(state.exports.empty());
    EXPECT_TRUE(state.invitations.empty());
    // ana's sync of bob's folder ends; her sync of her own folder stays.
    ASSERT_EQ(state.syncs.size(), 1u);
    EXPECT_EQ(state.syncs[0].remote, "/mine");
    EXPECT_EQ(state.session.email, "ana@x.com");
    state.forget_account("ana@x.com");
    EXPECT_TRUE(state.session.email.empty());
}
