// SPDX-License-Identifier: GPL-3.0-or-later
// MediaCommand: one media-control command string, parsed.
#include "media/media_command.h"

#include <vector>

namespace media {

namespace {

using base::Error;

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool same_word(std::string_view word, std::string_view lower)
{
    if (word.size() != lower.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (lower_ascii(word[i]) != lower[i])
            return false;
    }
    return true;
}

std::string lower_word(std::string_view word)
{
    std::string lower(word);
    for (char& c : lower)
        c = lower_ascii(c);
    return lower;
}

struct Token {
    std::string text;
    bool quoted = false;
};

// Blanks separate words; a double quote opens a word that runs to the next
// double quote, blanks and all.
base::Result<std::vector<Token>> split_words(std::string_view text)
{
    std::vector<Token> words;
    size_t at = 0;
    while (at < text.size()) {
        if (static_cast<unsigned char>(text[at]) <= 32) {
            ++at;
            continue;
        }
        if (text[at] == '"') {
            size_t end = text.find('"', at + 1);
            if (end == std::string_view::npos)
                return Error { "a quoted name has no closing quote" };
            words.push_back({ std::string(text.substr(at + 1, end - at - 1)), true });
            at = end + 1;
            continue;
        }
        size_t end = at;
        while (end < text.size() && static_cast<unsigned char>(text[end]) > 32)
            ++end;
        words.push_back({ std::string(text.substr(at, end - at)), false });
        at = end;
    }
    return words;
}

std::optional<int64_t> parse_number(std::string_view word)
{
    if (word.empty() || word.size() > 13)
        return std::nullopt;
    int64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max_media_number)
        return std::nullopt;
    return value;
}

// Reads the words after the verb one by one.
class WordReader {
public:
    explicit WordReader(std::vector<Token> words)
        : m_words(std::move(words))
    {
    }
    bool at_end() const { return m_next >= m_words.size(); }
    const Token& next() { return m_words[m_next++]; }
    const Token* peek() const { return at_end() ? nullptr : &m_words[m_next]; }
    // Takes the next word when it is the keyword `lower`.
    bool take(std::string_view lower)
    {
        if (at_end() || m_words[m_next].quoted || !same_word(m_words[m_next].text, lower))
            return false;
        ++m_next;
        return true;
    }
    std::optional<int64_t> take_number()
    {
        if (at_end())
            return std::nullopt;
        return parse_number(next().text);
    }

private:
    std::vector<Token> m_words;
    size_t m_next = 0;
};

constexpr struct {
    std::string_view word;
    MediaVerb verb;
} verbs[] = {
    { "open", MediaVerb::open },
    { "play", MediaVerb::play },
    { "pause", MediaVerb::pause },
    { "resume", MediaVerb::resume },
    { "stop", MediaVerb::stop },
    { "close", MediaVerb::close },
    { "seek", MediaVerb::seek },
    { "status", MediaVerb::status },
    { "set", MediaVerb::set },
    { "setaudio", MediaVerb::set_audio },
    { "window", MediaVerb::window },
};

// "mpegvideo!c:\a.mp3" names the device and the file; a name without "!"
// is only the file.
base::Result<void> take_element(const Token& word, MediaCommand& command)
{
    std::string_view text = word.text;
    size_t bang = text.find('!');
    if (bang != std::string_view::npos) {
        command.device_type = lower_word(text.substr(0, bang));
        text = text.substr(bang + 1);
        if (command.device_type.empty())
            return Error { "the device before \"!\" is empty" };
    }
    if (text.empty())
        return Error { "no file is named" };
    command.target = std::string(text);
    return {};
}

Error unexpected(const Token& word) { return Error { "unexpected word '" + word.text + "'" }; }

base::Result<void> parse_open(WordReader& words, MediaCommand& command)
{
    if (auto element = take_element(words.next(), command); !element)
        return element;
    while (!words.at_end()) {
        if (words.take("type")) {
            if (words.at_end())
                return Error { "\"type\" names no device" };
            command.device_type = lower_word(words.next().text);
        } else if (words.take("alias")) {
            if (words.at_end())
                return Error { "\"alias\" names no alias" };
            command.alias = words.next().text;
            if (command.alias.empty())
                return Error { "the alias is empty" };
        } else if (words.take("shareable") || words.take("notify")) {
        } else if (words.take("wait")) {
            command.wait = true;
        } else {
            return unexpected(words.next());
        }
    }
    return {};
}

base::Result<void> parse_play(WordReader& words, MediaCommand& command)
{
    while (!words.at_end()) {
        if (words.take("from")) {
            command.from = words.take_number();
            if (!command.from)
                return Error { "\"from\" needs a position" };
        } else if (words.take("to")) {
            command.to = words.take_number();
            if (!command.to)
                return Error { "\"to\" needs a position" };
        } else if (words.take("notify")) {
        } else if (words.take("wait")) {
            command.wait = true;
        } else {
            return unexpected(words.next());
        }
    }
    return {};
}

base::Result<void> parse_seek(WordReader& words, MediaCommand& command)
{
    if (!words.take("to") || words.at_end())
        return Error { "\"seek\" needs \"to\" and a position" };
    if (words.take("start")) {
        command.seek_place = SeekPlace::start;
    } else if (words.take("end")) {
        command.seek_place = SeekPlace::end;
    } else {
        auto position = words.take_number();
        if (!position)
            return Error { "\"seek\" needs a position" };
        command.seek_to = *position;
    }
    return {};
}

base::Result<void> parse_status(WordReader& words, MediaCommand& command)
{
    if (words.take("mode"))
        command.status_item = StatusItem::mode;
    else if (words.take("length"))
        command.status_item = StatusItem::length;
    else if (words.take("position"))
        command.status_item = StatusItem::position;
    else if (words.take("ready"))
        command.status_item = StatusItem::ready;
    else if (words.take("time") && words.take("format"))
        command.status_item = StatusItem::time_format;
    else
        return Error { "unknown status item" };
    return {};
}

base::Result<void> parse_set(WordReader& words, MediaCommand& command)
{
    if (!words.take("time") || !words.take("format"))
        return Error { "only \"time format\" can be set" };
    if (words.take("milliseconds") || words.take("ms"))
        command.time_format = TimeFormat::milliseconds;
    else if (words.take("samples"))
        command.time_format = TimeFormat::samples;
    else
        return Error { "unknown time format" };
    return {};
}

base::Result<void> parse_set_audio(WordReader& words, MediaCommand& command)
{
    if (words.take("left"))
        command.side = AudioSide::left;
    else if (words.take("right"))
        command.side = AudioSide::right;
    else
        (void)words.take("all");
    if (!words.take("volume") || !words.take("to"))
        return Error { "\"setaudio\" needs \"volume to\"" };
    auto volume = words.take_number();
    if (!volume || *volume > 1000)
        return Error { "the volume is not a number from 0 to 1000" };
    command.volume = static_cast<int>(*volume);
    return {};
}

// The window a video plays in: there is no video, so any window command on
// an open alias is accepted, but a handle must still be a number.
base::Result<void> parse_window(WordReader& words, MediaCommand&)
{
    while (!words.at_end()) {
        if (words.take("handle")) {
            if (!words.take_number())
                return Error { "\"handle\" needs a number" };
        } else {
            (void)words.next();
        }
    }
    return {};
}

}

