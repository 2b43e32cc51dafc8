// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of opening programs, documents and links the way the shell's "open" does.
#include "app/document_opener.h"
#include "tests/support/fake_process_launcher.h"
#include "platform/path_map.h"

#include <gtest/gtest.h>

namespace {

using platform::FakeProcessLauncher;

class DocumentOpener : public ::testing::Test {
protected:
    DocumentOpener()
        : paths("/srv/lumera-c")
    {
        launcher.add_to_path("xdg-open", "/usr/bin/xdg-open");
    }

    std::vector<std::string> started_arguments(size_t index = 0)
    {
        if (launcher.starts().size() <= index)
            return {};
        return launcher.starts()[index].request.arguments;
    }

    FakeProcessLauncher launcher;
    platform::PathMap paths;
};

TEST_F(DocumentOpener, AProgramStartsWithItsParameterAsOneArgument)
{
    launcher.add_executable("/srv/lumera-c/web/navegador");
    EXPECT_TRUE(app::open_with_desktop(launcher, paths, "c:\\web\\navegador.exe", "http://x.org/a b"));
    ASSERT_EQ(launcher.starts().size(), 1u);
    EXPECT_EQ(launcher.starts()[0].way, FakeProcessLauncher::Way::detached);
    EXPECT_EQ(launcher.starts()[0].request.executable, "/srv/lumera-c/web/navegador");
    EXPECT_EQ(started_arguments(), (std::vector<std::string> { "navegador", "http://x.org/a b" }));
}

TEST_F(DocumentOpener, AProgramGetsADocumentParameterAsAPathOfThisSystem)
{
    launcher.add_to_path("editor", "/usr/bin/editor");
    EXPECT_TRUE(app::open_with_desktop(launcher, paths, "editor.exe", "c:\\dados\\carta.txt"));
    EXPECT_EQ(started_arguments(), (std::vector<std::string> { "editor", "/srv/lumera-c/dados/carta.txt" }));
}

TEST_F(DocumentOpener, ADocumentGoesToTheDesktopsOpener)
{
    launcher.add_file("/srv/lumera-c/dados/foto.jpg");
    EXPECT_TRUE(app::open_with_desktop(launcher, paths, "c:\\dados\\foto.jpg", ""));
    EXPECT_EQ(launcher.starts()[0].request.executable, "/usr/bin/xdg-open");
    EXPECT_EQ(started_arguments(), (std::vector<std::string> { "xdg-open", "/srv/lumera-c/dados/foto.jpg" }));
}

TEST_F(DocumentOpener, LinksGoToTheOpenerWithAScheme)
{
    EXPECT_TRUE(app::open_with_desktop(launcher, paths, "www.x.org", ""));
    EXPECT_TRUE(app::open_with_desktop(launcher, paths, "https://x.org/\xE7", ""));
    EXPECT_EQ(started_arguments(0), (std::vector<std::string> { "xdg-open", "http://www.x.org" }));
    EXPECT_EQ(started_arguments(1), (std::vector<std::string> { "xdg-open", "https://x.org/\xC3\xA7" }));
}

TEST_F(DocumentOpener, NothingStartsForAMissingDocumentOrWithoutAnOpener)
{
    EXPECT_FALSE(app::open_with_desktop(launcher, paths, "c:\\dados\\sumiu.txt", ""));
    EXPECT_FALSE(app::open_with_desktop(launcher, paths, "", "x"));
    FakeProcessLauncher bare;
    bare.add_file("/srv/lumera-c/a.txt");
    EXPECT_FALSE(app::open_with_desktop(bare, paths, "c:\\a.txt", ""));
    EXPECT_FALSE(app::open_with_desktop(bare, paths, "www.x.org", ""));
    EXPECT_TRUE(launcher.starts().empty());
    EXPECT_TRUE(bare.starts().empty());
}

TEST_F(DocumentOpener, ShellCharactersStayInsideTheirArgument)
{
    launcher.add_file("/srv/lumera-c/a;rm -rf ~.txt");
    EXPECT_TRUE(app::open_with_desktop(launcher, paths, "c:\\a;rm -rf ~.txt", ""));
    EXPECT_EQ(launcher.starts()[0].request.executable, "/usr/bin/xdg-open");
    EXPECT_EQ(started_arguments(), (std::vector<std::string> { "xdg-open", "/srv/lumera-c/a;rm -rf ~.txt" }));
}

}
