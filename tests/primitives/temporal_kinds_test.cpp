// One temporal kind per array where transcripts cannot look: the kind pass
// over words of every position, arrays that arrive mixed (a workspace file
// may hold one), and a padded take written into its argument's own slot.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "primitives/structural.h"
#include "primitives/temporal_kinds.h"
#include "primitives/value_builder.h"
#include "types/temporal.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using types::temporalWord;
using wox::testing::put;

double word(std::int32_t kind, std::int64_t count) { return static_cast<double>(temporalWord(kind, count)); }

std::int64_t wordAt(Interpreter& in, int slot, std::int32_t i) {
    return in.ws.elems<std::int64_t>(in.ws.var(slot))[i];
}

TEST(TemporalKinds, TheKindPassSeesADifferenceAtAnyPosition) {
    std::vector<std::int64_t> w(37);
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = temporalWord(types::kMinuteKind, static_cast<std::int64_t>(i) - 5);
    EXPECT_EQ(kindOfWords(w.data(), 0), kNoKind);
    EXPECT_EQ(kindOfWords(w.data(), static_cast<std::int64_t>(w.size())), types::kMinuteKind);
    for (std::size_t at : {std::size_t{1}, std::size_t{17}, w.size() - 1}) {
        std::vector<std::int64_t> mixed = w;
        mixed[at] = temporalWord(types::kSecondKind, 0);
        EXPECT_EQ(kindOfWords(mixed.data(), static_cast<std::int64_t>(mixed.size())), kMixedKinds) << at;
    }
}

TEST(TemporalKinds, AnEmptySideTakesTheOtherKindAndMixedStaysMixed) {
    EXPECT_EQ(joinKinds(kNoKind, types::kTimeKind), types::kTimeKind);
    EXPECT_EQ(joinKinds(types::kTimeKind, kNoKind), types::kTimeKind);
    EXPECT_EQ(joinKinds(types::kDateKind, types::kDateKind), types::kDateKind);
    EXPECT_EQ(joinKinds(types::kDateKind, types::kMonthKind), kMixedKinds);
    EXPECT_EQ(joinKinds(kMixedKinds, kNoKind), kMixedKinds);
    EXPECT_EQ(joinKinds(kMixedKinds, types::kDateKind), kMixedKinds);
    EXPECT_EQ(temporalFillWord(kNoKind), temporalWord(types::kDateKind, 0));
    EXPECT_EQ(temporalFillWord(types::kDateTimeKind), temporalWord(types::kDateTimeKind, 0));
}

TEST(TemporalKinds, AMixedArgumentIsRefusedEvenBesideItsFirstKind) {
    Interpreter in;
    const int slot = kFirstTemp;
    ValueRef mixed = put(in, slot, kTemporal, {3}, {word(1, 0), word(1, 1), word(4, 2)});
    ValueRef date = put(in, slot + 1, kTemporal, {}, {word(1, 9)});
    EXPECT_EQ(catenate(in, vocabulary::code::kCatenate, slot + 2, date, mixed).code, kDomainError);
    EXPECT_EQ(catenate(in, vocabulary::code::kCatenate, slot + 2, mixed, date).code, kDomainError);
    EXPECT_EQ(laminate(in, vocabulary::code::kLaminateFirst, slot + 2, mixed, mixed).code, kDomainError);
}

TEST(TemporalKinds, APaddedTakeIntoItsArgumentsSlotFillsWithTheArgumentsKind) {
    Interpreter in;
    const int slot = kFirstTemp;
    ValueRef y = put(in, slot, kTemporal, {2}, {word(types::kSecondKind, 7), word(types::kSecondKind, 8)});
    ValueRef x = put(in, slot + 1, kInteger, {}, {-4});
    ASSERT_EQ(take(in, vocabulary::code::kTake, slot, x, y).code, 0);
    ASSERT_EQ(in.ws.var(slot).count, 4);
    const std::int64_t origin = temporalWord(types::kSecondKind, 0);
    EXPECT_EQ(wordAt(in, slot, 0), origin);
    EXPECT_EQ(wordAt(in, slot, 1), origin);
    EXPECT_EQ(wordAt(in, slot, 2), temporalWord(types::kSecondKind, 7));
    EXPECT_EQ(wordAt(in, slot, 3), temporalWord(types::kSecondKind, 8));
}

}  // namespace
}  // namespace wox::primitives
