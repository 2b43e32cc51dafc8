// SPDX-License-Identifier: GPL-3.0-or-later
#include "temporary_folder.h"
#include "wire_protocol.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace cloud;

namespace {

// A connected pair; what is written to `in` is read from `out`.
struct SocketPair {
    SocketPair() { socketpair(AF_UNIX, SOCK_STREAM, 0, fds); }
    ~SocketPair()
    {
        close(fds[0]);
        if (fds[1] >= 0)
            close(fds[1]);
    }
    void close_writer()
    {
        close(fds[1]);
        fds[1] = -1;
    }
    int out() const { return fds[0]; }
    int in() const { return fds[1]; }
    int fds[2] { -1, -1 };
};

}

TEST(WireProtocol, RequestsAndFramesArriveWhole)
{
    SocketPair pair;
    std::vector<std::string> texts { "put", std::string("a\0b", 3), "", "relatório $(x).txt", "/home/u" };
    ASSERT_TRUE(write_all(pair.in(), encode_request(texts)));
    ASSERT_TRUE(write_all(pair.in(), encode_frame('P', "50 %\n") + encode_frame('A', "")));
    pair.close_writer();
    EXPECT_EQ(read_request(pair.out()), texts);
    auto progress = read_frame(pair.out());
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->kind, 'P');
    EXPECT_EQ(progress->bytes, "50 %\n");
    auto answer = read_frame(pair.out());
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, 'A');
    EXPECT_EQ(answer->bytes, "");
    EXPECT_FALSE(read_frame(pair.out()));
}

TEST(WireProtocol, CutOrOversizedRequestsAreRefused)
{
    auto whole = encode_request({ "ls", "/x" });
    const std::string cases[] = {
        whole.substr(0, whole.size() - 1),                    // cut inside a text
        whole.substr(0, 2),                                   // cut inside the count
        std::string("\xff\xff\xff\xff", 4),                   // too many texts
        std::string("\0\0\0\1\x7f\xff\xff\xff", 8) + "x",     // a text longer than allowed
    };
    for (auto& bytes : cases) {
        SocketPair pair;
        ASSERT_TRUE(write_all(pair.in(), bytes));
        pair.close_writer();
        EXPECT_FALSE(read_request(pair.out())) << bytes.size();
    }
}

TEST(WireProtocol, LongSocketPathsAreReachedThroughTheirFolder)
{
    cloud::testing::TemporaryFolder folder;
    auto deep = folder.path() / std::string(60, 'd') / std::string(60, 'e');
    std::filesystem::create_directories(deep);
    auto path = socket_path(deep);
    ASSERT_GT(path.string().size(), 108u);
    int listener = listen_socket(path);
    ASSERT_GE(listener, 0);
    EXPECT_TRUE(std::filesystem::exists(path));
    int client = connect_socket(path);
    EXPECT_GE(client, 0);
    if (client >= 0)
        close(client);
    close(listener);
    EXPECT_LT(connect_socket(deep / "none.socket"), 0);
}
