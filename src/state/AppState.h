// The one observable state object of the application: the draft and result,
// the request flows (enhance, clarify follow-up, variations, model lists),
// errors, history, every user setting and the services the flows use.
//
// Every member is called on the main thread. A flow's blocking steps run on
// worker threads that read only a snapshot taken when the flow started; their
// results come back through the main queue, and a result whose flow was
// stopped in the meantime is dropped. Observers hear of every change of a
// published property after the value changed.
#pragma once

#include "AppShortcutStore.h"
#include "Appearance.h"
#include "FieldMode.h"
#include "HistoryStore.h"
#include "HotkeyConfig.h"
#include "HotkeySuggestions.h"
#include "KeySource.h"
#include "KeyStore.h"
#include "LaunchAtLoginService.h"
#include "ObserverList.h"
#include "RequestSnapshot.h"
#include "SettingsStore.h"
#include "Subscription.h"
#include "TaskSlot.h"
#include "WorkResult.h"
#include "WorkerSet.h"
#include "engine/CustomPresetStore.h"
#include "engine/EnhancementService.h"
#include "engine/PresetOverrideStore.h"
#include "platform/appinfo/ApplicationInfo.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

class MainQueue;
class Pasteboard;
class UserDefaults;
class VariationGroup;
struct SentryError;

class AppState {
public:
    // One case per published property, in declaration order.
    enum class Property {
        inputText,
        outputText,
        isEnhancing,
        errorMessage,
        lastErrorCode,
        lastErrorSuggestsSettings,
        selectedPreset,
        showHistory,
        showAdvanced,
        fieldMode,
        tone,
        length,
        audience,
        customPresets,
        activeCustomPresetID,
        history,
        pendingQuestions,
        answers,
        variations,
        isGeneratingVariations,
        fetchedModels,
        isFetchingModels,
        modelFetchError,
        providerID,
        model,
        autoPrefillFromClipboard,
        autoCopyOutput,
        enableGlobalHotkey,
        hotkey,
        customBaseURL,
        launchAtLogin,
        telemetryEnabled,
        showDockIcon,
        hasCompletedOnboarding,
        appearance,
        popoverHeight,
        // No single property: something observers may show changed outside
        // the published values (a key written to the key store).
        objectWillChange,
    };

    // What the state works with besides its three stores; tests hand in their own.
    struct Services {
        MainQueue& mainQueue;
        Pasteboard& pasteboard;
        // Keeps the custom presets, the preset overrides and the in-app
        // shortcuts; the application passes the standard user defaults.
        UserDefaults& presetDefaults;
        LaunchAtLoginService launchService = {};
        ApplicationInfo applicationInfo = {};
        std::filesystem::path osReleaseFile = "/etc/os-release";
    };

    using Completion = std::function<void()>;
    using AnswerPairs = std::vector<std::pair<std::string, std::string>>;

    static constexpr double minimumPopoverHeight = 360;
    static constexpr double maximumPopoverHeight = 900;
    static constexpr int panelVariationCount = 3;

    // Loads every setting without writing anything back or calling any closure.
    AppState(HistoryStore historyStore, KeyStore keyStore, SettingsStore settings,
             Services services);
    // Stops every running flow and waits for its worker threads.
    ~AppState();

    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // Called with the property after each change; registered while the subscription lives.
    Subscription observe(std::function<void(Property)> observer);
    // Tells every observer to re-read, with Property::objectWillChange.
    void sendObjectWillChange() const { notify(Property::objectWillChange); }

    // Set by the shell. The three without arguments do nothing until then.
    std::function<void()> openSettings = [] {};
    std::function<void(bool)> onGlobalHotkeyChanged;
    std::function<void(const HotkeyConfig&)> onHotkeyConfigChanged;
    std::function<void()> onShowOnboarding = [] {};
    std::function<void()> onCheckForUpdates = [] {};
    std::function<void(Appearance)> onAppearanceChanged;
    // Told the new busy value when it changes.
    std::function<void(bool)> onBusyChanged;
    // Nothing calls it; the Dock-icon setting has no effect on this platform.
    std::function<void(bool)> onShowDockIconChanged;

