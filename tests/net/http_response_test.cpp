// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/http_response.h"

#include <gtest/gtest.h>

namespace {

TEST(HttpResponse, ReadsTheThreeCharactersAfterTheFirstBlank)
{
    EXPECT_EQ(net::parse_status_code("HTTP/1.0 200 OK"), 200);
    EXPECT_EQ(net::parse_status_code("HTTP/1.1 206 Partial Content"), 206);
    EXPECT_EQ(net::parse_status_code("HTTP/1.1 404"), 404);
    EXPECT_EQ(net::parse_status_code("X 5000"), 500);
    EXPECT_FALSE(net::parse_status_code("HTTP/1.1 20"));
    EXPECT_FALSE(net::parse_status_code("HTTP/1.1  200 OK"));
    EXPECT_FALSE(net::parse_status_code("HTTP/1.1 2x0 OK"));
    EXPECT_FALSE(net::parse_status_code("HTTP/1.1"));
    EXPECT_FALSE(net::parse_status_code(""));
}

TEST(HttpResponse, RecognisesTheHeadersOnTheirUpperCasedStart)
{
    auto location = net::classify_header("location: http://h/x ");
    EXPECT_EQ(location.kind, net::HeaderKind::location);
    EXPECT_EQ(location.value, "http://h/x");

    auto type = net::classify_header("Content-Type: audio/mpeg");
    EXPECT_EQ(type.kind, net::HeaderKind::content_type);
    EXPECT_EQ(type.value, "audio/mpeg");

    auto length = net::classify_header("CONTENT-LENGTH: 1073741824");
    EXPECT_EQ(length.kind, net::HeaderKind::content_length);
    EXPECT_EQ(length.length, 1073741824);

    EXPECT_EQ(net::classify_header("Server: nginx").kind, net::HeaderKind::other);
    EXPECT_EQ(net::classify_header("Content-Range: bytes 1-2/3").kind, net::HeaderKind::other);
}

TEST(HttpResponse, RefusesLengthsThatAreNotWholeNumbers)
{
    EXPECT_FALSE(net::classify_header("Content-Length: -5").length);
    EXPECT_FALSE(net::classify_header("Content-Length: 12abc").length);
    EXPECT_FALSE(net::classify_header("Content-Length:").length);
    EXPECT_FALSE(net::classify_header("Content-Length: 99999999999999999999999").length);
    EXPECT_EQ(net::classify_header("Content-Length:    7").length, 7);
    // The largest length taken, and one past it.
    EXPECT_EQ(net::classify_header("Content-Length: 4611686018427387904").length, int64_t(1) << 62);
    EXPECT_FALSE(net::classify_header("Content-Length: 4611686018427387905").length);
}

}
