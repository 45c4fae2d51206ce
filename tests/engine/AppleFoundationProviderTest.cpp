#include "engine/AppleFoundationProvider.h"

#include "engine/ProviderError.h"
#include "platform/ondevice/GenerationError.h"
#include "platform/task/CancellationError.h"
#include "support/FakeLanguageModel.h"
#include "support/LogCapture.h"
#include "support/ProviderErrorCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvane {
namespace {

using test::FakeLanguageModel;
using test::LogCapture;
using Level = LogChannel::Level;
using Reason = ModelAvailability::UnavailableReason;
using Record = LogCapture::Record;
using testing::ElementsAre;

Record providerLine(Level level, std::string message) {
    return {"provider", level, std::move(message)};
}

class AppleFoundationProviderTest : public testing::Test {
protected:
    void SetUp() override { SystemLanguageModel::setDefaultForTesting(model_); }
    void TearDown() override { SystemLanguageModel::setDefaultForTesting(nullptr); }

    std::string enhance(const std::string& user = "draft", std::stop_token stop = {}) {
        return provider_.enhance("be helpful", user, "some-other-model", stop);
    }

    std::shared_ptr<FakeLanguageModel> model_ = std::make_shared<FakeLanguageModel>();
    AppleFoundationProvider provider_;
    LogCapture log_;
};

TEST_F(AppleFoundationProviderTest, DescribesItselfAndListsOnlyTheOnDeviceModel) {
    model_->setAvailability(ModelAvailability::unavailable(Reason::modelNotReady));
    EXPECT_EQ(provider_.id(), ProviderID::appleFoundation);
    EXPECT_EQ(provider_.displayName(), "Apple Foundation Models");
    EXPECT_THAT(provider_.availableModels(), ElementsAre("on-device"));
    EXPECT_FALSE(provider_.requiresAPIKey());
    EXPECT_THAT(provider_.fetchModels({}), ElementsAre("on-device"));
}

TEST_F(AppleFoundationProviderTest, SendsTheSystemPromptAsInstructionsAndReturnsTheTrimmedReply) {
    model_->respondWith("\n  Résumé ready \n");

    EXPECT_TRUE(provider_.isAvailable());
    EXPECT_EQ(enhance("Draft:\nhé"), "Résumé ready");

    const auto calls = model_->calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].instructions, "be helpful");
    EXPECT_EQ(calls[0].prompt, "Draft:\nhé");
    EXPECT_EQ(calls[0].options, GenerationOptions{}) << "the model's own defaults";
    // Counts are characters, not bytes.
    EXPECT_THAT(log_.records(),
                ElementsAre(providerLine(Level::debug, "FM: availability OK, creating session"),
                            providerLine(Level::debug, "FM: calling respond(to:) [9 chars]"),
                            providerLine(Level::debug, "FM: respond returned [17 chars]")));
}

TEST_F(AppleFoundationProviderTest, EachCallOpensAFreshSession) {
    enhance();
    enhance();
    EXPECT_EQ(model_->sessionsMade(), 2);
}

struct UnavailableRow {
    Reason reason;
    const char* code;

    friend void PrintTo(const UnavailableRow& row, std::ostream* out) { *out << row.code; }
};

class AppleFoundationUnavailableTest : public AppleFoundationProviderTest,
                                       public testing::WithParamInterface<UnavailableRow> {};