    // Published properties. Setters of the settings persist the value on
    // every assignment, also of an equal value (providerID only on a change).
    const std::string& inputText() const { return inputText_; }
    void setInputText(std::string value);
    const std::string& outputText() const { return outputText_; }
    void setOutputText(std::string value);
    bool isEnhancing() const { return isEnhancing_; }
    void setIsEnhancing(bool value);
    const std::optional<std::string>& errorMessage() const { return errorMessage_; }
    void setErrorMessage(std::optional<std::string> value);
    const std::optional<std::string>& lastErrorCode() const { return lastErrorCode_; }
    void setLastErrorCode(std::optional<std::string> value);
    bool lastErrorSuggestsSettings() const { return lastErrorSuggestsSettings_; }
    void setLastErrorSuggestsSettings(bool value);
    Preset selectedPreset() const { return selectedPreset_; }
    void setSelectedPreset(Preset value);
    bool showHistory() const { return showHistory_; }
    void setShowHistory(bool value);
    bool showAdvanced() const { return showAdvanced_; }
    void setShowAdvanced(bool value);
    FieldMode fieldMode() const { return fieldMode_; }
    void setFieldMode(FieldMode value);
    Tone tone() const { return tone_; }
    void setTone(Tone value);
    Length length() const { return length_; }
    void setLength(Length value);
    const std::string& audience() const { return audience_; }
    void setAudience(std::string value);
    // Saved by the editing operations, not by assignment.
    const std::vector<CustomPreset>& customPresets() const { return customPresets_; }
    void setCustomPresets(std::vector<CustomPreset> value);
    const std::optional<Uuid>& activeCustomPresetID() const { return activeCustomPresetID_; }
    void setActiveCustomPresetID(std::optional<Uuid> value);
    // Newest first. Saved by the operations that change it, not by assignment.
    const std::vector<HistoryItem>& history() const { return history_; }
    void setHistory(std::vector<HistoryItem> value);
    const std::vector<std::string>& pendingQuestions() const { return pendingQuestions_; }
    void setPendingQuestions(std::vector<std::string> value);
    const std::vector<std::string>& answers() const { return answers_; }
    void setAnswers(std::vector<std::string> value);
    const std::vector<std::string>& variations() const { return variations_; }
    void setVariations(std::vector<std::string> value);
    bool isGeneratingVariations() const { return isGeneratingVariations_; }
    void setIsGeneratingVariations(bool value);
    const std::map<ProviderID, std::vector<std::string>>& fetchedModels() const {
        return fetchedModels_;
    }
    void setFetchedModels(std::map<ProviderID, std::vector<std::string>> value);
    bool isFetchingModels() const { return isFetchingModels_; }
    void setIsFetchingModels(bool value);
    const std::optional<std::string>& modelFetchError() const { return modelFetchError_; }
    void setModelFetchError(std::optional<std::string> value);
    ProviderID providerID() const { return providerID_; }
    // On a change: persists it, switches to the provider's default model and clears the banner.
    void setProviderID(ProviderID value);
    const std::string& model() const { return model_; }
    void setModel(std::string value);
    bool autoPrefillFromClipboard() const { return autoPrefillFromClipboard_; }
    void setAutoPrefillFromClipboard(bool value);
    bool autoCopyOutput() const { return autoCopyOutput_; }
    void setAutoCopyOutput(bool value);
    bool enableGlobalHotkey() const { return enableGlobalHotkey_; }
    void setEnableGlobalHotkey(bool value);
    const HotkeyConfig& hotkey() const { return hotkey_; }
    void setHotkey(HotkeyConfig value);
    // As typed, untrimmed; the registry trims it at each request.
    const std::string& customBaseURL() const { return customBaseURL_; }
    void setCustomBaseURL(std::string value);
    // The login item's status at start; the settings window shows what
    // launchService().setEnabled() returns.
    bool launchAtLogin() const { return launchAtLogin_; }
    void setLaunchAtLogin(bool value);
    bool telemetryEnabled() const { return telemetryEnabled_; }
    // Sets the process-wide opt-in; turning it on starts crash reporting.
    void setTelemetryEnabled(bool value);
    bool showDockIcon() const { return showDockIcon_; }
    void setShowDockIcon(bool value);
    bool hasCompletedOnboarding() const { return hasCompletedOnboarding_; }
    void setHasCompletedOnboarding(bool value);
    Appearance appearance() const { return appearance_; }
    void setAppearance(Appearance value);
    double popoverHeight() const { return popoverHeight_; }
    void setPopoverHeight(double value);

    // Derived.
    bool canEnhance() const;
    bool hasOutput() const;
    std::vector<std::string> availableModels() const;
    EnhanceOptions styleOptions() const;
    std::optional<CustomPreset> activeCustomPreset() const;
    std::string activePresetName() const;
    KeySource keySource(ProviderID id) const;
    // Five lines: product and build, system, provider, model, last error code.
    std::string diagnosticsText() const;
    const std::vector<HotkeySuggestions::Item>& hotkeySuggestions() const;

    // The generation flows. The start forms put the flow in the shared slot,
    // stopping the one there; the others run outside it and call their
    // completion on the main thread once the flow has ended.
    void startEnhance();
    void enhance(Completion completion = {});
    void startSubmitAnswers();
    void submitAnswers(Completion completion = {});
    void startGenerateVariations(int count = panelVariationCount);
    void generateVariations(int count, Completion completion = {});
    // Stops the flow in the slot and clears both busy flags at once.
    void cancelEnhance();
    // cancelEnhance(), then empties the texts, the banner, questions, answers and variations.
    void clear();

    AnswerPairs answerPairs() const;
    void useVariation(const std::string& text);
    // Puts the result on the pasteboard when there is one.
    void copyOutput();

    // Loads the current provider's model list; not part of the slot. One at a time.
    void fetchModels(Completion completion = {});

