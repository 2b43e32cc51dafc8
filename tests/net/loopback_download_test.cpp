// SPDX-License-Identifier: GPL-3.0-or-later
// Downloads from real loopback peers: nginx, openssl s_server and a misbehaving server of our own.
#include "net/http_download.h"

#include "tests/net/loopback_peer.h"
#include "tests/net/test_runtime.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using net_tests::LoopbackPeer;
using net_tests::read_file;
using net_tests::write_file;

std::string sample_bytes(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (auto& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 23);
    }
    return bytes;
}

class LoopbackDownload : public ::testing::Test {
protected:
    bool download(const std::string& url, const std::string& cookie = {})
    {
        net::DownloadRequest request;
        request.url = url;
        request.file_name = "c:\\baixados\\alvo.bin";
        request.system_path = target();
        request.user_agent = "Corvante-teste";
        request.cookie = cookie;
        return net::run_download(*test.runtime, request);
    }
    std::string target() const { return folder.path() + "/alvo.bin"; }
    bool target_exists() const { return std::filesystem::exists(target()); }

    net_tests::TestRuntime<> test;
    net_tests::TemporaryFolder folder;
};

TEST_F(LoopbackDownload, NginxServesWholeFilesResumesAndReportsMissingOnes)
{
    LoopbackPeer nginx("nginx");
    ASSERT_TRUE(nginx.ok());
    auto data = sample_bytes(300000);
    write_file(nginx.www() + "/data.bin", data);

    ASSERT_TRUE(download(nginx.url("/data.bin")));
    EXPECT_EQ(read_file(target()), data);
    EXPECT_EQ(test.ports.console, "");

    // A partial file is resumed with a range: nginx answers 206.
    write_file(target(), data.substr(0, 1000));
    ASSERT_TRUE(download(nginx.url("/data.bin")));
    EXPECT_EQ(read_file(target()), data);
    EXPECT_EQ(test.ports.console, "Retomando download\n");

    // A relative redirect is followed on the same server.
    std::filesystem::remove(target());
    ASSERT_TRUE(download(nginx.url("/redirect")));
    EXPECT_EQ(read_file(target()), data);

    test.ports.console.clear();
    std::filesystem::remove(target());
    EXPECT_FALSE(download(nginx.url("/nada.bin")));
    EXPECT_EQ(test.ports.console, "Erro http404: P\xE1gina n\xE3o encontrada.\n");
    EXPECT_FALSE(target_exists());
}

TEST_F(LoopbackDownload, RefusedRangeLeavesTheFileAsItWas)
{
    LoopbackPeer nginx("nginx");
    ASSERT_TRUE(nginx.ok());
    write_file(nginx.www() + "/data.bin", "curto");
    write_file(target(), "um arquivo local mais longo");
    EXPECT_FALSE(download(nginx.url("/data.bin")));
    EXPECT_EQ(test.ports.console, "Erro http416: resposta inesperada do servidor.\n");
    EXPECT_EQ(read_file(target()), "um arquivo local mais longo");
}

TEST_F(LoopbackDownload, MisbehavingServersEndInFailureNotInAHang)
{
    LoopbackPeer server("http");
    ASSERT_TRUE(server.ok());

    EXPECT_FALSE(download(server.url("/loop")));
    EXPECT_EQ(test.ports.console, "Erro http: redirecionamentos demais.\n");

    test.ports.console.clear();
    EXPECT_FALSE(download(server.url("/500")));
    EXPECT_EQ(test.ports.console, "Erro http500: resposta inesperada do servidor.\n");
    EXPECT_FALSE(target_exists());

    test.ports.console.clear();
    EXPECT_FALSE(download(server.url("/garbage")));
    EXPECT_EQ(test.ports.console, "Erro http: resposta inv\xE1lida do servidor.\n");

    EXPECT_FALSE(download(server.url("/endless")));
    EXPECT_FALSE(target_exists());

    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(download(server.url("/slow")));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    EXPECT_LT(waited, std::chrono::seconds(10));
    EXPECT_FALSE(target_exists());

    // A body that stops short fails and keeps what arrived for a resume.
    EXPECT_FALSE(download(server.url("/short")));
    EXPECT_EQ(read_file(target()), std::string(600, 'x'));
    std::filesystem::remove(target());
    EXPECT_FALSE(download(server.url("/cut")));
    EXPECT_EQ(read_file(target()), std::string(999, 'y'));
}

TEST_F(LoopbackDownload, SendsTheRequestLinesInOrder)
{
    LoopbackPeer server("http");
    ASSERT_TRUE(server.ok());
    write_file(target(), std::string(1000, 'a'));
    EXPECT_FALSE(download(server.url("/cut"), "sessao=1"));
    EXPECT_EQ(read_file(server.folder() + "/requests.log"),
        "GET /cut HTTP/1.0\r\nUser-Agent: Corvante-teste\r\nAccept: */*\r\nAccept-Encoding: identity\r\nHost: 127.0.0.1\r\n"
        "Connection: Close\r\nRange: bytes=1000-\r\nCookie: sessao=1\r\n\r\n");
}

