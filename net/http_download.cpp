// SPDX-License-Identifier: GPL-3.0-or-later
// HttpDownload: one URL into one file over HTTP/1.0 or HTTPS, with resume and redirects.
#include "net/http_download.h"

#include "audio/sound_output.h"
#include "interpreter/ports.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"
#include "net/download_progress.h"
#include "net/http_response.h"
#include "net/line_reader.h"
#include "net/network_state.h"
#include "net/url_parts.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace net {

namespace {

constexpr int64_t stream_remaining = 999999999;
// Body bytes move in blocks of this size. The blocks of 4096 bytes that the
// line reader uses would cost a system call per 4 KiB and keep a download
// well below what the connection carries; keys and the click still come
// once per block, which on a slow link is well under a second.
constexpr size_t body_block_size = 65536;
constexpr uint8_t key_enter = 13;
constexpr uint8_t key_space = 32;
constexpr uint8_t key_escape = 27;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::optional<int64_t> file_size(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return static_cast<int64_t>(status.st_size);
}

// One download in progress: the state its steps share.
class Download {
public:
    Download(interpreter::Runtime& runtime, const DownloadRequest& request)
        : m_runtime(runtime)
        , m_request(request)
        , m_state(network_state(runtime))
        , m_options(m_state.options(runtime))
        , m_wait { runtime.terminal, runtime.world, m_state.clock(), m_options.poll_timeout_us }
        , m_click(request.click)
    {
    }

    bool run();

private:
    enum class Head { body, redirect, failed };

    Head read_head(LineReader& reader);
    bool receive_body(LineReader& reader);
    bool fetch_text(const std::string& url);
    std::string download_request_text(const UrlParts& parts) const;
    std::string text_fetch_request_text(const UrlParts& parts) const;
    // Reads a line of the head, dealing with keys while it waits; false when
    // the line did not come (the download then fails).
    bool read_head_line(LineReader& reader, std::string& line);
    // Takes the waiting key; false when the user chose to stop.
    bool handle_key();
    void speak_progress();
    void message(std::string_view text) { interpreter::write_message_line(m_runtime, text); }

    interpreter::Runtime& m_runtime;
    const DownloadRequest& m_request;
    NetworkState& m_state;
    NetworkOptions m_options;
    WaitContext m_wait;
    bool m_click;

