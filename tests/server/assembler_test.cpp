// Cutting one connection's stream into messages, read by read.
#include "common/messages.h"
#include "server/message_assembler.h"

#include <gtest/gtest.h>

namespace {

using lisgar::MessageAssembler;
const QByteArray M = common::MessageMarker();

struct CutCase {
    const char* name;
    QList<QByteArray> reads;
    QList<QByteArray> messages;  // including the one the end of the stream closes
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class AssemblerTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(AssemblerTest, CutsAtMarkersAndAtTheEnd) {
    MessageAssembler a;
    QList<QByteArray> got;
    for (const QByteArray& r : GetParam().reads) got += a.feed(r);
    if (const auto last = a.finish()) got.append(*last);
    EXPECT_EQ(got, GetParam().messages);
    EXPECT_FALSE(a.holding());
}

const qsizetype L = MessageAssembler::kLimit;

const CutCase kCuts[] = {
    {"NothingMarked", {"abc", "", "def"}, {}},
    {"MarkerAloneIsAnEmptyMessage", {M}, {""}},
    {"OneByteAtATime", {"\xA9", "\x08", "\xA9", "\x08", "h", "i"}, {"hi"}},
    {"BackToBack", {M + "one" + M + "two" + M}, {"one", "two", ""}},
    // The stream ending inside what could become a marker: those bytes are the message's.
    {"EndLooksLikeMarkerStart", {M + "x\xA9\x08\xA9"}, {"x\xA9\x08\xA9"}},
    {"MarkerSplitAfterText",
     {M + "a\xA9\x08",
      "\xA9\x08"
      "b"},
     {"a", "b"}},
    {"ExactlyAtTheBound", {M + QByteArray(L, 'x') + M + "n"}, {QByteArray(L, 'x'), "n"}},
    {"PastTheBoundDropsToNextMarker",
     {M + QByteArray(L, 'x'), QByteArray(10, 'y') + "\xA9\x08",
      "\xA9\x08"
      "next"},
     {QByteArray(L, 'x'), "next"}},
};

INSTANTIATE_TEST_SUITE_P(Server, AssemblerTest, ::testing::ValuesIn(kCuts),
                         [](const auto& info) { return std::string(info.param.name); });

// A message shown while it pauses goes on: the flushed part and the rest add up to it, a CR
// or a marker start at the pause stays held, and the bound counts the flushed part.
TEST(AssemblerFlush, KeepsTheMessageOpenAndCountsItAgainstTheBound) {
    MessageAssembler a;
    EXPECT_TRUE(a.feed(M + "ab\r").isEmpty());
    EXPECT_EQ(a.flush(), "ab");
    EXPECT_TRUE(a.feed("\ncd\xA9\x08").isEmpty());
    EXPECT_EQ(a.flush(), "\r\ncd");
    EXPECT_EQ(a.feed("\xA9\x08"
                     "next"),
              QList<QByteArray>({""}));
    EXPECT_EQ(a.finish(), QByteArray("next"));

    EXPECT_TRUE(a.feed(M + QByteArray(L - 1, 'x')).isEmpty());
    EXPECT_EQ(a.flush().size(), L - 1);
    // Past the bound the rest is dropped up to the next marker, which opens a new message.
    EXPECT_EQ(a.feed("yz" + M + "n"), QList<QByteArray>({"y"}));
    EXPECT_EQ(a.finish(), QByteArray("n"));
}

}  // namespace
