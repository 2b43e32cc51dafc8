// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/download_progress.h"

#include <gtest/gtest.h>

namespace {

TEST(DownloadProgress, FormatsNumbersWithThreeSignificantDigits)
{
    EXPECT_EQ(net::format_general(0, 3), "0");
    EXPECT_EQ(net::format_general(100, 3), "100");
    EXPECT_EQ(net::format_general(45.678, 3), "45,7");
    EXPECT_EQ(net::format_general(2.5, 3), "2,5");
    EXPECT_EQ(net::format_general(99.96, 3), "100");
    EXPECT_EQ(net::format_general(0.001234, 3), "0,00123");
    EXPECT_EQ(net::format_general(0.0000123, 3), "0,0000123");
    EXPECT_EQ(net::format_general(0.00000123, 3), "1,23E-06");
    EXPECT_EQ(net::format_general(1234, 3), "1,23E+03");
}

TEST(DownloadProgress, ReportsPercentTotalAndAmountOnDisk)
{
    net::ProgressFigures figures;
    figures.file_size = 5 * 1048576 + 1048576 / 2;
    figures.total = 11 * 1048576;
    figures.file_name = "c:\\nubrado\\x.zip";
    auto pieces = net::progress_report(figures);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0], "Recebidos: ");
    EXPECT_EQ(pieces[1], "50% de 11MB.");
    EXPECT_EQ(pieces[2], "5,5 MegaBytes gravados.");
    EXPECT_EQ(pieces[3], "Arquivo: c:\\nubrado\\x.zip");
}

TEST(DownloadProgress, ChoosesUnitsAtTheirBoundaries)
{
    net::ProgressFigures figures;
    figures.total = 1023;
    figures.file_size = 1023;
    auto pieces = net::progress_report(figures);
    EXPECT_EQ(pieces[1], "100% de 1023Bytes.");
    EXPECT_EQ(pieces[2], "1023 Bytes gravados.");

    figures.total = int64_t(3) * 1073741824 + 5;
    figures.file_size = 1536;
    pieces = net::progress_report(figures);
    EXPECT_EQ(pieces[1], "0,0000477% de 3GB.");
    EXPECT_EQ(pieces[2], "1,5 KBytes gravados.");

    // Below 0.00001 per cent the exponent part is left out.
    figures.file_size = 1;
    pieces = net::progress_report(figures);
    EXPECT_EQ(pieces[1], "3,1% de 3GB.");
}

TEST(DownloadProgress, StreamsReportBytesWrittenInstead)
{
    net::ProgressFigures figures;
    figures.streaming = true;
    figures.file_size = 2048;
    figures.file_name = "radio.mp3";
    auto pieces = net::progress_report(figures);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], "2048 bytes escritos em disco.");
    EXPECT_EQ(pieces[1], "2 KBytes gravados.");
}

TEST(DownloadProgress, ClickIsCentredAndDecays)
{
    auto samples = net::progress_click_samples();
    EXPECT_GT(std::abs(int(samples[0]) - 128), 50);
    EXPECT_LT(std::abs(int(samples[255]) - 128), 2);
}

}
