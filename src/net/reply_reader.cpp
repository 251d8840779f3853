#include "net/reply_reader.h"

#include <algorithm>
#include <cinttypes>

#include "base/log.h"

namespace {

constexpr std::size_t kMaxLineLength = 4096;
constexpr char kSizeNotFound[] = "Could not parse chunked http reply, chunk size not found";
constexpr char kNotEnoughData[] = "Could not parse chunked http reply, not enough data";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        if (EqualsNoCase(text.substr(i, word.size()), word)) return true;
    }
    return false;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A decimal of at most 18 digits, so it fits a 64-bit count; anything else is refused.
bool ParseLength(std::string_view text, std::int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

ReplyReader::ReplyReader(std::int64_t maxBodyLength) : maxBodyLength_(maxBodyLength) {}

std::int64_t ReplyReader::ContentLength() const {
    if (chunked_) return chunkTotal_;
    if (declaredLength_ >= 0) return declaredLength_;
    return state_ == State::Complete ? bodyLength_ : -1;
}

ReplyReader::State ReplyReader::Feed(const std::uint8_t* bytes, std::size_t length,
                                     BodyOutput& out) {
    if (state_ == State::Body) {
        FeedBody(bytes, length, out);
        return state_;
    }
    if (state_ != State::Header) return state_;

    header_.append(reinterpret_cast<const char*>(bytes), length);
    if (!statusRead_ && header_.find("\r\n") != std::string::npos) ReadStatusLine();
    // Only the new bytes (and the three before them) can complete the blank line.
    const std::size_t end = header_.find("\r\n\r\n", scanned_ >= 3 ? scanned_ - 3 : 0);
    if (end == std::string::npos || end + 4 > kMaxHeaderLength) {
        scanned_ = header_.size();
        if (header_.size() > kMaxHeaderLength) {
            LogErrorTo(NetChannel(), "HTTPConnection: Error, reply header too long");
            return Fail();
        }
        return state_;
    }
    headerLength_ = static_cast<std::int64_t>(end + 4);
    if (!ParseHeader()) return Fail();
    if (status_ != 200) {
        state_ = State::Complete;
        return state_;
    }
    state_ = State::Body;
    const std::string rest = header_.substr(end + 4);
    header_.clear();
    header_.shrink_to_fit();
    if (!chunked_ && declaredLength_ == 0) {
        state_ = State::Complete;
        return state_;
    }
    FeedBody(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size(), out);
    return state_;
}

void ReplyReader::ReadStatusLine() {
    statusRead_ = true;
    const std::string_view line(header_.data(), header_.find("\r\n"));
    // "HTTP/1.0 200 OK": a version word, a blank, three digits.
    const std::size_t blank = line.find(' ');
    if (line.size() < 5 || !EqualsNoCase(line.substr(0, 5), "HTTP/") ||
        blank == std::string_view::npos || line.size() < blank + 4) {
        return;
    }
    const std::string_view code = line.substr(blank + 1, 3);
    if (std::any_of(code.begin(), code.end(), [](char c) { return c < '0' || c > '9'; }) ||
        (line.size() > blank + 4 && line[blank + 4] != ' ')) {
        return;
    }
    status_ = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
}

bool ReplyReader::ParseHeader() {
    std::string_view rest(header_.data(), static_cast<std::size_t>(headerLength_) - 2);
    rest.remove_prefix(std::min(rest.size(), rest.find("\r\n") + 2));  // the status line
    while (!rest.empty()) {
        const std::size_t lineEnd = rest.find("\r\n");
        ParseField(rest.substr(0, lineEnd));
        if (lineEnd == std::string_view::npos) break;
        rest.remove_prefix(lineEnd + 2);
    }
    if (status_ != 200) return true;
    if (chunked_) declaredLength_ = -1;  // HTTP: the chunking decides, not a length field
    if (declaredLength_ == -2) {
        LogErrorTo(NetChannel(), "HTTPConnection: Error, bad Content-Length");
        return false;
    }
    if (maxBodyLength_ >= 0 && declaredLength_ > maxBodyLength_) {
        LogErrorTo(NetChannel(), "HTTPConnection: Error, reply body larger than %" PRId64 " bytes",
                   maxBodyLength_);
        return false;
    }
    return true;
}

void ReplyReader::ParseField(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view name = Trim(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (EqualsNoCase(name, "Content-Length")) {
        std::int64_t length = 0;
        declaredLength_ = ParseLength(value, length) ? length : -2;
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
        chunked_ = ContainsNoCase(value, "chunked");
    } else if (EqualsNoCase(name, "Location") && !value.empty()) {
        location_ = String(value);
    }
}

std::size_t ReplyReader::FeedBody(const std::uint8_t* bytes, std::size_t length, BodyOutput& out) {
    if (chunked_) return FeedChunked(bytes, length, out);
    std::size_t take = length;
    if (declaredLength_ >= 0) {
        take = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(length), declaredLength_ - bodyLength_));
    }
    if (!Deliver(bytes, take, out)) return take;
    if (declaredLength_ >= 0 && bodyLength_ == declaredLength_) state_ = State::Complete;
    return take;
}

