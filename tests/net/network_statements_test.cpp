// SPDX-License-Identifier: GPL-3.0-or-later
// The network commands against a line peer, openssl s_server and an in-memory network.
#include "net/connection_stream.h"
#include "net/network_statements.h"
#include "tests/support/memory_tcp_network.h"

#include "tests/net/loopback_peer.h"
#include "tests/net/test_runtime.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using net_tests::LoopbackPeer;

std::string read_channel_line(net_tests::TestRuntime<>& test, int channel, files::LineReadStatus expected = files::LineReadStatus::line)
{
    std::string line;
    auto* stream = test.channels.stream(channel);
    EXPECT_NE(stream, nullptr);
    if (stream) {
        EXPECT_EQ(stream->read_line(line), expected);
    }
    return line;
}

TEST(NetworkStatements, PercentEncodesEverythingButUnreservedBytes)
{
    EXPECT_EQ(net::percent_encode("a b\xE7/~-._Z9"), "a%20b%E7%2F~-._Z9");
    net_tests::TestRuntime<platform::MemoryTcpNetwork> test;
    test.runtime->variables.set('T', "S\xE3o Paulo&x=1");
    ASSERT_TRUE(test.run("HTTP", "T resto ignorado"));
    EXPECT_EQ(test.variable('T'), "S%E3o%20Paulo%26x%3D1");
    EXPECT_FALSE(test.run("HTTP", "\"texto\""));
}

TEST(NetworkStatements, InternetAcceptsOnlyItsTwoWords)
{
    net_tests::TestRuntime<platform::MemoryTcpNetwork> test;
    EXPECT_TRUE(test.run("INTERNET", "inicia"));
    EXPECT_TRUE(test.state.library_started);
    EXPECT_TRUE(test.run("INTERNET", "TERMINA"));
    EXPECT_FALSE(test.state.library_started);
    EXPECT_FALSE(test.run("INTERNET", "INICIA JA"));
    EXPECT_FALSE(test.run("INTERNET", ""));
}

TEST(NetworkStatements, ConectaReportsPortAndConnectionErrors)
{
    net_tests::TestRuntime<platform::MemoryTcpNetwork> test;
    EXPECT_FALSE(test.run("CONECTA", "#1 \"localhost\" \"porta\""));
    EXPECT_EQ(test.host.console, "Erro na porta TCP/IP\n");
    EXPECT_EQ(test.host.spoken.back(), "Erro na porta TCP/IP");
    test.host.console.clear();
    EXPECT_FALSE(test.run("CONECTA", "#1 \"localhost\" 7"));
    EXPECT_EQ(test.host.console, "Erro de conexao\n");
    test.host.console.clear();
    EXPECT_FALSE(test.run("CONECTA", "#12 \"localhost\" 7"));
    EXPECT_EQ(test.host.console, "Erro de conexao\n");

    // The tolerant form never fails and tells the outcome in the I/O status.
    test.host.console.clear();
    EXPECT_TRUE(test.run("CONECTA", "#1 \"localhost\" \"porta\" &"));
    EXPECT_EQ(test.runtime->io_status, 2);
    EXPECT_TRUE(test.run("CONECTA", "#1 \"nenhum.invalid\" 7 &"));
    EXPECT_EQ(test.runtime->io_status, 1);
    EXPECT_TRUE(test.run("CONECTA", "#1 \"1host\" 7&"));
    EXPECT_EQ(test.runtime->io_status, 1);
    EXPECT_EQ(test.host.console, "");
    EXPECT_FALSE(test.channels.is_open(1));

    auto listener = test.network.listen(7);
    ASSERT_TRUE(test.run("CONECTA", "#1 \"localhost\" 7 &"));
    EXPECT_EQ(test.runtime->io_status, 0);
    EXPECT_TRUE(test.channels.is_open(1));
    EXPECT_EQ(test.channels.stream(1)->kind(), files::ChannelKind::connection);
}

TEST(NetworkStatements, ServeEndsItsWaitWithEscape)
{
    net_tests::TestRuntime<platform::MemoryTcpNetwork> test;
    test.host.key_after_pumps = 50;
    test.host.keys = { 'a', 0, 59, 27 };
    EXPECT_FALSE(test.run("SERVE", "#2 4000"));
    EXPECT_EQ(test.host.console, "Erro de conexao\n");
    EXPECT_TRUE(test.host.keys.empty());
    EXPECT_GE(test.host.pumps, 50);
    EXPECT_FALSE(test.channels.is_open(2));

    test.host.console.clear();
    EXPECT_FALSE(test.run("SERVE", "#2 \"x\""));
    EXPECT_EQ(test.host.console, "Erro na porta TCP/IP\n");
}

TEST(NetworkStatements, ObservaTestsTheKeyboardAndOnlyNetworkChannels)
{
    net_tests::TestRuntime<platform::MemoryTcpNetwork> test;
    ASSERT_TRUE(test.run("OBSERVA", "TECLADO V"));
    EXPECT_EQ(test.variable('V'), "0");
    test.host.keys = { 'x' };
    ASSERT_TRUE(test.run("OBSERVA", "teclado V"));
    EXPECT_EQ(test.variable('V'), "1");
    ASSERT_TRUE(test.run("OBSERVA", "#3 V"));
    EXPECT_EQ(test.variable('V'), "0");
    EXPECT_FALSE(test.run("OBSERVA", "#3 V mais"));
    EXPECT_FALSE(test.run("OBSERVA", "ALGO V"));
}