    std::string m_url;
    int64_t m_resume_offset = 0;
    int64_t m_content_length = 0;
    std::string m_content_type;
    std::string m_location;
    int m_status = 0;
    bool m_streaming = false;
    bool m_stopped = false;
    File m_file;
};

bool Download::run()
{
    m_url = m_request.url;
    for (int redirects = 0;; ++redirects) {
        if (redirects > max_redirects) {
            message("Erro http: redirecionamentos demais.");
            return false;
        }
        auto parts = split_url(m_url);
        if (!parts)
            return false;
        auto connection = m_state.open_connection(m_runtime, parts->host, parts->port, parts->tls);
        if (!connection)
            return false;
        auto existing = file_size(m_request.system_path);
        m_resume_offset = existing.value_or(0);
        if (!connection->send_all(download_request_text(*parts), m_wait, m_options.peer_limit_ms))
            return false;
        LineReader reader(*connection);
        auto head = read_head(reader);
        if (head == Head::failed)
            return false;
        if (head == Head::redirect) {
            m_url = resolve_location(m_url, m_location);
            continue;
        }
        if (m_content_length == 0 && !interpreter::starts_with_upper(m_content_type, "AUDIO")) {
            // No length and not a stream: the body is fetched again, as
            // text lines, by a request of its own.
            m_file.reset();
            connection.reset();
            return fetch_text(m_url);
        }
        return receive_body(reader);
    }
}

std::string Download::download_request_text(const UrlParts& parts) const
{
    std::string text = "GET " + parts.path + " HTTP/1.0\r\n";
    text += "User-Agent: " + m_request.user_agent + "\r\n";
    text += "Accept: */*\r\n";
    text += "Accept-Encoding: identity\r\n";
    text += "Host: " + parts.host + "\r\n";
    text += "Connection: Close\r\n";
    if (file_size(m_request.system_path))
        text += "Range: bytes=" + interpreter::format_number(m_resume_offset) + "-\r\n";
    if (!m_request.cookie.empty())
        text += "Cookie: " + m_request.cookie + "\r\n";
    text += "\r\n";
    return text;
}

std::string Download::text_fetch_request_text(const UrlParts& parts) const
{
    std::string text = "GET " + parts.path + " HTTP/1.0\r\n";
    text += "Host: " + parts.host + "\r\n";
    text += "User-Agent: " + m_request.user_agent + "\r\n";
    text += "Connection: close\r\n";
    text += "Accept-Language: pt-br\r\n";
    text += "UA-CPU: x86\r\n";
    if (!m_request.cookie.empty())
        text += "Cookie: " + m_request.cookie + "\r\n";
    text += "\r\n";
    return text;
}

bool Download::read_head_line(LineReader& reader, std::string& line)
{
    line.clear();
    for (;;) {
        auto status = reader.read_bounded_line(m_wait, m_options.peer_limit_ms, max_header_line, line);
        if (status == LineStatus::line)
            return true;
        if (status != LineStatus::key_waiting || !handle_key())
            return false;
    }
}

Download::Head Download::read_head(LineReader& reader)
{
    std::string line;
    if (!read_head_line(reader, line))
        return Head::failed;
    auto status = parse_status_code(line);
    if (!status) {
        message("Erro http: resposta inv\xE1lida do servidor.");
        return Head::failed;
    }
    m_status = *status;
    if (m_status == 400) {
        message("Erro http400:Requisi\xE7\xE3o http n\xE3o foi bem formulada.");
        return Head::failed;
    }
    if (m_status == 404) {
        message("Erro http404: P\xE1gina n\xE3o encontrada.");
        return Head::failed;
    }
    if (m_status == 206)
        message("Retomando download");
    m_content_length = 0;
    m_content_type.clear();
    for (int count = 0;; ++count) {
        if (count > max_header_lines || !read_head_line(reader, line))
            return Head::failed;
        if (line.empty())
            break;
        auto header = classify_header(line);
        switch (header.kind) {
        case HeaderKind::location:
            if (header.value.empty())
                break;
            m_location = header.value;
            return Head::redirect;
        case HeaderKind::content_type:
            m_content_type = header.value;
            break;
        case HeaderKind::content_length:
            if (!header.length)
                return Head::failed;
            m_content_length = *header.length;
            break;
        case HeaderKind::other:
            break;
        }
    }
    // Only a whole body or the rest of one goes into the user's file; any
    // other answer (an error page, a refused range) would corrupt it.
    if (m_status != 200 && m_status != 206) {
        message("Erro http" + interpreter::format_number(m_status) + ": resposta inesperada do servidor.");
        return Head::failed;
    }
    bool fresh = m_status == 200 || !file_size(m_request.system_path);
    if (fresh)
        m_resume_offset = 0;
    m_file.reset(std::fopen(m_request.system_path.c_str(), fresh ? "wb" : "r+b"));
    if (!m_file)
        return Head::failed;
    if (!fresh && fseeko(m_file.get(), static_cast<off_t>(m_resume_offset), SEEK_SET) != 0)
        return Head::failed;
    return Head::body;
}

bool Download::receive_body(LineReader& reader)
{
    // The file is written in large steps even though blocks are 4096 bytes:
    // the stream buffer only changes how often the system is called.
    std::setvbuf(m_file.get(), nullptr, _IOFBF, 1 << 18);
    m_streaming = m_content_length == 0;
    int64_t remaining = m_streaming ? stream_remaining : m_content_length;
    std::vector<char> block(body_block_size);
    bool connection_ended = false;
    bool write_failed = false;
    // Bytes taken so far go to the file before every wait, so that what
    // arrived is on disk for a progress report and for a later resume.
    auto store = [&](size_t& count) {
        if (count > 0 && std::fwrite(block.data(), 1, count, m_file.get()) != count)
            write_failed = true;
        if (!m_streaming)
            remaining -= int64_t(count);
        count = 0;
    };
    while (!m_stopped && !connection_ended && !write_failed) {
        size_t wanted = remaining < int64_t(body_block_size) ? size_t(remaining) : body_block_size;
        if (wanted == 0)
            break;
        size_t count = 0;
        while (count < wanted && !m_stopped) {
            auto bytes = reader.buffered();
            if (!bytes.empty()) {
                size_t taken = std::min(bytes.size(), wanted - count);
                std::copy_n(bytes.data(), taken, block.data() + count);
                reader.consume(taken);
                count += taken;
                continue;
            }
            auto received = reader.connection().receive({ block.data() + count, wanted - count });
            if (received.status == platform::IoStatus::done) {
                count += received.count;
                continue;
            }
            store(count);
            wanted = remaining < int64_t(body_block_size) ? size_t(remaining) : body_block_size;
            if (received.status != platform::IoStatus::would_block) {
                connection_ended = true;
                break;
            }
            auto outcome = reader.connection().wait_for_data(m_wait, m_options.peer_limit_ms, true);
            if (outcome == WaitOutcome::timed_out) {
                connection_ended = true;
                break;
            }
            if (outcome == WaitOutcome::key_waiting)
                handle_key();
        }
        store(count);
        if (m_stopped || connection_ended || write_failed)
            break;
        if (m_click && m_state.sound) {
            // 8-bit mono at 11025 Hz; it queues behind any speech and
            // returns without waiting for its end.
            auto samples = progress_click_samples();
            m_state.sound->play_samples(samples, 11025, 1, 8);
        }
        if (m_runtime.terminal.key_waiting())
            handle_key();
    }
    bool flushed = std::fflush(m_file.get()) == 0 && !write_failed;
    m_file.reset();
    if (m_streaming)
        return flushed;
    return flushed && !m_stopped && remaining == 0;
}

bool Download::handle_key()
{
    // The program is ending: the download stops as it would on "s".
    if (m_runtime.stop_requested) {
        m_stopped = true;
        return false;
    }
    auto key = m_runtime.terminal.read_key_press();
    if (key.extended)
        return true;
    if (key.code == key_enter) {
        speak_progress();
    } else if (key.code == key_space) {
        m_click = !m_click;
    } else if (key.code == key_escape) {
        message("Deseja parar o download?");
        auto answer = m_runtime.terminal.read_key_press();
        std::string answer_text(1, static_cast<char>(answer.code));
        if (answer.extended) {
            answer_text = "#0#" + interpreter::format_number(answer.code);
        } else if (answer.code < 32) {
            answer_text = "#" + interpreter::format_number(answer.code);
        }
        m_runtime.speech.speak_text(answer_text);
        m_runtime.terminal.write_text(answer_text);
        m_runtime.terminal.end_line();
        if (answer.is('s') || answer.is('S')) {
            message("O download foi interrompido.");
            m_stopped = true;
            return false;
        }
    }
    return true;
}

void Download::speak_progress()
{
    ProgressFigures figures;
    if (m_file)
        std::fflush(m_file.get());
    figures.file_size = file_size(m_request.system_path).value_or(0);
    figures.total = m_content_length + m_resume_offset;
    figures.streaming = m_streaming;
    figures.file_name = m_request.file_name;
    for (const auto& piece : progress_report(figures))
        m_runtime.speech.speak_text(piece);
}

bool Download::fetch_text(const std::string& url)
{
    auto parts = split_url(url);
    if (!parts)
        return false;
    auto connection = m_state.open_connection(m_runtime, parts->host, parts->port, parts->tls);
    if (!connection || !connection->send_all(text_fetch_request_text(*parts), m_wait, m_options.peer_limit_ms))
        return false;
    LineReader reader(*connection);
    std::string line;
    for (int count = 0;; ++count) {
        line.clear();
        auto status = reader.read_bounded_line(m_wait, m_options.peer_limit_ms, max_header_line, line);
        if (status == LineStatus::key_waiting) {
            if (!handle_key())
                return false;
            continue;
        }
        if (status == LineStatus::ended || (status == LineStatus::line && line.empty()))
            break;
        if (status != LineStatus::line || count > max_header_lines)
            return false;
    }
    File file(std::fopen(m_request.system_path.c_str(), "wb"));
    if (!file)
        return false;
    for (;;) {
        line.clear();
        auto status = reader.read_bounded_line(m_wait, m_options.peer_limit_ms, max_line_length, line);
        if (status == LineStatus::key_waiting) {
            if (!handle_key())
                break;
            continue;
        }
        if (status == LineStatus::line) {
            line += "\r\n";
            if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size())
                return false;
            continue;
        }
        if (status == LineStatus::too_long || status == LineStatus::timed_out)
            return false;
        // The end of the connection is followed by one empty line, as the
        // text files the scripts read expect a last line end.
        std::fputs("\r\n", file.get());
        break;
    }
    return std::fflush(file.get()) == 0 && !m_stopped;
}

}

bool run_download(interpreter::Runtime& runtime, const DownloadRequest& request)
{
    if (request.url.empty() || request.file_name.empty() || request.system_path.empty())
        return false;
    Download download(runtime, request);
    return download.run();
}

}