    // Preset editing; each change is saved at once.
    Uuid addCustomPreset();
    void updateCustomPreset(const CustomPreset& preset);
    void deleteCustomPreset(const Uuid& id);
    void saveOverride(Preset preset, const std::string& instructions);
    Uuid duplicatePreset(Preset preset);

    void restoreHistoryItem(const HistoryItem& item);
    void deleteHistoryItem(const Uuid& id);

    // Called each time the panel is shown.
    void prefillFromClipboardIfNeeded();

    AppShortcutStore& appShortcuts() { return appShortcuts_; }
    Pasteboard& pasteboard() { return services_.pasteboard; }
    const ApplicationInfo& applicationInfo() const { return services_.applicationInfo; }
    HistoryStore& historyStore() { return historyStore_; }
    const KeyStore& keyStore() const { return keyStore_; }
    SettingsStore& settings() { return settings_; }
    const LaunchAtLoginService& launchService() const { return services_.launchService; }
    EnhancementService& service() { return service_; }
    CustomPresetStore& presetStore() { return presetStore_; }
    PresetOverrideStore& overrideStore() { return overrideStore_; }

private:
    using Flow = TaskSlot::Flow;

    void notify(Property property) const { observers_.notify(property); }
    // Assigns and notifies when the value differs.
    template <typename T>
    void assign(T& field, T value, Property property);

    void notifyBusyIfChanged();
    void setEnhancingFor(const Flow& flow);
    void setGeneratingVariationsFor(const Flow& flow);

    void resetErrorFields();
    void handleError(const std::exception_ptr& error);
    void reportToCrashReporting(const SentryError& error) const;
    void finishEnhance(const Flow& flow);
    void addHistory(const std::string& input, const std::string& output);
    void adoptResult(const std::string& text);

    RequestSnapshot makeSnapshot() const;
    // Wraps main-thread work so that it does nothing once this object is gone.
    std::function<void()> guarded(std::function<void()> work) const;

    void runEnhance(const Flow& flow, Completion completion);
    void completeEnhance(const Flow& flow, const WorkResult<std::string>& reply,
                         const Completion& completion);
    void runSubmitAnswers(const Flow& flow, Completion completion);
    void completeSubmitAnswers(const Flow& flow, const WorkResult<std::string>& reply,
                               const Completion& completion);
    void runGenerateVariations(const Flow& flow, int count, Completion completion);
    void startVariation(const Flow& flow, const std::shared_ptr<VariationGroup>& group,
                        const RequestSnapshot& snapshot, int index, const Completion& completion);
    void completeVariations(const Flow& flow, const VariationGroup& group,
                            const Completion& completion);
    void completeFetchModels(ProviderID id, const WorkResult<std::vector<std::string>>& models,
                             const Completion& completion);

    // Published state.
    std::string inputText_;
    std::string outputText_;
    bool isEnhancing_ = false;
    std::optional<std::string> errorMessage_;
    bool lastBusy_ = false;
    std::optional<std::string> lastErrorCode_;
    bool lastErrorSuggestsSettings_ = false;
    Preset selectedPreset_ = Preset::general;
    bool showHistory_ = false;
    bool showAdvanced_ = false;
    FieldMode fieldMode_ = FieldMode::draft;
    long lastPasteboardChangeCount_ = 0;
    Tone tone_ = Tone::auto_;
    Length length_ = Length::auto_;
    std::string audience_;
    std::vector<CustomPreset> customPresets_;
    std::optional<Uuid> activeCustomPresetID_;
    std::vector<HistoryItem> history_;
    std::vector<std::string> pendingQuestions_;
    std::vector<std::string> answers_;
    std::vector<std::string> variations_;
    bool isGeneratingVariations_ = false;
    std::map<ProviderID, std::vector<std::string>> fetchedModels_;
    bool isFetchingModels_ = false;
    std::optional<std::string> modelFetchError_;
    ProviderID providerID_ = ProviderID::appleFoundation;
    std::string model_;
    bool autoPrefillFromClipboard_ = true;
    bool autoCopyOutput_ = false;
    bool enableGlobalHotkey_ = true;
    HotkeyConfig hotkey_;
    std::string customBaseURL_;
    bool launchAtLogin_ = false;
    bool telemetryEnabled_ = false;
    bool showDockIcon_ = true;
    bool hasCompletedOnboarding_ = false;
    Appearance appearance_ = Appearance::dark;
    double popoverHeight_ = 600;

    // Stores and services, in the order they are built.
    Services services_;
    AppShortcutStore appShortcuts_;
    CustomPresetStore presetStore_;
    PresetOverrideStore overrideStore_;
    HistoryStore historyStore_;
    KeyStore keyStore_;
    SettingsStore settings_;
    EnhancementService service_;

    // The flow that last raised each busy flag; a flow that was replaced
    // since leaves the flag to its successor when it ends.
    std::uint64_t enhancingFlow_ = 0;
    std::uint64_t variationsFlow_ = 0;

    ObserverList<Property> observers_;
    TaskSlot slot_;
    // Main-thread work posted by workers holds this weakly.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    // Last, so its threads are joined before anything they use goes away.
    WorkerSet workers_;
};

} // namespace quorvane
