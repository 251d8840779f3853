#include "net/reply_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct StringOutput : BodyOutput {
    bool Write(const std::uint8_t* bytes, std::size_t length) override {
        body.append(reinterpret_cast<const char*>(bytes), length);
        return true;
    }
    std::string body;
};

struct Outcome {
    ReplyReader::State state;
    int status;
    std::string body;
};

// Feeds the reply in blocks of `block` bytes, then reports the peer's close when asked.
Outcome Read(const std::string& reply, std::size_t block, bool close, std::int64_t maxBody = -1) {
    ReplyReader reader(maxBody);
    StringOutput out;
    for (std::size_t at = 0; at < reply.size(); at += block) {
        const std::string part = reply.substr(at, block);
        reader.Feed(reinterpret_cast<const std::uint8_t*>(part.data()), part.size(), out);
    }
    if (close) reader.PeerClosed();
    return {reader.GetState(), reader.Status(), out.body};
}

const std::string kChunked = "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

struct GoodCase {
    const char* name;
    std::string reply;
    bool needsClose;  // complete only once the peer closes
    int status;
    std::string body;
};

TEST(ReplyReader, CompletesGoodRepliesWhateverTheBlockSize) {
    const GoodCase cases[] = {
        {"content length", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", false, 200, "hello"},
        {"header names in any case", "HTTP/1.1 200 OK\r\ncontent-LENGTH:5\r\n\r\nhello", false, 200, "hello"},
        {"bytes after the body ignored", "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nhello", false, 200, "he"},
        {"empty body", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, 200, ""},
        {"four-digit chunks", kChunked + "0005\r\nhello\r\n0000\r\n\r\n", false, 200, "hello"},
        {"chunks of any width, extensions, trailers",
         "HTTP/1.1 200 OK\r\ntransfer-encoding: gzip, Chunked\r\nContent-Length: 3\r\n\r\n"
         "5;a=b\r\nhello\r\n00000006\r\n world\r\n1 \r\n!\r\n0\r\nX-Sum: 1\r\n\r\n",
         false, 200, "hello world!"},
        {"body up to the close", "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nall of it", true, 200, "all of it"},
        {"no body up to the close", "HTTP/1.0 200 OK\r\n\r\n", true, 200, ""},
        {"other status ends with the header", "HTTP/1.0 404 Not Found\r\nContent-Length: 3\r\n\r\nabc",
         false, 404, ""},
        {"garbage status line", std::string("\x00\x01 junk\r\n\r\nmore", 16), false, 0, ""},
        {"peer closes in the header", "HTTP/1.0 200 OK\r\nContent-Le", true, 0, ""},
    };
    for (const GoodCase& c : cases) {
        for (std::size_t block : {std::size_t{1}, std::size_t{7}, c.reply.size()}) {
            SCOPED_TRACE(std::string(c.name) + ", block " + std::to_string(block));
            const Outcome before = Read(c.reply, block, false);
            EXPECT_EQ(before.state == ReplyReader::State::Complete, !c.needsClose)
                << "header or body misread";
            const Outcome after = Read(c.reply, block, true);
            EXPECT_EQ(after.state, ReplyReader::State::Complete);
            EXPECT_EQ(after.status, c.status);
            EXPECT_EQ(after.body, c.body);
        }
    }
}

struct BadCase {
    const char* name;
    std::string reply;
    bool close;
};

TEST(ReplyReader, FailsBrokenRepliesWithoutReadingPastThem) {
    const BadCase cases[] = {
        {"negative chunk size", kChunked + "-5\r\nhello\r\n0\r\n\r\n", false},
        {"overflowing chunk size", kChunked + "FFFFFFFFFFFFFFFFFFFFFFFF\r\nhello\r\n0\r\n\r\n", false},
        {"no chunk size", kChunked + "\r\nhello\r\n0\r\n\r\n", false},
        {"chunk longer than its size", kChunked + "0003\r\nhello\r\n0\r\n\r\n", false},
        {"chunked body cut off", kChunked + "0010\r\nonly8byt", true},
        {"negative length", "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nhello", false},
        {"absurd length", "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\nhi", false},
        {"length with junk", "HTTP/1.0 200 OK\r\nContent-Length: 5x\r\n\r\nhello", false},
        {"body cut off before its length", "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhello", true},
        {"endless chunk size line", kChunked + std::string(10000, '1'), false},
        {"endless trailer", kChunked + "0\r\n" + std::string(10000, 'x'), false},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Read(c.reply, 5, c.close).state, ReplyReader::State::Failed);
        EXPECT_EQ(Read(c.reply, c.reply.size(), c.close).state, ReplyReader::State::Failed);
    }
}

TEST(ReplyReader, RefusesABodyLongerThanTheLimit) {
    const std::string declared = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n";
    const std::string untilClose = "HTTP/1.0 200 OK\r\n\r\nhello";
    const std::string chunked = kChunked + "5\r\nhello\r\n0\r\n\r\n";
    for (const std::string& reply : {declared, untilClose, chunked}) {
        SCOPED_TRACE(reply);
        EXPECT_EQ(Read(reply, 3, true, 4).state, ReplyReader::State::Failed);
        const Outcome fits = Read(reply + (reply == declared ? "hello" : ""), 3, true, 5);
        EXPECT_EQ(fits.state, ReplyReader::State::Complete);
        EXPECT_EQ(fits.body, "hello");
    }
}

TEST(ReplyReader, AHeaderWithoutEndFailsAtTheLimit) {
    ReplyReader reader;
    StringOutput out;
    const std::string block(4096, 'x');
    std::size_t fed = 0;
    while (reader.GetState() == ReplyReader::State::Header && fed < 4 * ReplyReader::kMaxHeaderLength) {
        reader.Feed(reinterpret_cast<const std::uint8_t*>(block.data()), block.size(), out);
        fed += block.size();
    }
    EXPECT_EQ(reader.GetState(), ReplyReader::State::Failed);
    EXPECT_LE(fed, ReplyReader::kMaxHeaderLength + block.size());
}

TEST(ReplyReader, KeepsTheLocationOfARedirect) {
    ReplyReader reader;
    StringOutput out;
    const std::string reply = "HTTP/1.0 302 Found\r\nlocation:  /new/x.bin \r\n\r\n";
    reader.Feed(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size(), out);
    EXPECT_EQ(reader.GetState(), ReplyReader::State::Complete);
    EXPECT_EQ(reader.Status(), 302);
    EXPECT_EQ(std::string(reader.Location().Text()), "/new/x.bin");
}

}  // namespace
