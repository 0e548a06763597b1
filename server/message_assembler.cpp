#include "message_assembler.h"

#include "common/messages.h"

namespace lisgar {

QList<QByteArray> MessageAssembler::feed(const QByteArray& bytes) {
    static const QByteArray marker = common::MessageMarker();
    const qsizetype m = marker.size();
    QList<QByteArray> done;
    buf_ += bytes;
    for (;;) {
        if (state_ != State::InMessage) {
            const qsizetype at = buf_.indexOf(marker);
            if (at < 0) {
                keepMarkerStart();
                return done;
            }
            buf_.remove(0, at + m);
            state_ = State::InMessage;
            scanned_ = 0;
            flushed_ = 0;
            continue;
        }
        const qsizetype room = kLimit - flushed_;
        const qsizetype at = buf_.indexOf(marker, scanned_);
        if (at >= 0 && at <= room) {
            done.append(buf_.left(at));
            buf_.remove(0, at);  // the marker opens the next message
            state_ = State::Idle;
            continue;
        }
        if (buf_.size() > room) {
            done.append(buf_.left(room));
            buf_.remove(0, room);
            state_ = State::Dropping;
            continue;
        }
        scanned_ = qMax<qsizetype>(0, buf_.size() - (m - 1));
        return done;
    }
}

QByteArray MessageAssembler::flush() {
    if (state_ != State::InMessage) return {};
    static const QByteArray marker = common::MessageMarker();
    qsizetype keep = 0;
    for (qsizetype n = qMin<qsizetype>(marker.size() - 1, buf_.size()); n > 0; --n)
        if (buf_.endsWith(marker.left(n))) {
            keep = n;
            break;
        }
    if (keep == 0 && buf_.endsWith('\r')) keep = 1;
    const QByteArray out = buf_.left(buf_.size() - keep);
    buf_.remove(0, out.size());
    scanned_ = qMax<qsizetype>(0, scanned_ - out.size());
    flushed_ += out.size();
    return out;
}

std::optional<QByteArray> MessageAssembler::finish() {
    std::optional<QByteArray> held;
    if (state_ == State::InMessage) held = buf_;
    state_ = State::Idle;
    buf_.clear();
    scanned_ = 0;
    flushed_ = 0;
    return held;
}

void MessageAssembler::keepMarkerStart() {
    static const QByteArray marker = common::MessageMarker();
    for (qsizetype n = qMin<qsizetype>(marker.size() - 1, buf_.size()); n > 0; --n) {
        if (buf_.endsWith(marker.left(n))) {
            buf_ = buf_.right(n);
            return;
        }
    }
    buf_.clear();
}

}  // namespace lisgar