base::Result<MediaCommand> parse_media_command(std::string_view text)
{
    auto split = split_words(text);
    if (!split)
        return split.error();
    if (split->empty())
        return Error { "the command is empty" };
    WordReader words(std::move(*split));
    MediaCommand command;
    const Token& verb_word = words.next();
    bool known = false;
    for (const auto& verb : verbs) {
        if (!verb_word.quoted && same_word(verb_word.text, verb.word)) {
            command.verb = verb.verb;
            known = true;
            break;
        }
    }
    if (!known)
        return Error { "unknown command '" + verb_word.text + "'" };
    if (words.at_end())
        return Error { "the command names no device" };

    base::Result<void> rest;
    switch (command.verb) {
    case MediaVerb::open:
        rest = parse_open(words, command);
        break;
    case MediaVerb::play:
        // "play" of a file opens it on the way, so its word may carry a
        // device prefix like an element of "open".
        rest = take_element(words.next(), command);
        if (rest)
            rest = parse_play(words, command);
        break;
    case MediaVerb::seek:
        command.target = words.next().text;
        rest = parse_seek(words, command);
        break;
    case MediaVerb::status:
        command.target = words.next().text;
        rest = parse_status(words, command);
        break;
    case MediaVerb::set:
        command.target = words.next().text;
        rest = parse_set(words, command);
        break;
    case MediaVerb::set_audio:
        command.target = words.next().text;
        rest = parse_set_audio(words, command);
        break;
    case MediaVerb::window:
        command.target = words.next().text;
        rest = parse_window(words, command);
        break;
    case MediaVerb::pause:
    case MediaVerb::resume:
    case MediaVerb::stop:
    case MediaVerb::close:
        command.target = words.next().text;
        while (rest && !words.at_end()) {
            if (words.take("wait"))
                command.wait = true;
            else if (!words.take("notify"))
                rest = unexpected(words.next());
        }
        break;
    }
    if (!rest)
        return rest.error();
    if (!words.at_end())
        return unexpected(words.next());
    if (command.target.empty())
        return Error { "the device name is empty" };
    return command;
}

}
