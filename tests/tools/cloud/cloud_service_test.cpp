// SPDX-License-Identifier: GPL-3.0-or-later
#include "cloud_service.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

using namespace cloud;
using cloud::testing::read_file;
using cloud::testing::TemporaryFolder;
using cloud::testing::write_file;
namespace fs = std::filesystem;

namespace {

class RecordingReply final : public Reply {
public:
    bool progress(std::string_view line) override
    {
        progress_lines.emplace_back(line);
        return true;
    }
    std::vector<std::string> progress_lines;
};

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::string trim(std::string text)
{
    auto first = text.find_first_not_of(" \t");
    auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

class CloudServiceTest : public ::testing::Test {
protected:
    CloudServiceTest()
        : service({ scratch.path() / "c" / "nubrado" / "cloud-data", 0, 1024 * 1024, scratch.path() / "c" })
    {
        fs::create_directories(client_folder());
    }

    fs::path client_folder() const { return scratch.path() / "client"; }
    fs::path data() const { return scratch.path() / "c" / "nubrado" / "cloud-data"; }

    RecordingReply run(std::vector<std::string> words)
    {
        RecordingReply reply;
        service.run({ std::move(words), client_folder().string() }, reply);
        return reply;
    }

    // The link of the latest mail of a kind in someone's mailbox.
    std::string mailed_link(const std::string& email, const std::string& kind)
    {
        std::string newest;
        for (auto& entry : fs::directory_iterator(service.mailbox_folder(email))) {
            auto name = entry.path().filename().string();
            if (name.find(kind) != std::string::npos && name > newest)
                newest = name;
        }
        auto text = read_file(service.mailbox_folder(email) / newest);
        auto start = text.find("https://");
        return text.substr(start, text.find('\n', start) - start);
    }

    void make_account(const std::string& email, const std::string& password)
    {
        run({ "logout" });
        ASSERT_EQ(run({ "signup", email, password }).status, 0);
        ASSERT_EQ(run({ "confirm", mailed_link(email, "confirm"), email, password }).status, 0);
    }

    void login(const std::string& email, const std::string& password)
    {
        run({ "logout" });
        auto reply = run({ "login", email, password });
        ASSERT_EQ(reply.answer, "") << reply.answer;
    }

    void make_contacts(const std::string& a, const std::string& b)
    {
        login(a, "pa");
        ASSERT_EQ(run({ "invite", b, "--message=oi" }).status, 0);
        login(b, "pb");
        ASSERT_EQ(run({ "ipc", "-a", a }).answer, "Accepted invitation by " + a + "\n");
    }

    TemporaryFolder scratch;
    CloudService service;
};

}

TEST_F(CloudServiceTest, AccountLivesFromSignupToCancellation)
{
    auto signup = run({ "signup", "Ana@Exemplo.com", "s3nha" });
    auto lines = lines_of(signup.answer);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[1].find("> created succesfully."), std::string::npos);
    EXPECT_NE(run({ "signup", "ana@exemplo.com", "x" }).answer.find("[API:err"), std::string::npos);

    EXPECT_NE(run({ "login", "ana@exemplo.com", "s3nha" }).answer, ""); // not confirmed yet
    auto link = mailed_link("ana@exemplo.com", "confirm");
    EXPECT_TRUE(run({ "confirm", link, "ana@exemplo.com", "wrong" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "confirm", link + "x", "ana@exemplo.com", "s3nha" }).answer.starts_with("[API:err"));
    EXPECT_NE(run({ "confirm", link, "ana@exemplo.com", "s3nha" }).answer.find("confirmed succesfully."), std::string::npos);

    EXPECT_NE(run({ "login", "ana@exemplo.com", "S3NHA" }).answer, "");
    EXPECT_NE(run({ "whoami" }).answer.find("Not logged in."), std::string::npos);
    EXPECT_EQ(run({ "login", "ANA@exemplo.com", "s3nha" }).answer, "");
    auto whoami = run({ "whoami" }).answer;
    EXPECT_EQ(whoami.substr(whoami.find(": ") + 2), "ana@exemplo.com\n");

