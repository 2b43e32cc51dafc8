// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of F12's choice of what to open for the word at the line editor's cursor.
#include "console/document_word.h"
#include "platform/path_map.h"
#include "settings/settings.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

namespace {

using console::DocumentOpening;

TEST(DocumentOpening, TheWordAroundTheCursorLosesItsQuotesAndBrackets)
{
    std::string field = "veja \"notas.txt\". e <www.x.org> ou (a.doc) __x__      ";
    EXPECT_EQ(console::document_word_at(field, 5), "notas.txt");
    EXPECT_EQ(console::document_word_at(field, 10), "notas.txt");
    // The cursor just after a word is still on it.
    EXPECT_EQ(console::document_word_at(field, 17), "notas.txt");
    EXPECT_EQ(console::document_word_at(field, 22), "www.x.org");
    // ")" is not among the stripped characters.
    EXPECT_EQ(console::document_word_at(field, 36), "a.doc)");
    EXPECT_EQ(console::document_word_at(field, 44), "x");
    EXPECT_EQ(console::document_word_at(field, 52), "");
    EXPECT_EQ(console::document_word_at("", 0), "");
    EXPECT_EQ(console::document_word_at("...", 1), "");
}

class DocumentOpeningWithSettings : public ::testing::Test {
protected:
    DocumentOpeningWithSettings()
        : paths((folder / "c").string())
    {
        test_support::ScratchFolder::write(folder / "Lumera.ini",
            "[LUMERA]\r\nPROG.HTM=c:\\web\\navegador.exe\r\nPROG.TXT=notepad.exe\r\nPROG.EXE=nunca.exe\r\n"
            "PROG.DOC=\r\n");
        settings = std::make_unique<settings::Settings>(
            paths, settings::SettingsPlaces { folder.path().string(), (folder / "Lumera.ini").string(), "/opt/lumera" });
        // Settings whose file is missing: nothing is configured.
        unset = std::make_unique<settings::Settings>(
            paths, settings::SettingsPlaces { folder.path().string(), (folder / "nenhum.ini").string(), "/opt/lumera" });
    }

    DocumentOpening plan(std::string_view word, bool with_settings = true)
    {
        return console::plan_document_opening(word, with_settings ? *settings : *unset, "c:\\trabalho");
    }

    test_support::ScratchFolder folder;
    platform::PathMap paths;
    std::unique_ptr<settings::Settings> settings;
    std::unique_ptr<settings::Settings> unset;
};

TEST_F(DocumentOpeningWithSettings, LinksGoToTheProgramOfProgHtm)
{
    for (auto link : { "http://x.org/a", "https://x.org", "www.x.org", "WWW.X.ORG" }) {
        auto opening = plan(link);
        EXPECT_EQ(opening.file, "c:\\web\\navegador.exe") << link;
        EXPECT_EQ(opening.parameter, link);
    }
}

TEST_F(DocumentOpeningWithSettings, FilesGoToTheProgramOfTheirExtension)
{
    auto text = plan("c:\\dados\\carta.txt");
    EXPECT_EQ(text.file, "notepad.exe");
    EXPECT_EQ(text.parameter, "c:\\dados\\carta.txt");
    // Three characters after the first dot of the file's own name.
    auto longer = plan("v1.2\\leia.txtx");
    EXPECT_EQ(longer.file, "notepad.exe");
    // Nothing configured: the document itself.
    auto document = plan("carta.doc");
    EXPECT_EQ(document.file, "carta.doc");
    EXPECT_EQ(document.parameter, "");
    auto unknown = plan("foto.jpg");
    EXPECT_EQ(unknown.file, "foto.jpg");
    auto bare = plan("LEIAME");
    EXPECT_EQ(bare.file, "LEIAME");
}

TEST_F(DocumentOpeningWithSettings, ProgramsAreStartedThemselvesFromAnAbsolutePath)
{
    EXPECT_EQ(plan("jogo.exe").file, "c:\\trabalho\\jogo.exe");
    EXPECT_EQ(plan("bin\\velho.COM").file, "c:\\trabalho\\bin\\velho.COM");
    EXPECT_EQ(plan("d:\\jogos\\jogo.exe").file, "d:\\jogos\\jogo.exe");
    EXPECT_EQ(plan("\\jogos\\jogo.exe").file, "\\jogos\\jogo.exe");
    EXPECT_EQ(plan("jogo.exe").parameter, "");
}

TEST_F(DocumentOpeningWithSettings, WithoutSettingsEverythingOpensItself)
{
    EXPECT_EQ(plan("www.x.org", false).file, "www.x.org");
    EXPECT_EQ(plan("www.x.org", false).parameter, "");
    EXPECT_EQ(plan("carta.txt", false).file, "carta.txt");
}

}