TEST_F(LoopbackDownload, FollowsRelativeRedirectsStreamsAudioAndFetchesTextWithoutLength)
{
    LoopbackPeer server("http");
    ASSERT_TRUE(server.ok());
    ASSERT_TRUE(download(server.url("/relative/start")));
    EXPECT_EQ(read_file(target()), "relativo\n");

    ASSERT_TRUE(download(server.url("/stream")));
    EXPECT_EQ(read_file(target()), std::string(5000, 's'));

    ASSERT_TRUE(download(server.url("/text")));
    EXPECT_EQ(read_file(target()), "linha um\r\nlinha dois\r\nfim\r\n\r\n");
    auto requests = read_file(server.folder() + "/requests.log");
    EXPECT_NE(requests.find("GET /text HTTP/1.0\r\nHost: 127.0.0.1\r\nUser-Agent: Corvante-teste\r\nConnection: close\r\n"
                            "Accept-Language: pt-br\r\nUA-CPU: x86\r\n\r\n"),
        std::string::npos);
}

TEST_F(LoopbackDownload, EscapeStopsAStalledDownloadAndEnterSpeaksProgress)
{
    LoopbackPeer server("http");
    ASSERT_TRUE(server.ok());
    test.ports.key_after_pumps = 5;
    test.ports.keys = { 13, 27, 's' };
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(download(server.url("/short")));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(test.ports.console, "Deseja parar o download?\ns\nO download foi interrompido.\n");
    ASSERT_GE(test.ports.spoken.size(), 4u);
    EXPECT_EQ(test.ports.spoken[0], "Recebidos: ");
    EXPECT_EQ(test.ports.spoken[1], "60% de 1000Bytes.");
    EXPECT_EQ(test.ports.spoken[2], "600 Bytes gravados.");
    EXPECT_EQ(test.ports.spoken[3], "Arquivo: c:\\baixados\\alvo.bin");
    EXPECT_EQ(read_file(target()), std::string(600, 'x'));
}

class TlsDownload : public LoopbackDownload {
protected:
    void trust(const LoopbackPeer& peer) { setenv("SSL_CERT_FILE", peer.value("ca").c_str(), 1); }
    void TearDown() override { unsetenv("SSL_CERT_FILE"); }
};

TEST_F(TlsDownload, FetchesOverHttpsFromAServerWithATrustedCertificate)
{
    LoopbackPeer server("tls", "www");
    ASSERT_TRUE(server.ok());
    trust(server);
    write_file(server.www() + "/pagina.txt", "primeira\nsegunda\n");
    // s_server sends no length, so the body comes by the text fetch.
    ASSERT_TRUE(download(server.url("/pagina.txt", true)));
    EXPECT_EQ(read_file(target()), "primeira\r\nsegunda\r\n\r\n");
}

TEST_F(TlsDownload, RefusesUntrustedAndMisnamedCertificatesUnlessTold)
{
    {
        LoopbackPeer server("tls", "untrusted");
        ASSERT_TRUE(server.ok());
        trust(server);
        write_file(server.www() + "/x.txt", "x\n");
        EXPECT_FALSE(download(server.url("/x.txt", true)));
        EXPECT_FALSE(target_exists());

        net::NetworkOptions options;
        options.peer_limit_ms = 3000;
        options.verify_certificates = false;
        test.state.set_fixed_options(options);
        EXPECT_TRUE(download(server.url("/x.txt", true)));
        EXPECT_EQ(read_file(target()), "x\r\n\r\n");
        options.verify_certificates = true;
        test.state.set_fixed_options(options);
    }
    std::filesystem::remove(target());
    LoopbackPeer misnamed("tls", "wrongname");
    ASSERT_TRUE(misnamed.ok());
    trust(misnamed);
    write_file(misnamed.www() + "/x.txt", "x\n");
    EXPECT_FALSE(download(misnamed.url("/x.txt", true)));
    EXPECT_FALSE(target_exists());
}

TEST_F(LoopbackDownload, TrazdaredeStoresTheOutcomeAndChecksItsMode)
{
    LoopbackPeer nginx("nginx");
    ASSERT_TRUE(nginx.ok());
    write_file(nginx.www() + "/data.bin", "conteudo");
    std::string rest = "\"" + nginx.url("/data.bin") + "\" \"" + target() + "\" \"0\" \"agente\" \"\" R";
    ASSERT_TRUE(test.run("TRAZDAREDE", rest));
    EXPECT_EQ(test.variable('R'), "0");
    EXPECT_EQ(read_file(target()), "conteudo");

    rest = "\"" + nginx.url("/falta.bin") + "\" \"" + target() + "\" \"0\" \"agente\" \"\" R";
    ASSERT_TRUE(test.run("TRAZDAREDE", rest));
    EXPECT_EQ(test.variable('R'), "1");

    EXPECT_FALSE(test.run("TRAZDAREDE", "\"http://127.0.0.1/\" \"x\" \"2\" \"agente\" \"\" R"));
    EXPECT_FALSE(test.run("TRAZDAREDE", "\"http://127.0.0.1/\" \"x\" \"0\" \"agente\""));
}

}
