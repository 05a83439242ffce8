#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/string_table.h"
#include "split/overlaps.h"
#include "split/special_split.h"

namespace partita {
namespace {

using Points = std::vector<std::uint64_t>;

// Equal parts divide by whole ms, the remainder staying in the last part; fixed lengths stop
// before the end.
TEST(SpecialSplit, PointArithmetic) {
    EXPECT_EQ(EqualPartPoints(3, 0, 10000), (Points{3333, 6666}));
    EXPECT_EQ(EqualPartPoints(2, 1000, 5000), (Points{3000}));
    EXPECT_EQ(EqualPartPoints(1, 0, 10000), Points{});
    EXPECT_EQ(EqualPartPoints(0, 0, 10000), Points{});
    EXPECT_EQ(EqualPartPoints(5, 0, 3), Points{});
    EXPECT_EQ(FixedLengthPoints(60000, 0, 180000), (Points{60000, 120000}));
    EXPECT_EQ(FixedLengthPoints(60000, 0, 180001), (Points{60000, 120000, 180000}));
    EXPECT_EQ(FixedLengthPoints(1000, 500, 3000), (Points{1500, 2500}));
    EXPECT_EQ(FixedLengthPoints(0, 0, 180000), Points{});
    EXPECT_EQ(FixedLengthPoints(5000, 0, 5000), Points{});
}

class SpecialSplitValidation : public ::testing::Test {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }
    static SpecialSplitRequest ByTime(std::uint64_t step, std::uint64_t length,
                                      SpecialSplitScope scope = SpecialSplitScope::Whole) {
        SpecialSplitRequest r;
        r.type = SpecialSplitType::FixedTime;
        r.stepMs = step;
        r.scopeLengthMs = length;
        r.scope = scope;
        return r;
    }
    static std::optional<Msg> Refused(const SpecialSplitRequest& r) {
        auto refusal = ValidateSpecialSplit(r);
        return refusal ? refusal->message.Id() : std::nullopt;
    }
};

// Counts of 1 to 999 pass; anything else is InvalidPartCount on the count field.
TEST_F(SpecialSplitValidation, Counts) {
    SpecialSplitRequest r;
    r.scopeLengthMs = 1000;
    for (int count : {1, 2, 999})
        EXPECT_EQ(Refused((r.count = count, r)), std::nullopt) << count;
    r.count = 1000;
    auto refusal = ValidateSpecialSplit(r);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message.Id(), Msg::InvalidPartCount);
    EXPECT_EQ(refusal->field, SpecialSplitRefusal::Field::Count);
    EXPECT_EQ(refusal->message.Text(), "Invalid number of sections. It must be between 1 and 999.");
    EXPECT_EQ(Refused((r.count = 0, r)), Msg::InvalidPartCount);
}

// Part lengths: 0 (169), too many parts (243, also for a group's 100 hours), longer than the
// track (172) or the source (171); a length equal to the scope passes.
TEST_F(SpecialSplitValidation, PartLengths) {
    EXPECT_EQ(Refused(ByTime(0, 100000)), Msg::InvalidPartLength);
    EXPECT_EQ(Refused(ByTime(100, 99900)), std::nullopt);
    EXPECT_EQ(Refused(ByTime(100, 99901)), Msg::TooManyParts);
    EXPECT_EQ(Refused(ByTime(360360, kGroupScopeLengthMs)), Msg::TooManyParts);
    EXPECT_EQ(Refused(ByTime(360361, kGroupScopeLengthMs)), std::nullopt);
    EXPECT_EQ(Refused(ByTime(60001, 60000)), Msg::PartLongerThanSource);
    EXPECT_EQ(Refused(ByTime(60001, 60000, SpecialSplitScope::SelectedTrack)),
              Msg::PartLongerThanTrack);
    EXPECT_EQ(Refused(ByTime(60000, 60000)), std::nullopt);

    auto refusal = ValidateSpecialSplit(ByTime(100, 3600000));
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message.Text(),
              "0:00.100 is too small. The maximum number of pieces created at one time must be "
              "less than 999.");
    EXPECT_EQ(refusal->field, SpecialSplitRefusal::Field::Time);
    refusal = ValidateSpecialSplit(ByTime(70000, 65000, SpecialSplitScope::SelectedTrack));
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->message.Text().find("1:10.000 is invalid"), std::string::npos);
    EXPECT_NE(refusal->message.Text().find("1:05.000"), std::string::npos);
}

// The list's summary names the overlaps a track has.
TEST(Overlaps, Summary) {
    SetCurrentLanguage(Language::Chinese);
    EXPECT_EQ(OverlapSummary({}), "无交迭");
    EXPECT_EQ(OverlapSummary({0, 1500}), "向前交迭: 0:01.500");
    EXPECT_EQ(OverlapSummary({2000, 0}), "向后交迭: 0:02.000");
    EXPECT_EQ(OverlapSummary({2000, 1500}), "向前/向后交迭: 0:01.500/0:02.000");
}

// The automatic switch is stored only with the whole-source scope.
TEST(Overlaps, Settings) {
    MemorySettingsStore store;
    OverlapSettings values{{300, 700}, true};
    values.Write(store, false);
    OverlapSettings read = OverlapSettings::Read(store);
    EXPECT_EQ(read.overlaps, (Overlaps{300, 700}));
    EXPECT_FALSE(read.automatic);
    values.Write(store, true);
    EXPECT_TRUE(OverlapSettings::Read(store).automatic);
}

}  // namespace
}  // namespace partita
