// SPDX-License-Identifier: GPL-3.0-or-later
// HttpDownload: one URL into one file over HTTP/1.0 or HTTPS, with resume and redirects.
#pragma once

#include <string>

namespace interpreter {
struct Runtime;
}

namespace net {

struct DownloadRequest {
    std::string url;
    std::string file_name; // as the script wrote it, for the report
    std::string system_path; // where it is on this system
    std::string user_agent;
    std::string cookie; // empty: no cookie line
    bool click = false;
};

// A server may redirect this many times in a row; one more ends the
// download, so that a redirect loop cannot hold the script forever.
constexpr int max_redirects = 10;
// Longest status or header line accepted, and most header lines.
constexpr size_t max_header_line = 16384;
constexpr int max_header_lines = 200;

// Runs the download to its end; true when the whole body (or an audio
// stream until the server closed it) is in the file. Every message of the
// download is written and spoken on the way.
bool run_download(interpreter::Runtime& runtime, const DownloadRequest& request);

}