    EXPECT_NE(run({ "cancel" }).answer.find("Account pendind cancel confirmation"), std::string::npos);
    auto cancel_link = mailed_link("ana@exemplo.com", "cancel");
    EXPECT_EQ(run({ "confirmcancel", cancel_link, "nope" }).answer.find(": Bad session ID"), std::string::npos);
    EXPECT_NE(run({ "confirmcancel", cancel_link, "s3nha" }).answer.find(": Bad session ID"), std::string::npos);
    EXPECT_NE(run({ "whoami" }).answer.find("Not logged in."), std::string::npos);
    EXPECT_NE(run({ "login", "ana@exemplo.com", "s3nha" }).answer, "");
    EXPECT_FALSE(fs::exists(data() / "accounts" / "1"));
}

TEST_F(CloudServiceTest, RefusesAddressesThatCouldNameOtherFiles)
{
    for (const char* email : { "../x@y.com", "a/b@c.com", "a@b", "a b@c.com", "a@b..com", "@b.com", "a@.b.com", "a@@b.com" })
        EXPECT_TRUE(run({ "signup", email, "p" }).answer.starts_with("[API:err")) << email;
    EXPECT_TRUE(fs::is_empty(data() / "mailbox"));
}

TEST_F(CloudServiceTest, NamesNeverRunAnythingNorLeaveTheAccount)
{
    make_account("ana@x.com", "pa");
    login("ana@x.com", "pa");
    auto root = data() / "accounts" / "1" / "files";
    const std::vector<std::string> names = { "$(touch pwned)", "a;b&c", "\"aspas\"", "ação é", "`id`", "-r" };
    for (auto& name : names)
        EXPECT_EQ(run({ "mkdir", "--", name }).answer, "") << name;
    for (auto& name : names)
        EXPECT_TRUE(fs::is_directory(root / name)) << name;
    EXPECT_FALSE(fs::exists(client_folder() / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));

    EXPECT_EQ(run({ "mkdir", "-p", "../../../../escape/x" }).answer, "");
    EXPECT_TRUE(fs::is_directory(root / "escape" / "x"));
    EXPECT_FALSE(fs::exists(scratch.path() / "escape"));
    EXPECT_FALSE(fs::exists(data() / "escape"));

    EXPECT_TRUE(run({ "rm", "-r", "-f", "/" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "rm", "-r", "../../.." }).answer.starts_with("[API:err"));
    EXPECT_TRUE(fs::exists(data() / "state.txt"));
    EXPECT_TRUE(run({ "get", "../state.txt" }).answer.starts_with("[API:err"));

    // A link placed in the account's folder is never followed.
    fs::create_directory_symlink(data(), root / "link");
    EXPECT_TRUE(run({ "ls", "link" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "get", "link/state.txt" }).answer.starts_with("[API:err"));
    EXPECT_FALSE(fs::exists(client_folder() / "state.txt"));
}

TEST_F(CloudServiceTest, FilesGoUpAndComeBackUnchanged)
{
    make_account("ana@x.com", "pa");
    login("ana@x.com", "pa");
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    write_file(client_folder() / "música boa.mp3", bytes);
    write_file(client_folder() / "pasta" / "a;b.txt", "a");
    auto put = run({ "put", "música boa.mp3" });
    EXPECT_EQ(put.answer, "");
    ASSERT_FALSE(put.progress_lines.empty());
    EXPECT_NE(put.progress_lines.back().find("100.00 %"), std::string::npos);
    EXPECT_EQ(run({ "put", (client_folder() / "pasta").string() }).answer, "");
    EXPECT_EQ(run({ "ls" }).answer, "música boa.mp3\npasta\n");
    EXPECT_EQ(run({ "ls", "-R", "/" }).answer, "música boa.mp3\npasta\npasta/a;b.txt\n");

    fs::create_directories(client_folder() / "down");
    EXPECT_EQ(run({ "get", "música boa.mp3", (client_folder() / "down").string() }).answer, "");
    EXPECT_EQ(read_file(client_folder() / "down" / "música boa.mp3"), bytes);
    // A second download never overwrites the first.
    EXPECT_EQ(run({ "get", "/música boa.mp3", (client_folder() / "down").string() }).answer, "");
    EXPECT_EQ(read_file(client_folder() / "down" / "música boa (1).mp3"), bytes);
    EXPECT_TRUE(run({ "get", "missing" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "put", "missing" }).answer.starts_with("[API:err"));

    // The quota of this service is 1 MB: a third more copy does not fit.
    run({ "mkdir", "q1", "q2", "q3" });
    EXPECT_EQ(run({ "put", "música boa.mp3", "/q1" }).answer, "");
    EXPECT_EQ(run({ "put", "música boa.mp3", "/q2" }).answer, "");
    EXPECT_NE(run({ "put", "música boa.mp3", "/q3" }).answer.find("Over quota"), std::string::npos);
    EXPECT_EQ(run({ "ls", "/q3" }).answer, "");

    auto df = lines_of(run({ "df", "-h" }).answer);
    auto used_line = std::find_if(df.begin(), df.end(), [](auto& l) { return l.find("USED STORAGE:") != std::string::npos; });
    ASSERT_NE(used_line, df.end());
    auto used = trim(used_line->substr(used_line->find("USED STORAGE:") + 13));
    auto mark = used.find("% of");
    auto word_start = used.rfind(' ', mark) + 1;
    EXPECT_EQ(used.substr(word_start, mark - word_start + 1), "85.83%");
    EXPECT_EQ(used.substr(mark + 5), "1.00 MB");
    EXPECT_EQ(trim(used.substr(0, word_start)), "878.91 KB");
}

