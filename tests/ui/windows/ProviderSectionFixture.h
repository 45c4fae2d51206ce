// The provider section over a test state whose custom provider is a loopback server, with no API
// key in the environment. The tests of the section and of the form's rows and pickers it holds
// share it.
#pragma once

#include "support/ViewTestState.h"
#include "ui/windows/ProviderSection.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace quorvane::test {

// The variables an API key may come from; none is set while a test runs.
inline constexpr const char* keyVariables[] = {"ANTHROPIC_API_KEY", "OPENAI_API_KEY",
                                               "OPENROUTER_API_KEY", "GROQ_API_KEY",
                                               "THRIM_CUSTOM_API_KEY"};

class ProviderSectionFixture : public testing::Test {
protected:
    ProviderSectionFixture() {
        for (const char* name : keyVariables) {
            unsetenv(name);
        }
    }
    ~ProviderSectionFixture() override {
        for (const char* name : keyVariables) {
            unsetenv(name);
        }
    }

    AppState& state() { return fixture_.state(); }

    // The cloud providers other than custom count as fetched, so that no
    // automatic fetch ever leaves the loopback server.
    void markCloudProvidersFetched() {
        auto fetched = state().fetchedModels();
        for (ProviderID id : {ProviderID::anthropic, ProviderID::openAI, ProviderID::openRouter,
                              ProviderID::groq, ProviderID::ollama}) {
            fetched[id] = {"listed-model"};
        }
        state().setFetchedModels(fetched);
    }

    ProviderSection& section() {
        if (!section_) {
            section_ = std::make_unique<ProviderSection>(state());
            section_->resize(480, 400);
            section_->show();
        }
        return *section_;
    }

    // What the settings view does on a change: a coalesced re-read.
    void settle() {
        ViewTestState::processEvents();
        section().refresh();
    }

    std::size_t modelRequests() {
        std::size_t count = 0;
        for (const auto& request : fixture_.server().requests()) {
            count += request.path == "/v1/models" ? 1 : 0;
        }
        return count;
    }

    ViewTestState fixture_;
    std::unique_ptr<ProviderSection> section_;
};

} // namespace quorvane::test
