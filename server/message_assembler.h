#pragma once
// TCP hands over a stream, not the client's sends: one read may hold part of a message or
// several. The assembler finds messages in the stream of one connection: a message starts
// at a marker and ends at the next marker, or when the caller says it is over (the
// connection closed). Bytes before any marker are not a message. A message that pauses can
// be shown so far (flush) and still goes on with the bytes that follow.
#include <QByteArray>
#include <QList>
#include <optional>

namespace lisgar {

class MessageAssembler {
public:
    // A message never holds more than this; what follows it up to the next marker is dropped.
    static constexpr qsizetype kLimit = 1 << 20;

    // Takes the bytes of one read; returns the messages they completed, each without its
    // marker.
    QList<QByteArray> feed(const QByteArray& bytes);
    // Takes what the held message has so far and keeps the message open: later bytes up to
    // the next marker still belong to it. A tail that may be the start of a marker or of a
    // CR LF stays held.
    QByteArray flush();
    // Ends the message being held, if any, and returns what of it was not flushed.
    std::optional<QByteArray> finish();
    // True while a started message waits for its end.
    bool holding() const { return state_ == State::InMessage; }

private:
    enum class State { Idle, InMessage, Dropping };
    // Keeps only the end of buf_ that may be the first bytes of a marker.
    void keepMarkerStart();

    State state_ = State::Idle;
    QByteArray buf_;         // the message so far, or (idle, dropping) a possible marker start
    qsizetype scanned_ = 0;  // bytes of buf_ known to hold no marker start
    qsizetype flushed_ = 0;  // bytes of the message already taken by flush()
};

}  // namespace lisgar