TEST_F(CloudServiceTest, FoldersAreDeletedOnlyWhenAskedTo)
{
    make_account("ana@x.com", "pa");
    login("ana@x.com", "pa");
    run({ "mkdir", "-p", "cheia/sub" });
    run({ "export", "-a", "cheia/sub" });
    EXPECT_EQ(run({ "sync", client_folder().string(), "cheia/sub" }).status, 0);
    EXPECT_NE(run({ "rm", "cheia" }).answer.find("Unable to delete folder:"), std::string::npos);
    EXPECT_EQ(run({ "rm", "-r", "-f", "cheia" }).answer, "");
    EXPECT_EQ(run({ "ls" }).answer, "");
    // Links and syncs of what was deleted go with it.
    EXPECT_EQ(run({ "export" }).answer, "");
    EXPECT_EQ(run({ "sync" }).answer, "");
    EXPECT_TRUE(run({ "mkdir", "a/b" }).answer.starts_with("[API:err")); // no parent without -p
    EXPECT_EQ(run({ "mkdir", "-p", "a/b" }).answer, "");
    EXPECT_EQ(run({ "cd", "a/b" }).answer, "");
    EXPECT_EQ(run({ "pwd" }).answer, "/a/b\n");
    EXPECT_TRUE(run({ "cd", "nada" }).answer.starts_with("[API:err"));
    EXPECT_EQ(run({ "cd", ".." }).answer, "");
    EXPECT_EQ(run({ "pwd" }).answer, "/a\n");
}

TEST_F(CloudServiceTest, ContactsComeFromAcceptedInvitations)
{
    make_account("ana@x.com", "pa");
    make_account("bob@x.com", "pb");
    make_account("eva@x.com", "pe");
    login("ana@x.com", "pa");
    EXPECT_EQ(run({ "invite", "bob@x.com", "--message=olá\tamigo" }).answer, "Invitation sent to bob@x.com\n");
    EXPECT_TRUE(run({ "invite", "bob@x.com" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "invite", "ana@x.com" }).answer.starts_with("[API:err"));
    login("eva@x.com", "pe");
    run({ "invite", "bob@x.com", "--message=" });
    login("bob@x.com", "pb");

    // The pending list as the application reads it: after "Incoming PCRs:",
    // the lines with "(id:", trimmed and cut before their first tab.
    auto pending = lines_of(run({ "showpcr", "--in" }).answer);
    ASSERT_FALSE(pending.empty());
    EXPECT_EQ(pending[0], "Incoming PCRs:");
    std::vector<std::string> entries;
    for (size_t i = 1; i < pending.size(); ++i) {
        if (pending[i].find("(id:") != std::string::npos)
            entries.push_back(trim(pending[i]).substr(0, trim(pending[i]).find('\t')));
    }
    EXPECT_EQ(entries, (std::vector<std::string> { "ana@x.com", "eva@x.com" }));

    EXPECT_EQ(run({ "ipc", "-a", "ana@x.com" }).answer, "Accepted invitation by ana@x.com\n");
    EXPECT_EQ(run({ "ipc", "-d", "eva@x.com" }).answer, "Rejected invitation by eva@x.com\n");
    EXPECT_TRUE(run({ "ipc", "-a", "eva@x.com" }).answer.starts_with("[API:err"));
    EXPECT_EQ(run({ "showpcr", "--in" }).answer, "");
    EXPECT_EQ(run({ "users", "--verify", "ana@x.com" }).status, 0);

    // The contact list as the application reads it: lines with "]" and no
    // "| ", from the second character after "]", cut before ". ".
    login("ana@x.com", "pa");
    run({ "mkdir", "Fotos" });
    run({ "share", "-a", "--with=bob@x.com", "--level=0", "Fotos" });
    std::vector<std::string> contacts;
    for (auto& line : lines_of(run({ "users", "-n" }).answer)) {
        auto text = trim(line);
        if (text.find("| ") != std::string::npos || text.find(']') == std::string::npos)
            continue;
        text = text.substr(text.find(']') + 2);
        contacts.push_back(text.substr(0, text.find(". ")));
    }
    EXPECT_EQ(contacts, std::vector<std::string> { "bob@x.com" });

    EXPECT_EQ(run({ "users", "-d", "bob@x.com" }).status, 0);
    EXPECT_EQ(run({ "users", "-n" }).answer, "");
    EXPECT_EQ(run({ "share" }).answer, ""); // the share went with the contact
}

