// The record stream between the Jet reader and the program: what the reader encodes comes
// back whole, however the bytes arrive, and a broken stream is refused.
#include "db/jet/jet_stream.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace tableau::db::jet {
namespace {

TEST(JetStream, BrokenStreamsAreRefused) {
    jet_stream::Encoder out;
    out.columns({"A", "B"});
    out.beginRow();
    out.integer(-7);
    out.text("\xC3\xA8");  // è in UTF-8
    out.endRow();
    out.beginRow();
    out.null();
    out.real(99.99);
    out.endRow();
    out.end(2);
    const std::string whole = out.buffer();

    // Fed a byte at a time, the same rows come out, texts in Windows-1252.
    jet_stream::Decoder bytewise;
    for (const char c : whole) {
        bytewise.feed(std::string_view(&c, 1));
    }
    ASSERT_TRUE(bytewise.complete());
    const auto& rows = bytewise.content().rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].asInteger(), -7);
    EXPECT_EQ(rows[0][1].textRef(), "\xE8");
    EXPECT_TRUE(rows[1][0].isNull());
    EXPECT_EQ(rows[1][1].asNumber(), 99.99);
    EXPECT_EQ(bytewise.content().endCount, 2u);

    jet_stream::Decoder cut;
    cut.feed(std::string_view(whole).substr(0, whole.size() - 3));
    EXPECT_FALSE(cut.complete());
    EXPECT_FALSE(cut.content().endCount);

    for (const std::string& broken :
         {std::string("\xFF\xFF\xFF\x7F", 4) + "R",                            // absurd length
          std::string("\x01\x00\x00\x00", 4) + "Q",                            // unknown record
          std::string("\x02\x00\x00\x00", 4) + "R?",                           // unknown value tag
          std::string("\x05\x00\x00\x00", 4) + std::string("T\x09\0\0\0", 5),  // name past the end
          whole + whole}) {                                                    // rows after the end
        jet_stream::Decoder decoder;
        EXPECT_THROW(decoder.feed(broken), std::runtime_error) << broken.size();
    }
    jet_stream::Decoder tooFew;  // a row with fewer fields than columns
    jet_stream::Encoder shortRow;
    shortRow.columns({"A", "B"});
    shortRow.beginRow();
    shortRow.integer(1);
    shortRow.endRow();
    EXPECT_THROW(tooFew.feed(shortRow.buffer()), std::runtime_error);
}

}  // namespace
}  // namespace tableau::db::jet
