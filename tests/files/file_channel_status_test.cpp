// SPDX-License-Identifier: GPL-3.0-or-later
// The I/O status of the channel forms of ESCREVE and LE, for files and connections alike.
#include "files/channel_table.h"
#include "files/file_statements.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

#include <deque>

using namespace files;

namespace {

// A channel stream that answers as told, standing in for a file or a
// connection that misbehaves.
class ScriptedStream final : public ChannelStream {
public:
    ScriptedStream(ChannelKind kind, std::string* written)
        : m_kind(kind)
        , m_written(written)
    {
    }
    ChannelKind kind() const override { return m_kind; }
    LineReadStatus read_line(std::string& line) override
    {
        if (reads.empty())
            return LineReadStatus::end_of_input;
        auto [status, text] = reads.front();
        reads.pop_front();
        line = text;
        return status;
    }
    bool write(std::string_view bytes) override
    {
        m_written->append(bytes);
        return write_succeeds;
    }
    bool close() override { return close_succeeds; }

    std::deque<std::pair<LineReadStatus, std::string>> reads;
    bool write_succeeds = true;
    bool close_succeeds = true;

private:
    ChannelKind m_kind;
    std::string* m_written;
};

void bind_file_commands(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    bind_file_statements(table);
}

struct ChannelFixture {
    ChannelFixture()
        : test(bind_file_commands)
    {
        test.runtime.subsystems.channels = &channels;
    }
    ScriptedStream& open(int channel, ChannelKind kind)
    {
        auto stream = std::make_unique<ScriptedStream>(kind, &written);
        auto& reference = *stream;
        channels.open(channel, std::move(stream));
        return reference;
    }

    test_support::TestRuntime test;
    ChannelTable channels;
    std::string written;
};

}

TEST(FileChannelStatus, WritesAddLineEndsAndReportFailuresByKind)
{
    ChannelFixture fixture;
    auto& runtime = fixture.test.runtime;
    auto& file = fixture.open(1, ChannelKind::file);
    fixture.test.set_variable("$x", "valor");
    EXPECT_TRUE(write_to_channel(runtime, "#1 \"a\" $x", true));
    EXPECT_TRUE(write_to_channel(runtime, "#1\"b\"", false));
    EXPECT_EQ(fixture.written, "avalor\r\nb");
    EXPECT_EQ(runtime.io_status, 0);
    file.write_succeeds = false;
    EXPECT_TRUE(write_to_channel(runtime, "#1 \"c\"", true));
    EXPECT_NE(runtime.io_status, 0);
    EXPECT_NE(runtime.io_status, 1); // a file's error is not the end-of-file status

    auto& connection = fixture.open(2, ChannelKind::connection);
    connection.write_succeeds = false;
    EXPECT_TRUE(write_to_channel(runtime, "#2 \"d\"", true));
    EXPECT_EQ(runtime.io_status, 1);
    // Text that is not a value after the channel fails the command.
    EXPECT_FALSE(write_to_channel(runtime, "#1 \"e\" ?", true));
    EXPECT_TRUE(fixture.test.host.console.empty());
}

TEST(FileChannelStatus, ClosedChannelIsReportedAndTheWriteStillSucceeds)
{
    ChannelFixture fixture;
    auto& runtime = fixture.test.runtime;
    EXPECT_TRUE(write_to_channel(runtime, "#4 \"x\"", true));
    EXPECT_EQ(runtime.io_status, 0);
    EXPECT_EQ(fixture.test.host.console_lines(), "Erro no processamento de arquivo\n");
    EXPECT_FALSE(write_to_channel(runtime, "#x \"x\"", true));
}

TEST(FileChannelStatus, ReadsSetStatusAndTheTargetByKind)
{
    ChannelFixture fixture;
    auto& runtime = fixture.test.runtime;
    auto& file = fixture.open(0, ChannelKind::file);
    file.reads = { { LineReadStatus::line, "primeira" }, { LineReadStatus::error, "" } };
    ASSERT_TRUE(read_from_channel(runtime, "#0 $l"));
    EXPECT_EQ(fixture.test.variable("$l"), "primeira");
    EXPECT_EQ(runtime.io_status, 0);
    ASSERT_TRUE(read_from_channel(runtime, "#0 $l"));
    EXPECT_NE(runtime.io_status, 0);
    EXPECT_NE(runtime.io_status, 1);
    fixture.test.set_variable("$l", "antes");
    ASSERT_TRUE(read_from_channel(runtime, "#0 $l"));
    EXPECT_EQ(fixture.test.variable("$l"), "");
    EXPECT_EQ(runtime.io_status, 1);

    // A connection's time limit keeps what had arrived.
    auto& connection = fixture.open(9, ChannelKind::connection);
    connection.reads = { { LineReadStatus::end_of_input, "meia li" } };
    ASSERT_TRUE(read_from_channel(runtime, "#9 $l"));
    EXPECT_EQ(fixture.test.variable("$l"), "meia li");
    EXPECT_EQ(runtime.io_status, 1);
}

TEST(FileChannelStatus, ReadFormErrors)
{
    ChannelFixture fixture;
    auto& runtime = fixture.test.runtime;
    fixture.open(0, ChannelKind::file);
    EXPECT_FALSE(read_from_channel(runtime, "#0"));
    EXPECT_EQ(fixture.test.host.console_lines(), "Erro no processamento de arquivo\n");
    EXPECT_FALSE(read_from_channel(runtime, "#0 \"literal\""));
    EXPECT_FALSE(read_from_channel(runtime, "#3 $l")); // not open
    EXPECT_FALSE(read_from_channel(runtime, "#12 $l"));
}

TEST(FileChannelStatus, CloseErrorsAreReported)
{
    ChannelFixture fixture;
    fixture.open(5, ChannelKind::file).close_succeeds = false;
    EXPECT_FALSE(fixture.test.execute("fecha #5"));
    EXPECT_EQ(fixture.test.host.console_lines(), "Erro no fechamento do arquivo\n");
    EXPECT_FALSE(fixture.channels.is_open(5));
    EXPECT_TRUE(fixture.test.execute("fecha #5"));
    EXPECT_FALSE(fixture.test.execute("fecha #55"));
}