TEST(NetworkStatements, LinePeerExchangesLinesAndReportsAddresses)
{
    LoopbackPeer peer("line");
    ASSERT_TRUE(peer.ok());
    net_tests::TestRuntime<> test;
    ASSERT_TRUE(test.run("CONECTA", "#4 \"127.0.0.1\" " + std::to_string(peer.port())));
    EXPECT_EQ(read_channel_line(test, 4), "ola do servidor");
    ASSERT_TRUE(test.channels.stream(4)->write("linha com acento \xE9\r\n"));
    EXPECT_EQ(read_channel_line(test, 4), "eco: linha com acento \xE9");

    ASSERT_TRUE(test.channels.stream(4)->write("outra\r\n"));
    for (int poll = 0; poll < 200 && test.variable('V') != "1"; ++poll)
        ASSERT_TRUE(test.run("OBSERVA", "#4 V"));
    EXPECT_EQ(test.variable('V'), "1");
    EXPECT_EQ(read_channel_line(test, 4), "eco: outra");

    ASSERT_TRUE(test.run("IP", "LOCAL #4 L"));
    ASSERT_TRUE(test.run("IP", "remoto #4 R"));
    EXPECT_EQ(test.variable('L'), "127.0.0.1");
    EXPECT_EQ(test.variable('R'), "127.0.0.1");
    EXPECT_FALSE(test.run("IP", "LOCAL #5 L"));
    EXPECT_FALSE(test.run("IP", "#4 L"));

    // A last line without its end is still a line; then the input has ended.
    ASSERT_TRUE(test.channels.stream(4)->write("fim\r\n"));
    EXPECT_EQ(read_channel_line(test, 4), "ultima sem fim de linha");
    EXPECT_EQ(read_channel_line(test, 4, files::LineReadStatus::end_of_input), "");
    EXPECT_TRUE(test.channels.close(4));
}

TEST(NetworkStatements, ServeAcceptsAClientAndKnowsItsAddress)
{
    LoopbackPeer client("client");
    ASSERT_TRUE(client.ok());
    net_tests::TestRuntime<> test;
    ASSERT_TRUE(test.run("SERVE", "#0 " + std::to_string(client.port())));
    EXPECT_EQ(read_channel_line(test, 0), "ola do cliente");
    ASSERT_TRUE(test.channels.stream(0)->write("tudo bem\r\n"));
    EXPECT_EQ(read_channel_line(test, 0), "recebi: tudo bem");
    ASSERT_TRUE(test.run("IP", "REMOTO #0 R"));
    EXPECT_EQ(test.variable('R'), "127.0.0.1");
}

class TlsChannel : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("SSL_CERT_FILE"); }
};

TEST_F(TlsChannel, SslChannelsExchangeLinesAndStayTlsUntilAChannelCloses)
{
    LoopbackPeer server("tls", "rev");
    ASSERT_TRUE(server.ok());
    setenv("SSL_CERT_FILE", server.value("ca").c_str(), 1);
    net_tests::TestRuntime<> test;
    auto port = std::to_string(server.port());
    ASSERT_TRUE(test.run("CONECTA", "SSL #1 \"localhost\" " + port));
    ASSERT_TRUE(test.channels.stream(1)->write("abc\r\n"));
    EXPECT_EQ(read_channel_line(test, 1), "cba");
    // s_server serves one client at a time: close before the next.
    EXPECT_TRUE(test.state.tls_for_connect);
    ASSERT_TRUE(test.channels.close(1));
    EXPECT_FALSE(test.state.tls_for_connect);

    ASSERT_TRUE(test.run("CONECTA", "ssl #2 \"127.0.0.1\" " + port));
    test.channels.open(2, nullptr);
    EXPECT_TRUE(test.state.tls_for_connect);
    // The flag still holds: this CONECTA opens TLS too.
    ASSERT_TRUE(test.run("CONECTA", "#3 \"127.0.0.1\" " + port));
    auto* stream = static_cast<net::ConnectionStream*>(test.channels.stream(3));
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(stream->connection()->is_tls());
    ASSERT_TRUE(stream->write("xyz\r\n"));
    EXPECT_EQ(read_channel_line(test, 3), "zyx");
}

TEST_F(TlsChannel, BadCertificateIsRefusedAndAtivasslKeepsTheChannel)
{
    LoopbackPeer server("tls", "untrusted");
    ASSERT_TRUE(server.ok());
    setenv("SSL_CERT_FILE", server.value("ca").c_str(), 1);
    net_tests::TestRuntime<> test;
    auto port = std::to_string(server.port());
    EXPECT_FALSE(test.run("CONECTA", "SSL #1 \"127.0.0.1\" " + port));
    EXPECT_EQ(test.host.console, "Erro de conexao\n");
    EXPECT_FALSE(test.channels.is_open(1));

    // ATIVASSL does not look at the outcome: the channel then reads nothing.
    test.state.tls_for_connect = false;
    ASSERT_TRUE(test.run("ATIVASSL", "#1"));
    ASSERT_TRUE(test.channels.is_open(1));
    EXPECT_FALSE(test.channels.stream(1)->write("x\r\n"));
}

}
