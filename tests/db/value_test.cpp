// A field value: read as text and as number, and compared as the criteria compare.
#include "db/value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace tableau::db {
namespace {

TEST(Value, ReadsAsTextAndNumber) {
    EXPECT_EQ(Value().asText(), "");
    EXPECT_EQ(Value().asNumber(), 0);
    EXPECT_EQ(Value().asInteger(), 0);
    EXPECT_EQ(Value::integer(-42).asText(), "-42");
    EXPECT_EQ(Value::real(2.0).asText(), "2");
    EXPECT_EQ(Value::real(1.5).asText(), "1.5");
    EXPECT_EQ(Value::real(0.1).asText(), "0.1");
    EXPECT_EQ(Value::real(2.5).asInteger(), 2);  // half to even
    EXPECT_EQ(Value::real(3.5).asInteger(), 4);
    EXPECT_EQ(Value::text(" 12abc").asInteger(), 12);
    EXPECT_EQ(Value::text("x").asNumber(), 0);
    EXPECT_EQ(Value::real(1e300).asInteger(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Value::real(-1e300).asInteger(), std::numeric_limits<std::int64_t>::min());
}

TEST(Value, ComparesLikeTheCriteria) {
    EXPECT_EQ(CompareValues(Value::integer(3), Value::real(3.0)), 0);
    EXPECT_EQ(CompareValues(Value::text("10"), Value::text("9")), -1);
    EXPECT_EQ(CompareValues(Value::text("\x80"), Value::text("z")), 1);
    EXPECT_EQ(CompareValues(Value::text("5"), Value::integer(5)), 0);
    EXPECT_FALSE(CompareValues(Value::text("5a"), Value::integer(5)).has_value());
    EXPECT_FALSE(CompareValues(Value(), Value()).has_value());
    EXPECT_EQ(CompareValues(Value::integer(9007199254740993), Value::integer(9007199254740992)), 1);
}

}  // namespace
}  // namespace tableau::db