TEST_F(CloudServiceTest, SharedFoldersKeepToTheirLevel)
{
    make_account("ana@x.com", "pa");
    make_account("bob@x.com", "pb");
    make_contacts("ana@x.com", "bob@x.com");
    login("ana@x.com", "pa");
    run({ "mkdir", "-p", "Projetos (2024)/sub" });
    write_file(client_folder() / "doc.txt", "documento");
    run({ "put", "doc.txt", "Projetos (2024)" });
    EXPECT_TRUE(run({ "share", "-a", "--with=eva@x.com", "Projetos (2024)" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "share", "-a", "--with=bob@x.com", "--level=4", "Projetos (2024)" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "share", "-a", "--with=bob@x.com", "--level=1", "/" }).answer.starts_with("[API:err"));
    EXPECT_FALSE(run({ "share", "-a", "--with=bob@x.com", "--level=0", "Projetos (2024)" }).answer.starts_with("[API:err"));

    login("bob@x.com", "pb");
    // The root listing as the application reads it: the name between the
    // line's first ":" and its last "(".
    std::string shared_line;
    for (auto& line : lines_of(run({ "mount" }).answer)) {
        if (line.find("INSHARE on ") != std::string::npos)
            shared_line = line;
    }
    ASSERT_FALSE(shared_line.empty());
    auto colon = shared_line.find(':');
    EXPECT_EQ(trim(shared_line.substr(colon + 1, shared_line.rfind('(') - colon - 1)), "Projetos (2024)");
    auto path = trim(shared_line.substr(shared_line.find("//"), shared_line.rfind('(') - shared_line.find("//")));
    EXPECT_EQ(path, "//from/ana@x.com:Projetos (2024)");

    EXPECT_EQ(run({ "cd", path }).answer, "");
    EXPECT_EQ(run({ "ls" }).answer, "doc.txt\nsub\n");
    EXPECT_EQ(run({ "get", "doc.txt" }).answer, "");
    EXPECT_EQ(read_file(client_folder() / "doc.txt"), "documento");
    EXPECT_TRUE(run({ "mkdir", "novo" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "put", "doc.txt" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "rm", "doc.txt" }).answer.starts_with("[API:err"));

    login("ana@x.com", "pa");
    run({ "share", "-a", "--with=bob@x.com", "--level=1", "Projetos (2024)" });
    login("bob@x.com", "pb");
    EXPECT_EQ(run({ "mkdir", path + "/novo" }).answer, "");
    EXPECT_TRUE(run({ "rm", path + "/doc.txt" }).answer.starts_with("[API:err"));
    login("ana@x.com", "pa");
    run({ "share", "-a", "--with=bob@x.com", "--level=2", "Projetos (2024)" });
    login("bob@x.com", "pb");
    EXPECT_EQ(run({ "rm", path + "/doc.txt" }).answer, "");
    EXPECT_TRUE(run({ "rm", "-r", path }).answer.starts_with("[API:err")); // the share itself stays
    EXPECT_TRUE(fs::is_directory(data() / "accounts" / "1" / "files" / "Projetos (2024)" / "novo"));

    login("ana@x.com", "pa");
    EXPECT_EQ(run({ "share", "-d", "--with=bob@x.com", "Projetos (2024)" }).status, 0);
    login("bob@x.com", "pb");
    EXPECT_TRUE(run({ "cd", path }).answer.starts_with("[API:err"));
}

