#include "platform/ondevice/SystemLanguageModel.h"

#include "platform/ondevice/GenerationError.h"
#include "support/FakeLanguageModel.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using Reason = ModelAvailability::UnavailableReason;

TEST(SystemLanguageModelTest, TheSystemModelOfThisMachineIsNotEligible) {
    const auto model = SystemLanguageModel::defaultModel();
    EXPECT_EQ(model->availability(), ModelAvailability::unavailable(Reason::deviceNotEligible));
    EXPECT_FALSE(model->availability().isAvailable());

    // A caller that skips the availability check still gets a failure, not a reply.
    const auto session = model->makeSession("instructions");
    try {
        session->respond("prompt", {}, {});
        FAIL() << "expected a GenerationError";
    } catch (const GenerationError& error) {
        EXPECT_EQ(error.kind(), GenerationError::Case::assetsUnavailable);
        EXPECT_FALSE(error.localizedDescription().empty());
    }
}

TEST(SystemLanguageModelTest, AReplacementServesUntilTheSystemModelIsRestored) {
    auto fake = std::make_shared<test::FakeLanguageModel>();
    SystemLanguageModel::setDefaultForTesting(fake);
    const auto held = SystemLanguageModel::defaultModel();
    EXPECT_EQ(held, fake);
    EXPECT_TRUE(held->availability().isAvailable());

    SystemLanguageModel::setDefaultForTesting(nullptr);
    fake.reset();
    EXPECT_FALSE(SystemLanguageModel::defaultModel()->availability().isAvailable());
    // A request that took the model before the swap keeps using it.
    EXPECT_EQ(held->makeSession("i")->respond("p", {}, {}), "ok");
}

} // namespace
} // namespace quorvane
