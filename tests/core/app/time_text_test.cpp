#include <gtest/gtest.h>

#include "app/time_text.h"

namespace partita {
namespace {

// Each style formats with integer fields and grows hours or minutes without bound.
TEST(TimeText, FormatsEveryStyle) {
    EXPECT_EQ(FormatTime(62'500, 6), "1:02.500");
    EXPECT_EQ(FormatTime(3'723'456, 6), "1:02:03.456");
    EXPECT_EQ(FormatTime(3'723'456, 8), "62:03:45");
    EXPECT_EQ(FormatTime(3'723'456, 2), "1:02:03");
    EXPECT_EQ(FormatTime(3'723'456, 0), "1:02:03");
    EXPECT_EQ(FormatTime(3'723'456, 7), "1:02:03");
    EXPECT_EQ(FormatTime(3'723'456, 1), "62:03.456");
    EXPECT_EQ(FormatTime(3'723'456, 3), "1:02:03.4");
    EXPECT_EQ(FormatTime(3'723'456, 4), "62:03.4");
    EXPECT_EQ(FormatTime(3'723'456, 5), "62:03");
    EXPECT_EQ(FormatTime(0, 6), "0:00.000");
    EXPECT_EQ(FormatTime(5, 8), "00:00:00");
    EXPECT_EQ(FormatTime(360'000'000, 6), "100:00:00.000");
    EXPECT_EQ(FormatTime(UINT64_C(18'446'744'073'709'551'615), 2), "5124095576030:25:51");
}

// The parser takes integer fields and rejects out-of-range ones with 0.
TEST(TimeText, ParsesEveryStyleWithItsChecks) {
    EXPECT_EQ(ParseTime("75:00.000", 1), 4'500'000u);
    EXPECT_EQ(ParseTime("75:00.000", 6), 0u);
    EXPECT_EQ(ParseTime("1:02.5", 6), 62'005u);
    EXPECT_EQ(ParseTime("1:02:03.456", 6), 3'723'456u);
    EXPECT_EQ(ParseTime("100:00:00.000", 6), 360'000'000u);
    EXPECT_EQ(ParseTime("03:25:50", 8), 205'500u);
    EXPECT_EQ(ParseTime("03:25:500", 9), 205'500u);
    EXPECT_EQ(ParseTime("03:25:100", 8), 0u);
    EXPECT_EQ(ParseTime("1:60", 5), 0u);
    EXPECT_EQ(ParseTime("1:59", 5), 119'000u);
    EXPECT_EQ(ParseTime("", 6), 0u);
    EXPECT_EQ(ParseTime("1:02:03", 2), 3'723'000u);
    EXPECT_EQ(ParseTime("1:60:03", 2), 0u);
    EXPECT_EQ(ParseTime("1:02:60", 2), 0u);
    EXPECT_EQ(ParseTime("1:02.1000", 1), 0u);
    EXPECT_EQ(ParseTime("1:02:03", 3), 0u);  // style 3 is format-only
}

// Missing separators make a text invalid; empty fields read as zero.
TEST(TimeText, RequiresItsSeparators) {
    EXPECT_EQ(ParseTime("1:02", 6), 0u);   // the "." is required
    EXPECT_EQ(ParseTime("102.5", 6), 0u);  // no colon
    EXPECT_EQ(ParseTime("1:02", 2), 0u);
    EXPECT_EQ(ParseTime("1.5", 1), 0u);
    EXPECT_EQ(ParseTime(":05.", 6), 5'000u);
    EXPECT_EQ(ParseTime("2:", 5), 120'000u);
    EXPECT_EQ(ParseTime(" 1:02.5x", 6), 62'005u);  // leading digits of each field
}

// Negative fields never wrap into huge unsigned times.
TEST(TimeText, NegativeAndHugeFieldsNeverWrap) {
    EXPECT_EQ(ParseTime("-5:00.000", 1), 0u);
    EXPECT_EQ(ParseTime("0:00.-1", 6), 0u);
    EXPECT_EQ(ParseTime("99999999999999999999999:00", 5), 0u);
}

// Every list time survives a format and parse round trip in its own style.
TEST(TimeText, RoundTripsListAndCueStyles) {
    for (std::uint64_t v : {0ull, 999ull, 59'999ull, 3'599'999ull, 3'600'000ull, 86'399'999ull}) {
        EXPECT_EQ(ParseTime(FormatTime(v, 6), 6), v) << v;
        EXPECT_EQ(ParseTime(FormatTime(v, 1), 1), v) << v;
        EXPECT_EQ(ParseTime(FormatTime(v, 8), 8), v / 10 * 10) << v;
        EXPECT_EQ(ParseTime(FormatTime(v, 2), 2), v / 1000 * 1000) << v;
    }
}

}  // namespace
}  // namespace partita