TEST_F(CloudServiceTest, LinksImportIntoAnotherAccount)
{
    make_account("ana@x.com", "pa");
    make_account("bob@x.com", "pb");
    login("ana@x.com", "pa");
    write_file(client_folder() / "nota.txt", "nota");
    run({ "put", "nota.txt" });
    auto exported = run({ "export", "-a", "-f", "nota.txt" }).answer;
    auto link = exported.substr(exported.find("https://"));
    link.pop_back();
    EXPECT_EQ(exported.substr(exported.find(": ") + 2), link + "\n");
    EXPECT_EQ(run({ "export", "-a", "-f", "nota.txt" }).answer, exported); // the same link again

    login("bob@x.com", "pb");
    auto imported = run({ "import", link }).answer;
    EXPECT_EQ(imported.substr(imported.find(": ") + 2), "/nota.txt\n");
    EXPECT_EQ(run({ "ls" }).answer, "nota.txt\n");
    EXPECT_EQ(read_file(data() / "accounts" / "2" / "files" / "nota.txt"), "nota");
    EXPECT_NE(run({ "import", "https://nuvem.invalid/link/nothing" }).answer.find("[API:err:"), std::string::npos);

    login("ana@x.com", "pa");
    EXPECT_EQ(run({ "export", "-d", "nota.txt" }).status, 0);
    EXPECT_NE(run({ "export", "-d", "nota.txt" }).answer.find("[API:err"), std::string::npos);
    login("bob@x.com", "pb");
    EXPECT_NE(run({ "import", link }).answer.find("[API:err:"), std::string::npos);
}

TEST_F(CloudServiceTest, LinksDownloadLikePaths)
{
    make_account("ana@x.com", "pa");
    make_account("bob@x.com", "pb");
    login("ana@x.com", "pa");
    write_file(client_folder() / "nota.txt", "nota de ana");
    write_file(client_folder() / "album" / "faixa 1.mp3", std::string(5000, 'x'));
    write_file(client_folder() / "album" / "capa" / "frente.bmp", "BM");
    run({ "put", "nota.txt" });
    run({ "put", "album" });
    auto link_of = [&](const std::string& path) {
        auto exported = run({ "export", "-a", "-f", path }).answer;
        auto start = exported.find("https://nuvem.invalid/link/");
        return start == std::string::npos ? exported : exported.substr(start, exported.size() - start - 1);
    };
    auto file_link = link_of("nota.txt");
    auto folder_link = link_of("/album");
    ASSERT_TRUE(file_link.starts_with("https://")) << file_link;
    ASSERT_TRUE(folder_link.starts_with("https://")) << folder_link;

    login("bob@x.com", "pb");
    fs::create_directories(client_folder() / "baixados");
    auto file = run({ "get", file_link, (client_folder() / "baixados").string() });
    EXPECT_EQ(file.answer, "");
    ASSERT_FALSE(file.progress_lines.empty());
    EXPECT_NE(file.progress_lines.back().find("100.00 %"), std::string::npos);
    EXPECT_EQ(read_file(client_folder() / "baixados" / "nota.txt"), "nota de ana");
    // Taken again, a link's file gets a free name like any download.
    EXPECT_EQ(run({ "get", file_link, "baixados" }).answer, "");
    EXPECT_EQ(read_file(client_folder() / "baixados" / "nota (1).txt"), "nota de ana");
    EXPECT_EQ(run({ "get", folder_link }).answer, "");
    EXPECT_EQ(read_file(client_folder() / "album" / "faixa 1.mp3"), std::string(5000, 'x'));
    EXPECT_EQ(read_file(client_folder() / "album (1)" / "capa" / "frente.bmp"), "BM");
    // Bob's own files are untouched by a download.
    EXPECT_EQ(run({ "ls", "/" }).answer, "");

    for (auto bad : { std::string("https://nuvem.invalid/link/nothing"), std::string("https://nuvem.invalid/link/"),
             file_link + "x", std::string("https://nuvem.invalid/link/..%2f") }) {
        auto reply = run({ "get", bad });
        EXPECT_TRUE(reply.answer.starts_with("[API:err: ")) << bad << ": " << reply.answer;
        EXPECT_EQ(reply.status, 1) << bad;
    }

    // A disabled export and a deleted item no longer download.
    login("ana@x.com", "pa");
    ASSERT_EQ(run({ "export", "-d", "nota.txt" }).status, 0);
    ASSERT_EQ(run({ "rm", "-r", "album" }).status, 0);
    login("bob@x.com", "pb");
    for (auto& gone : { file_link, folder_link }) {
        auto reply = run({ "get", gone, "baixados" });
        EXPECT_TRUE(reply.answer.starts_with("[API:err: ")) << reply.answer;
    }
    EXPECT_FALSE(fs::exists(client_folder() / "baixados" / "nota (2).txt"));
}

