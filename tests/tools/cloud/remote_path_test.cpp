// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote_path.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace cloud;

namespace {

CloudState two_users()
{
    CloudState state;
    state.accounts.push_back({ 1, "ana@x.com", "a", true, "", "", "k" });
    state.accounts.push_back({ 2, "bob@x.com", "b", true, "", "", "k" });
    state.shares.push_back({ "bob@x.com", "/Trabalho/Fotos de 2024", "ana@x.com", Access::ReadWrite });
    state.shares.push_back({ "bob@x.com", "/Privado", "carla@x.com", Access::Full });
    return state;
}

struct Case {
    const char* folder;
    const char* text;
    const char* display; // empty: an error is expected
    const char* owner_path;
};

}

TEST(RemotePath, ResolvesAgainstTheFolderAndTheReceivedShares)
{
    const std::string long_name(300, 'n');
    const Case cases[] = {
        { "/", "Docs", "/Docs", "/Docs" },
        { "/Docs", "a b/c", "/Docs/a b/c", "/Docs/a b/c" },
        { "/Docs", "..", "/", "/" },
        { "/Docs", "../../../..", "/", "/" },
        { "/", "/../etc/passwd", "/etc/passwd", "/etc/passwd" },
        { "/", "./x/./y/../z", "/x/z", "/x/z" },
        { "/", "$(rm -rf ~); echo &", "/$(rm -rf ~); echo &", "/$(rm -rf ~); echo &" },
        { "/", "\"aspas\" e 'apóstrofos'", "/\"aspas\" e 'apóstrofos'", "/\"aspas\" e 'apóstrofos'" },
        { "/", "//from/bob@x.com:Fotos de 2024", "//from/bob@x.com:Fotos de 2024", "/Trabalho/Fotos de 2024" },
        { "/", "//from/bob@x.com:Fotos de 2024/sub", "//from/bob@x.com:Fotos de 2024/sub", "/Trabalho/Fotos de 2024/sub" },
        { "//from/bob@x.com:Fotos de 2024", "a", "//from/bob@x.com:Fotos de 2024/a", "/Trabalho/Fotos de 2024/a" },
        // Above a received share is one's own root, never the owner's tree.
        { "//from/bob@x.com:Fotos de 2024", "..", "/", "/" },
        { "//from/bob@x.com:Fotos de 2024/a", "../../Trabalho", "/Trabalho", "/Trabalho" },
        // Shares for somebody else, unknown owners and other roots are not found.
        { "/", "//from/bob@x.com:Privado", "", "" },
        { "/", "//from/eve@x.com:Fotos de 2024", "", "" },
        { "/", "//from/bob@x.com", "", "" },
        { "/", "//bin", "", "" },
        { "/", long_name.c_str(), "", "" },
    };
    auto state = two_users();
    for (auto& c : cases) {
        auto resolved = resolve_remote(state, "ana@x.com", c.folder, c.text);
        SCOPED_TRACE(std::string(c.folder) + " + " + c.text);
        if (std::string(c.display).empty()) {
            EXPECT_TRUE(std::holds_alternative<PathError>(resolved));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<RemoteLocation>(resolved)) << std::get<PathError>(resolved).message;
        auto& location = std::get<RemoteLocation>(resolved);
        EXPECT_EQ(location.display(), c.display);
        EXPECT_EQ(location.owner_path(), c.owner_path);
    }
}

TEST(RemotePath, ReceivedShareCarriesItsOwnerAndLevel)
{
    auto state = two_users();
    auto resolved = resolve_remote(state, "ana@x.com", "/", "//from/bob@x.com:Fotos de 2024/x");
    auto& location = std::get<RemoteLocation>(resolved);
    EXPECT_EQ(location.owner, "bob@x.com");
    EXPECT_EQ(location.access, Access::ReadWrite);
    EXPECT_FALSE(location.is_root());
    EXPECT_EQ(location.name(), "x");
    auto root = std::get<RemoteLocation>(resolve_remote(state, "ana@x.com", "/", "//from/bob@x.com:Fotos de 2024"));
    EXPECT_TRUE(root.is_root());
    EXPECT_EQ(root.name(), "Fotos de 2024");
    auto own = std::get<RemoteLocation>(resolve_remote(state, "ana@x.com", "/", "/a"));
    EXPECT_EQ(own.owner, "ana@x.com");
    EXPECT_EQ(own.access, Access::Owner);
}

TEST(RemotePath, NamesThatCouldLeaveAFolderAreRefused)
{
    for (const char* name : { "", ".", "..", "a/b", "x\0y" })
        EXPECT_FALSE(is_valid_name(std::string_view(name, name[0] == 'x' ? 3 : std::strlen(name)))) << name;
    for (const char* name : { "...", "a b", "ação", "$(x)", "a;b&c", "-r" })
        EXPECT_TRUE(is_valid_name(name)) << name;
}
