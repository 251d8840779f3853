// ReplyReader: reads one HTTP reply as its bytes arrive, in blocks of any size — the header
// once its end is in, then the body as HTTP frames it (Content-Length, chunked, or up to the
// peer's close), handing body bytes to a BodyOutput as they come.
#ifndef SRC_NET_REPLY_READER_H
#define SRC_NET_REPLY_READER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/string.h"

class BodyOutput {
public:
    virtual ~BodyOutput() = default;
    // False when the bytes could not be stored; the reply then fails.
    virtual bool Write(const std::uint8_t* bytes, std::size_t length) = 0;
};

class ReplyReader {
public:
    enum class State { Header, Body, Complete, Failed };

    // Longest header accepted; a peer that never ends its header cannot grow memory.
    static constexpr std::size_t kMaxHeaderLength = 64 * 1024;

    // maxBodyLength < 0: no limit.
    explicit ReplyReader(std::int64_t maxBodyLength = -1);

    // Takes the next received block. Only a 200 reply's body is read: any other reply is
    // complete with its header. Bytes after the end of the reply are ignored.
    State Feed(const std::uint8_t* bytes, std::size_t length, BodyOutput& out);
    // The peer closed the connection: completes a body that runs to the close and fails a
    // reply cut short.
    State PeerClosed();

    State GetState() const { return state_; }
    // 0 until the status line is in, and for a reply whose status line is not HTTP.
    int Status() const { return status_; }
    bool HeaderDone() const { return state_ != State::Header && headerLength_ > 0; }
    std::int64_t HeaderLength() const { return headerLength_; }
    // Body length as far as known: the declared length, the chunk sizes seen so far, or the
    // bytes received of a body that runs to the close. -1 while unknown.
    std::int64_t ContentLength() const;
    std::int64_t BodyLength() const { return bodyLength_; }
    bool Chunked() const { return chunked_; }
    const String& Location() const { return location_; }
    // The peer closed before the end of the header.
    bool ClosedInHeader() const { return closedInHeader_; }

private:
    enum class ChunkPart { SizeLine, Data, DataEnd, Trailer };

    void ReadStatusLine();
    bool ParseHeader();
    void ParseField(std::string_view line);
    std::size_t FeedBody(const std::uint8_t* bytes, std::size_t length, BodyOutput& out);
    std::size_t FeedChunked(const std::uint8_t* bytes, std::size_t length, BodyOutput& out);
    bool TakeLine(const std::uint8_t* bytes, std::size_t length, std::size_t& used);
    bool ParseChunkSize();
    bool Deliver(const std::uint8_t* bytes, std::size_t length, BodyOutput& out);
    State Fail();

    std::int64_t maxBodyLength_;
    State state_ = State::Header;
    std::string header_;
    std::size_t scanned_ = 0;  // header bytes already searched for the blank line
    int status_ = 0;
    bool statusRead_ = false;
    std::int64_t headerLength_ = 0;
    std::int64_t declaredLength_ = -1;
    bool chunked_ = false;
    String location_;
    bool closedInHeader_ = false;
    std::int64_t bodyLength_ = 0;
    std::int64_t chunkTotal_ = 0;

    ChunkPart chunkPart_ = ChunkPart::SizeLine;
    std::string line_;
    std::int64_t chunkLeft_ = 0;
};

#endif  // SRC_NET_REPLY_READER_H