TEST_P(AppleFoundationUnavailableTest, FailsWithTheErrorOfTheReasonBeforeAnySession) {
    model_->setAvailability(ModelAvailability::unavailable(GetParam().reason));

    EXPECT_FALSE(provider_.isAvailable());
    const auto error = test::captureProviderError([&] { enhance(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), GetParam().code);
    EXPECT_EQ(model_->sessionsMade(), 0);
    EXPECT_TRUE(log_.records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, AppleFoundationUnavailableTest,
    testing::Values(UnavailableRow{Reason::deviceNotEligible, "device_not_eligible"},
                    UnavailableRow{Reason::appleIntelligenceNotEnabled, "ai_not_enabled"},
                    UnavailableRow{Reason::modelNotReady, "model_not_ready"},
                    UnavailableRow{Reason::other, "provider_unavailable"}),
    [](const auto& info) { return std::string(info.param.code); });

TEST_F(AppleFoundationProviderTest, AnOtherReasonCarriesTheFixedMessage) {
    model_->setAvailability(ModelAvailability::unavailable(Reason::other));
    EXPECT_EQ(test::captureProviderError([&] { enhance(); }),
              ProviderError::providerUnavailable("On-device model unavailable."));
}

TEST_F(AppleFoundationProviderTest, WithoutAReplacementTheDeviceIsNotEligible) {
    SystemLanguageModel::setDefaultForTesting(nullptr);
    EXPECT_FALSE(provider_.isAvailable());
    EXPECT_EQ(test::captureProviderError([&] { enhance(); }), ProviderError::deviceNotEligible());
    EXPECT_THAT(provider_.fetchModels({}), ElementsAre("on-device"));
}

TEST_F(AppleFoundationProviderTest, AReplyOfOnlyLineBreaksIsAnEmptyResponse) {
    model_->respondWith("\n\r\n \t\n");
    EXPECT_EQ(test::captureProviderError([&] { enhance(); }), ProviderError::emptyResponse());
    EXPECT_EQ(log_.records().back(), providerLine(Level::debug, "FM: respond returned [6 chars]"));
}

TEST_F(AppleFoundationProviderTest, ExceedingTheContextWindowAsksForAShorterDraft) {
    model_->respondBy([](const std::string&, std::stop_token) -> std::string {
        throw GenerationError(GenerationError::Case::exceededContextWindowSize, "too many tokens");
    });

    const auto error = test::captureProviderError([&] { enhance(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorDescription(),
              "The draft is too long for this model. Shorten it and try again.");
    EXPECT_EQ(error->code(), "context_limit");
    EXPECT_EQ(log_.records().back(),
              providerLine(Level::error, "FM GenerationError: too many tokens"));
}

TEST_F(AppleFoundationProviderTest, OtherFailuresBecomeSessionFailuresWithTheirDescription) {
    struct Row {
        const char* label;
        std::function<void()> fail;
        std::string logLine;
    };
    const Row rows[] = {
        {"generation error",
         [] { throw GenerationError(GenerationError::Case::guardrailViolation, "blocked"); },
         "FM GenerationError: blocked"},
        {"other error", [] { throw std::runtime_error("disk on fire"); },
         "FM unexpected error: disk on fire"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        log_.clear();
        model_->respondBy([&](const std::string&, std::stop_token) -> std::string {
            row.fail();
            return "unreachable";
        });
        const auto description = row.logLine.substr(row.logLine.find(": ") + 2);

        EXPECT_EQ(test::captureProviderError([&] { enhance(); }),
                  ProviderError::sessionFailure(description));
        EXPECT_EQ(log_.records().back(), providerLine(Level::error, row.logLine));
    }
}

TEST_F(AppleFoundationProviderTest, ACancellationPassesThroughAndIsNotLoggedAsAFailure) {
    struct Row {
        const char* label;
        bool stopBeforeCall;
        FakeLanguageModel::Responder responder;
    };
    std::stop_source source;
    const Row rows[] = {
        {"stopped before the call", true, nullptr},
        {"model notices the stop", false,
         [&](const std::string&, std::stop_token) -> std::string {
             source.request_stop();
             throw CancellationError();
         }},
        {"stopped while the model answered", false,
         [&](const std::string&, std::stop_token) {
             source.request_stop();
             return std::string("late reply");
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        source = std::stop_source();
        log_.clear();
        if (row.stopBeforeCall) {
            source.request_stop();
        } else {
            model_->respondBy(row.responder);
        }

        EXPECT_THROW(enhance("draft", source.get_token()), CancellationError);
        for (const auto& record : log_.records()) {
            EXPECT_NE(record.level, Level::error) << record.message;
        }
    }
    EXPECT_EQ(model_->sessionsMade(), 2) << "no session once stopped beforehand";
}

} // namespace
} // namespace quorvane