TEST_F(CloudServiceTest, SyncListNamesLocalFoldersTheWayScriptsCanGiveThemBack)
{
    make_account("ana@x.com", "pa");
    login("ana@x.com", "pa");
    run({ "mkdir", "Música" });
    auto local = scratch.path() / "c" / "sync" / "Minha Música";
    fs::create_directories(local);
    EXPECT_TRUE(run({ "sync", local.string(), "/nada" }).answer.starts_with("[API:err"));
    EXPECT_TRUE(run({ "sync", data().string(), "/Música" }).answer.starts_with("[API:err"));
    EXPECT_EQ(run({ "sync", local.string(), "/Música" }).status, 0);
    EXPECT_TRUE(run({ "sync", (local / "..").string(), "/Música" }).answer.starts_with("[API:err"));

    // The application takes the local path from "\\?\" to just before the
    // line's first "/", trimmed.
    auto listed = lines_of(run({ "sync", "--path-display-size=1024" }).answer);
    ASSERT_EQ(listed.size(), 2u);
    auto& row = listed[1];
    auto start = row.find("\\\\?\\");
    auto shown = trim(row.substr(start, row.find('/') - start));
    EXPECT_EQ(shown, "\\\\?\\C:\\sync\\Minha Música");

    // Handed back through a Windows path map, it arrives as
    // "<drive C>/?/C:/sync/...".
    auto mapped = (scratch.path() / "c" / "?" / "C:" / "sync" / "Minha Música").string();
    EXPECT_EQ(run({ "sync", "-s", mapped }).status, 0);
    EXPECT_NE(run({ "sync" }).answer.find("Paused"), std::string::npos);
    EXPECT_EQ(run({ "sync", "-r", shown }).status, 0);
    EXPECT_NE(run({ "sync" }).answer.find("Running"), std::string::npos);

    write_file(local / "faixa.txt", "tocando");
    service.sync_all();
    EXPECT_EQ(read_file(data() / "accounts" / "1" / "files" / "Música" / "faixa.txt"), "tocando");
    EXPECT_EQ(run({ "sync", "-d", local.string() + "/" }).status, 0);
    EXPECT_EQ(run({ "sync" }).answer, "");
    EXPECT_TRUE(run({ "sync", "-d", local.string() }).answer.starts_with("[API:err"));
}

TEST(LocalFromShown, TakesEveryFormOfAShownPath)
{
    struct Case {
        const char* shown;
        const char* local;
    };
    const Case cases[] = {
        { "\\\\?\\C:\\sync\\x", "/drive/c/sync/x" },
        { "\\\\?\\c:\\sync\\x\\", "/drive/c/sync/x" },
        { "/drive/c/?/C:/sync/x", "/drive/c/sync/x" },
        { "\\\\?\\\\home\\u\\x", "/home/u/x" },
        { "/drive/c/?/home/u/x", "/home/u/x" },
        { "C:\\a\\..\\b", "/drive/c/b" },
        { "\\\\?\\D:\\x", "" },
        { "relative\\x", "" },
    };
    for (auto& c : cases)
        EXPECT_EQ(local_from_shown(c.shown, "/drive/c"), c.local) << c.shown;
    EXPECT_EQ(local_from_shown("C:\\x", ""), "");
}