std::size_t ReplyReader::FeedChunked(const std::uint8_t* bytes, std::size_t length,
                                     BodyOutput& out) {
    std::size_t used = 0;
    while (used < length && state_ == State::Body) {
        switch (chunkPart_) {
        case ChunkPart::SizeLine:
            if (!TakeLine(bytes, length, used)) break;
            if (!ParseChunkSize()) {
                LogError(kSizeNotFound);
                Fail();
            }
            break;
        case ChunkPart::Data: {
            const std::size_t take = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(length - used), chunkLeft_));
            if (!Deliver(bytes + used, take, out)) break;
            used += take;
            chunkLeft_ -= static_cast<std::int64_t>(take);
            if (chunkLeft_ == 0) chunkPart_ = ChunkPart::DataEnd;
            break;
        }
        case ChunkPart::DataEnd:
            if (!TakeLine(bytes, length, used)) break;
            if (!line_.empty()) {
                LogError(kSizeNotFound);
                Fail();
            }
            chunkPart_ = ChunkPart::SizeLine;
            line_.clear();
            break;
        case ChunkPart::Trailer:
            // Trailer fields are of no use here; the blank line ends the reply.
            if (!TakeLine(bytes, length, used)) break;
            if (line_.empty()) state_ = State::Complete;
            line_.clear();
            break;
        }
    }
    return used;
}

// Collects one line ending in LF (a CR before it is dropped); true once it is complete.
bool ReplyReader::TakeLine(const std::uint8_t* bytes, std::size_t length, std::size_t& used) {
    if (!line_.empty() && line_.back() == '\n') line_.clear();
    while (used < length) {
        const char c = static_cast<char>(bytes[used++]);
        if (c == '\n') {
            if (!line_.empty() && line_.back() == '\r') line_.pop_back();
            return true;
        }
        line_.push_back(c);
        if (line_.size() > kMaxLineLength) {
            LogError(kSizeNotFound);
            Fail();
            return false;
        }
    }
    return false;
}

// "1a;name=value": hexadecimal digits of any width, then optional extensions.
bool ReplyReader::ParseChunkSize() {
    std::int64_t size = 0;
    std::size_t i = 0;
    for (; i < line_.size() && HexValue(line_[i]) >= 0; ++i) {
        if (size > (INT64_MAX >> 4)) return false;
        size = (size << 4) | HexValue(line_[i]);
    }
    if (i == 0) return false;
    const std::string_view rest = Trim(std::string_view(line_).substr(i));
    if (!rest.empty() && rest.front() != ';') return false;
    line_.clear();
    if (size == 0) {
        chunkPart_ = ChunkPart::Trailer;
        return true;
    }
    if (maxBodyLength_ >= 0 && chunkTotal_ + size > maxBodyLength_) {
        LogErrorTo(NetChannel(), "HTTPConnection: Error, reply body larger than %" PRId64 " bytes",
                   maxBodyLength_);
        return false;
    }
    chunkTotal_ += size;
    chunkLeft_ = size;
    chunkPart_ = ChunkPart::Data;
    return true;
}

bool ReplyReader::Deliver(const std::uint8_t* bytes, std::size_t length, BodyOutput& out) {
    if (length == 0) return true;
    if (maxBodyLength_ >= 0 && bodyLength_ + static_cast<std::int64_t>(length) > maxBodyLength_) {
        LogErrorTo(NetChannel(), "HTTPConnection: Error, reply body larger than %" PRId64 " bytes",
                   maxBodyLength_);
        Fail();
        return false;
    }
    if (!out.Write(bytes, length)) {
        LogErrorTo(NetChannel(), "HTTPConnection: Error, could not store the reply body");
        Fail();
        return false;
    }
    bodyLength_ += static_cast<std::int64_t>(length);
    return true;
}

ReplyReader::State ReplyReader::PeerClosed() {
    if (state_ == State::Header) {
        LogInfoTo(NetChannel(), "HTTPConnection: remote closed without sending data");
        closedInHeader_ = true;
        status_ = 0;
        header_.clear();
        state_ = State::Complete;
    } else if (state_ == State::Body) {
        if (chunked_) {
            LogError(kNotEnoughData);
            return Fail();
        }
        if (declaredLength_ >= 0) {
            LogErrorTo(NetChannel(),
                       "HTTPConnection: Error, connection closed %" PRId64 " bytes before the end",
                       declaredLength_ - bodyLength_);
            return Fail();
        }
        state_ = State::Complete;
    }
    return state_;
}

ReplyReader::State ReplyReader::Fail() {
    state_ = State::Failed;
    return state_;
}
