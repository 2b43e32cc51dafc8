// SPDX-License-Identifier: GPL-3.0-or-later
#include "partial_download.h"
#include "temporary_folder.h"

#include <gtest/gtest.h>

using namespace cloud;
using cloud::testing::read_file;
using cloud::testing::TemporaryFolder;
using cloud::testing::write_file;
namespace fs = std::filesystem;

TEST(PartialDownload, WhatACutOffDownloadLeftIsRemovedAtTheNextStart)
{
    TemporaryFolder scratch;
    auto notes = scratch.path() / "downloads";
    fs::create_directories(notes);
    auto file_part = scratch.path() / "baixados" / ".nota.txt.part";
    auto folder_part = scratch.path() / "baixados" / ".album.part";
    {
        PartialDownload file(notes, file_part);
        PartialDownload folder(notes, folder_part);
        write_file(file_part, "metade");
        write_file(folder_part / "faixa.mp3", "meia faixa");
        // A server killed now never ends these downloads; the next one
        // cleans up while their notes are still there.
        remove_partial_downloads(notes);
        EXPECT_FALSE(fs::exists(file_part));
        EXPECT_FALSE(fs::exists(folder_part));
        EXPECT_TRUE(fs::is_empty(notes));
    }
    // A download that ended takes its note away: nothing is removed later.
    {
        PartialDownload done(notes, file_part);
        EXPECT_FALSE(fs::is_empty(notes));
    }
    EXPECT_TRUE(fs::is_empty(notes));
    write_file(file_part, "de outro download");
    remove_partial_downloads(notes);
    EXPECT_EQ(read_file(file_part), "de outro download");
}

TEST(PartialDownload, NotesNeverRemoveAnythingButHiddenPartFiles)
{
    TemporaryFolder scratch;
    auto notes = scratch.path() / "downloads";
    auto keep = scratch.path() / "guardar";
    write_file(keep / "importante.txt", "x");
    write_file(keep / ".oculto", "x");
    write_file(keep / "visivel.part", "x");
    write_file(keep / "sub" / ".a.part", "x");
    fs::create_symlink(keep, scratch.path() / ".ligacao.part");
    fs::create_directories(notes);
    for (auto named : { keep / "importante.txt", keep / ".oculto", keep / "visivel.part", keep,
             fs::path(".a.part"), keep / "sub" / ".." / "sub" / ".a.part", fs::path() }) {
        write_file(notes / ("n" + std::to_string(std::hash<std::string>()(named.string())) + ".txt"), named.string());
    }
    // A link with a partial name is removed itself, never what it leads to.
    write_file(notes / "link.txt", (scratch.path() / ".ligacao.part").string());
    remove_partial_downloads(notes);
    EXPECT_TRUE(fs::is_empty(notes));
    EXPECT_FALSE(fs::exists(fs::symlink_status(scratch.path() / ".ligacao.part")));
    for (auto kept : { "importante.txt", ".oculto", "visivel.part", "sub/.a.part" })
        EXPECT_EQ(read_file(keep / kept), "x") << kept;
}
