#include "ui/windows/SettingsRow.h"

#include "ProviderSectionFixture.h"
#include "engine/ProviderConfig.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace quorvane {
namespace {

// The rows as the provider section lays them out for its notes.
using SettingsRowTest = test::ProviderSectionFixture;

// A note has no control beside it, so its text wraps across the whole row,
// not in the half a stretch would leave it.
TEST_F(SettingsRowTest, NotesWrapAcrossTheWholeRow) {
    const struct {
        ProviderID provider;
        SettingsRow* (ProviderSection::*note)() const;
    } cases[] = {
        {ProviderID::appleFoundation, &ProviderSection::onDeviceNote},
        {ProviderID::ollama, &ProviderSection::ollamaNote},
    };
    markCloudProvidersFetched();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.provider));
        state().setProviderID(c.provider);
        settle();
        const SettingsRow* note = (section().*c.note)();
        EXPECT_GE(note->label()->geometry().right(), note->width() - SettingsRow::leadingInset - 1);
    }
}

} // namespace
} // namespace quorvane
