#include "state/VariationGroup.h"

#include "engine/ProviderError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvane {
namespace {

WorkResult<std::string> text(std::string value) {
    return WorkResult<std::string>(std::move(value));
}

WorkResult<std::string> failure(std::exception_ptr error) {
    return WorkResult<std::string>(std::move(error));
}

TEST(VariationGroupTest, KeepsTextsInIndexOrderWhateverTheFinishingOrderAndDropsBlankOnes) {
    VariationGroup group(4, std::stop_token());
    EXPECT_FALSE(group.record(3, text("third")));
    EXPECT_FALSE(group.record(1, text(" first\n")));
    EXPECT_FALSE(group.record(4, text(" \n\t")));
    EXPECT_TRUE(group.record(2, text("second")));

    EXPECT_EQ(group.failure(), nullptr);
    // Kept texts are as received, untrimmed.
    EXPECT_EQ(group.keptTexts(), (std::vector<std::string>{" first\n", "second", "third"}));
}

TEST(VariationGroupTest, KeepsTheFirstFailureAndStopsTheOtherChildren) {
    VariationGroup group(3, std::stop_token());
    const auto token = group.stopSource().get_token();
    EXPECT_FALSE(group.record(2, text("fine")));
    EXPECT_FALSE(token.stop_requested());

    EXPECT_FALSE(group.record(1, failure(std::make_exception_ptr(ProviderError::http(500, "")))));
    EXPECT_TRUE(token.stop_requested());
    EXPECT_TRUE(group.record(3, failure(std::make_exception_ptr(CancellationError()))));

    try {
        std::rethrow_exception(group.failure());
        FAIL() << "expected the first failure";
    } catch (const ProviderError& error) {
        EXPECT_EQ(error.code(), "http_500");
    }
}

TEST(VariationGroupTest, StopsWithItsParentAlsoWhenTheParentStoppedBefore) {
    std::stop_source parent;
    VariationGroup group(1, parent.get_token());
    EXPECT_FALSE(group.stopSource().stop_requested());
    parent.request_stop();
    EXPECT_TRUE(group.stopSource().stop_requested());

    std::stop_source stoppedEarlier;
    stoppedEarlier.request_stop();
    EXPECT_TRUE(VariationGroup(1, stoppedEarlier.get_token()).stopSource().stop_requested());
}

} // namespace
} // namespace quorvane
