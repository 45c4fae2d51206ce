#include "AppState.h"

#include "OperatingSystemName.h"
#include "Telemetry.h"
#include "VariationGroup.h"
#include "engine/Log.h"
#include "engine/MetaPrompt.h"
#include "engine/ModelIdentifier.h"
#include "engine/ProviderConfig.h"
#include "engine/ProviderError.h"
#include "engine/Text.h"
#include "platform/crashreport/SentryError.h"
#include "platform/crashreport/SentrySDK.h"
#include "platform/defaults/UserDefaults.h"
#include "platform/pasteboard/Pasteboard.h"
#include "platform/task/CancellationError.h"
#include "platform/task/MainQueue.h"

#include <algorithm>
#include <chrono>

namespace quorvane {

namespace {

constexpr const char* newPresetName = "My preset";
constexpr const char* newPresetInstructions =
    "Rewrite the user's draft into a production-quality prompt. Add the specifics you need, keep "
    "the original intent, and return only the rewritten prompt.";
constexpr const char* unknownErrorMessage = "An unknown error occurred.";

void finish(const AppState::Completion& completion) {
    // A flow's request may have loaded libraries (libcurl, at the first one) that a crash
    // record should name.
    catchUpWithLoadedLibraries();
    if (completion) {
        completion();
    }
}

// Posts work to the main thread; the work does nothing once the state that
// made the poster is gone. Built on the main thread, used from workers.
using Poster = std::function<void(std::function<void()>)>;

Poster makePoster(MainQueue& queue, std::weak_ptr<int> alive) {
    return [&queue, alive = std::move(alive)](std::function<void()> work) {
        queue.post([alive, work = std::move(work)] {
            if (!alive.expired()) {
                work();
            }
        });
    };
}

ProviderRegistry::KeyResolver keyResolver(const KeyStore& keyStore) {
    // A copy: the store holds no state but its file, and its reads are safe on any thread.
    return [keys = keyStore](ProviderID id) -> std::optional<std::string> {
        if (auto stored = keys.key(id)) {
            return stored;
        }
        return environmentAPIKey(id);
    };
}

ProviderRegistry::BaseURLResolver baseURLResolver(const SettingsStore& settings) {
    // A copy: the store reads the defaults afresh at each call, safely on any thread.
    return [settings]() -> std::optional<std::string> { return settings.customBaseURL(); };
}

double clampedPopoverHeight(double height) {
    if (!(height >= AppState::minimumPopoverHeight)) { // also catches NaN
        return AppState::minimumPopoverHeight;
    }
    return std::min(height, AppState::maximumPopoverHeight);
}

bool suggestsSettings(ProviderError::Case kind) {
    switch (kind) {
    case ProviderError::Case::missingAPIKey:
    case ProviderError::Case::providerUnavailable:
    case ProviderError::Case::deviceNotEligible:
    case ProviderError::Case::appleIntelligenceNotEnabled:
        return true;
    default:
        return false;
    }
}

std::string failureMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ProviderError& providerError) {
        return providerError.errorDescription();
    } catch (const std::exception& other) {
        return other.what();
    } catch (...) {
        return unknownErrorMessage;
    }
}

} // namespace

AppState::AppState(HistoryStore historyStore, KeyStore keyStore, SettingsStore settings,
                   Services services)
    : services_(std::move(services))
    , appShortcuts_(services_.presetDefaults)
    , presetStore_(services_.presetDefaults)
    , overrideStore_(services_.presetDefaults)
    , historyStore_(std::move(historyStore))
    , keyStore_(std::move(keyStore))
    , settings_(std::move(settings))
    , service_(ProviderRegistry(keyResolver(keyStore_), baseURLResolver(settings_))) {
    // Start values go straight into the fields: loading writes nothing back and calls no closure.
    history_ = historyStore_.load();
    providerID_ = settings_.activeProvider();
    model_ = settings_.activeModel();
    autoPrefillFromClipboard_ = settings_.autoPrefillFromClipboard();
    autoCopyOutput_ = settings_.autoCopyOutput();
    enableGlobalHotkey_ = settings_.enableGlobalHotkey();
    hotkey_ = settings_.hotkey();
    tone_ = settings_.tone();
    length_ = settings_.length();
    audience_ = settings_.audience();
    customBaseURL_ = settings_.customBaseURL();
    telemetryEnabled_ = settings_.telemetryEnabled();
    showDockIcon_ = settings_.showDockIcon();
    hasCompletedOnboarding_ = settings_.hasCompletedOnboarding();
    appearance_ = settings_.appearance();
    customPresets_ = presetStore_.load();
    launchAtLogin_ = services_.launchService.isEnabled();
    popoverHeight_ = clampedPopoverHeight(settings_.popoverHeight());
}

AppState::~AppState() {
    lifetime_.reset();
    slot_.cancel();
    workers_.stopAndJoin();
}

Subscription AppState::observe(std::function<void(Property)> observer) {
    return observers_.add(std::move(observer));
}

template <typename T>
void AppState::assign(T& field, T value, Property property) {
    if (field == value) {
        return;
    }
    field = std::move(value);
    notify(property);
}

// Published properties without write-back.

void AppState::setInputText(std::string value) {
    assign(inputText_, std::move(value), Property::inputText);
}

void AppState::setOutputText(std::string value) {
    assign(outputText_, std::move(value), Property::outputText);
}

void AppState::setIsEnhancing(bool value) {
    assign(isEnhancing_, value, Property::isEnhancing);
    notifyBusyIfChanged();
}

void AppState::setErrorMessage(std::optional<std::string> value) {
    assign(errorMessage_, std::move(value), Property::errorMessage);
}

void AppState::setLastErrorCode(std::optional<std::string> value) {
    assign(lastErrorCode_, std::move(value), Property::lastErrorCode);
}

void AppState::setLastErrorSuggestsSettings(bool value) {
    assign(lastErrorSuggestsSettings_, value, Property::lastErrorSuggestsSettings);
}

void AppState::setSelectedPreset(Preset value) {
    assign(selectedPreset_, value, Property::selectedPreset);
}

void AppState::setShowHistory(bool value) {
    assign(showHistory_, value, Property::showHistory);
}

void AppState::setShowAdvanced(bool value) {
    assign(showAdvanced_, value, Property::showAdvanced);
}

void AppState::setFieldMode(FieldMode value) {
    assign(fieldMode_, value, Property::fieldMode);
}

void AppState::setCustomPresets(std::vector<CustomPreset> value) {
    assign(customPresets_, std::move(value), Property::customPresets);
}

void AppState::setActiveCustomPresetID(std::optional<Uuid> value) {
    assign(activeCustomPresetID_, std::move(value), Property::activeCustomPresetID);
}

void AppState::setHistory(std::vector<HistoryItem> value) {
    assign(history_, std::move(value), Property::history);
}

void AppState::setPendingQuestions(std::vector<std::string> value) {
    assign(pendingQuestions_, std::move(value), Property::pendingQuestions);
}

void AppState::setAnswers(std::vector<std::string> value) {
    assign(answers_, std::move(value), Property::answers);
}

void AppState::setVariations(std::vector<std::string> value) {
    assign(variations_, std::move(value), Property::variations);
}

void AppState::setIsGeneratingVariations(bool value) {
    assign(isGeneratingVariations_, value, Property::isGeneratingVariations);
    notifyBusyIfChanged();
}

void AppState::setFetchedModels(std::map<ProviderID, std::vector<std::string>> value) {
    assign(fetchedModels_, std::move(value), Property::fetchedModels);
}

void AppState::setIsFetchingModels(bool value) {
    assign(isFetchingModels_, value, Property::isFetchingModels);
}

void AppState::setModelFetchError(std::optional<std::string> value) {
    assign(modelFetchError_, std::move(value), Property::modelFetchError);
}

void AppState::setLaunchAtLogin(bool value) {
    assign(launchAtLogin_, value, Property::launchAtLogin);
}

void AppState::setShowDockIcon(bool value) {
    assign(showDockIcon_, value, Property::showDockIcon);
}

void AppState::setPopoverHeight(double value) {
    assign(popoverHeight_, value, Property::popoverHeight);
}

// Settings: each assignment persists, also of an equal value, and notifies.

void AppState::setTone(Tone value) {
    tone_ = value;
    notify(Property::tone);
    settings_.setTone(value);
}

void AppState::setLength(Length value) {
    length_ = value;
    notify(Property::length);
    settings_.setLength(value);
}

void AppState::setAudience(std::string value) {
    audience_ = std::move(value);
    notify(Property::audience);
    settings_.setAudience(audience_);
}

void AppState::setProviderID(ProviderID value) {
    if (value == providerID_) {
        return;
    }
    providerID_ = value;
    notify(Property::providerID);
    settings_.setActiveProvider(value);
    setModel(ProviderConfig::config(value).defaultModel);
    setErrorMessage(std::nullopt);
}

void AppState::setModel(std::string value) {
    model_ = std::move(value);
    notify(Property::model);
    settings_.setActiveModel(model_);
}

void AppState::setAutoPrefillFromClipboard(bool value) {
    autoPrefillFromClipboard_ = value;
    notify(Property::autoPrefillFromClipboard);
    settings_.setAutoPrefillFromClipboard(value);
}

void AppState::setAutoCopyOutput(bool value) {
    autoCopyOutput_ = value;
    notify(Property::autoCopyOutput);
    settings_.setAutoCopyOutput(value);
}

void AppState::setEnableGlobalHotkey(bool value) {
    enableGlobalHotkey_ = value;
    notify(Property::enableGlobalHotkey);
    settings_.setEnableGlobalHotkey(value);
    if (onGlobalHotkeyChanged) {
        onGlobalHotkeyChanged(value);
    }
}

void AppState::setHotkey(HotkeyConfig value) {
    hotkey_ = std::move(value);
    notify(Property::hotkey);
    settings_.setHotkey(hotkey_);
    if (onHotkeyConfigChanged) {
        onHotkeyConfigChanged(hotkey_);
    }
}

void AppState::setCustomBaseURL(std::string value) {
    customBaseURL_ = std::move(value);
    notify(Property::customBaseURL);
    settings_.setCustomBaseURL(customBaseURL_);
}

void AppState::setTelemetryEnabled(bool value) {
    telemetryEnabled_ = value;
    notify(Property::telemetryEnabled);
    settings_.setTelemetryEnabled(value);
    // Turning it off clears the flag, so a started client keeps running but captures nothing,
    // and drops what still waits: what was captured while the user agreed must not go out after
    // they said no.
    telemetryOptedIn = value;
    if (!value) {
        SentrySDK::discardQueued();
        return;
    }
    startTelemetry();
}

void AppState::setHasCompletedOnboarding(bool value) {
    hasCompletedOnboarding_ = value;
    notify(Property::hasCompletedOnboarding);
    settings_.setHasCompletedOnboarding(value);
}

void AppState::setAppearance(Appearance value) {
    appearance_ = value;
    notify(Property::appearance);
    settings_.setAppearance(value);
    if (onAppearanceChanged) {
        onAppearanceChanged(value);
    }
}

// Derived.

bool AppState::canEnhance() const {
    return !Text::isBlank(inputText_) && !isEnhancing_;
}

bool AppState::hasOutput() const {
    return !Text::isBlank(outputText_);
}

std::vector<std::string> AppState::availableModels() const {
    if (const auto fetched = fetchedModels_.find(providerID_);
        fetched != fetchedModels_.end() && !fetched->second.empty()) {
        return fetched->second;
    }
    return ProviderConfig::config(providerID_).availableModels;
}

EnhanceOptions AppState::styleOptions() const {
    return EnhanceOptions{tone_, length_, audience_};
}

std::optional<CustomPreset> AppState::activeCustomPreset() const {
    if (!activeCustomPresetID_) {
        return std::nullopt;
    }
    const auto found =
        std::find_if(customPresets_.begin(), customPresets_.end(),
                     [&](const auto& preset) { return preset.id == *activeCustomPresetID_; });
    if (found == customPresets_.end()) {
        return std::nullopt;
    }
    return *found;
}

std::string AppState::activePresetName() const {
    if (const auto custom = activeCustomPreset()) {
        return custom->name;
    }
    return std::string(label(selectedPreset_));
}

KeySource AppState::keySource(ProviderID id) const {
    if (keyStore_.key(id)) {
        return KeySource::stored;
    }
    if (environmentAPIKey(id)) {
        return KeySource::environment;
    }
    return KeySource::none;
}

std::string AppState::diagnosticsText() const {
    const auto& info = services_.applicationInfo;
    const std::string version = info.infoValue("CFBundleShortVersionString").value_or("?");
    const std::string build = info.infoValue("CFBundleVersion").value_or("?");
    return "Quorvane " + version + " (" + build + ")\n" +
           OperatingSystemName::read(services_.osReleaseFile) + "\n" +
           "Provider: " + std::string(rawValue(providerID_)) + "\n" + "Model: " + model_ + "\n" +
           "Last error: " + lastErrorCode_.value_or("none");
}

const std::vector<HotkeySuggestions::Item>& AppState::hotkeySuggestions() const {
    return HotkeySuggestions::items();
}

// Busy state, errors, history and the pasteboard.

void AppState::notifyBusyIfChanged() {
    const bool busy = isEnhancing_ || isGeneratingVariations_;
    if (busy == lastBusy_) {
        return;
    }
    lastBusy_ = busy;
    if (onBusyChanged) {
        onBusyChanged(busy);
    }
}

void AppState::setEnhancingFor(const Flow& flow) {
    enhancingFlow_ = flow.id;
    setIsEnhancing(true);
}

void AppState::setGeneratingVariationsFor(const Flow& flow) {
    variationsFlow_ = flow.id;
    setIsGeneratingVariations(true);
}

void AppState::resetErrorFields() {
    setErrorMessage(std::nullopt);
    setLastErrorCode(std::nullopt);
    setLastErrorSuggestsSettings(false);
}

void AppState::handleError(const std::exception_ptr& error) {
    SentryError report;
    try {
        std::rethrow_exception(error);
    } catch (const CancellationError&) {
        Log::enhance().debug("request cancelled");
        return;
    } catch (const ProviderError& providerError) {
        setErrorMessage(providerError.errorDescription());
        setLastErrorCode(providerError.code());
        setLastErrorSuggestsSettings(suggestsSettings(providerError.kind()));
        report = {"ProviderError", providerError.code()};
    } catch (const std::exception& other) {
        setErrorMessage(std::string(other.what()));
        setLastErrorCode("unknown");
        setLastErrorSuggestsSettings(false);
        report = {"Error", "unknown"};
    } catch (...) {
        setErrorMessage(unknownErrorMessage);
        setLastErrorCode("unknown");
        setLastErrorSuggestsSettings(false);
        report = {"Error", "unknown"};
    }
    reportToCrashReporting(report);
}

void AppState::reportToCrashReporting(const SentryError& error) const {
    if (!telemetryOptedIn) {
        return;
    }
    const auto dsn = resolveSentryDSN();
    if (!dsn || dsn->empty()) {
        return;
    }
    // Only the error's type and code go out, never the banner text, which may quote a server body.
    SentrySDK::capture(error);
}

void AppState::finishEnhance(const Flow& flow) {
    if (enhancingFlow_ == flow.id) {
        enhancingFlow_ = 0;
        setIsEnhancing(false);
    }
    Log::enhance().log("enhance() end: output=%ld chars, questions=%ld, error=%s",
                       static_cast<long>(Text::characterCount(outputText_)),
                       static_cast<long>(pendingQuestions_.size()), errorMessage_.value_or("nil"));
}

void AppState::addHistory(const std::string& input, const std::string& output) {
    HistoryItem item{Uuid::random(),  input,       output,
                     selectedPreset_, providerID_, std::chrono::system_clock::now()};
    history_ = HistoryStore::prepending(std::move(item), history_);
    notify(Property::history);
    historyStore_.save(history_);
}

void AppState::adoptResult(const std::string& text) {
    setOutputText(text);
    addHistory(inputText_, text);
    if (autoCopyOutput_) {
        copyOutput();
    }
}

void AppState::copyOutput() {
    if (!hasOutput()) {
        return;
    }
    services_.pasteboard.clearContents();
    services_.pasteboard.setString(outputText_);
}

RequestSnapshot AppState::makeSnapshot() const {
    RequestSnapshot snapshot{
        .inputText = inputText_,
        .preset = selectedPreset_,
        .provider = providerID_,
        .model = model_,
        .options = styleOptions(),
        .customInstructions = std::nullopt,
        .overrideInstructions = std::nullopt,
    };
    if (const auto custom = activeCustomPreset()) {
        snapshot.customInstructions = custom->instructions;
    } else if (const auto active = overrideStore_.activeOverride(selectedPreset_);
               active && active->customInstructions) {
        snapshot.overrideInstructions = active->customInstructions;
    } else {
        snapshot.overrideInstructions = MetaPrompt::forPreset(selectedPreset_);
    }
    return snapshot;
}

// The enhance flow.

void AppState::startEnhance() {
    const Flow flow = slot_.start();
    makePoster(services_.mainQueue, lifetime_)([this, flow] { runEnhance(flow, {}); });
}

void AppState::enhance(Completion completion) {
    runEnhance(slot_.detached(), std::move(completion));
}

void AppState::runEnhance(const Flow& flow, Completion completion) {
    if (!canEnhance()) {
        Log::enhance().debug("enhance() skipped (canEnhance=false)");
        return finish(completion);
    }
    if (flow.stop.stop_requested()) {
        return finish(completion);
    }
    Log::enhance().log("enhance() start: provider=%s preset=%s", std::string(rawValue(providerID_)),
                       std::string(rawValue(selectedPreset_)));
    setEnhancingFor(flow);
    resetErrorFields();
    setPendingQuestions({});
    setAnswers({});

    workers_.start(flow.stop, [post = makePoster(services_.mainQueue, lifetime_), this, flow,
                               snapshot = makeSnapshot(), &registry = service_.registry(),
                               completion = std::move(completion)](std::stop_token stop) {
        auto reply = WorkResult<std::string>::of([&] {
            const std::string user = snapshot.draftMessage();
            return snapshot.send(registry, snapshot.systemPrompt(), user, stop);
        });
        post([this, flow, reply = std::move(reply), completion] {
            completeEnhance(flow, reply, completion);
        });
    });
}

void AppState::completeEnhance(const Flow& flow, const WorkResult<std::string>& reply,
                               const Completion& completion) {
    try {
        if (flow.stop.stop_requested()) {
            throw CancellationError();
        }
        const std::string& text = reply.value();
        auto questions = MetaPrompt::parseQuestions(text);
        if (questions.empty()) {
            adoptResult(text);
        } else {
            const auto count = questions.size();
            setPendingQuestions(std::move(questions));
            setAnswers(std::vector<std::string>(count));
        }
    } catch (...) {
        handleError(std::current_exception());
    }
    finishEnhance(flow);
    finish(completion);
}

void AppState::cancelEnhance() {
    slot_.cancel();
    enhancingFlow_ = 0;
    variationsFlow_ = 0;
    setIsEnhancing(false);
    setIsGeneratingVariations(false);
}

void AppState::clear() {
    cancelEnhance();
    setInputText({});
    setOutputText({});
    resetErrorFields();
    setPendingQuestions({});
    setAnswers({});
    setVariations({});
    setFieldMode(FieldMode::draft);
}

// The clarify follow-up.

AppState::AnswerPairs AppState::answerPairs() const {
    AnswerPairs pairs;
    const auto count = std::min(pendingQuestions_.size(), answers_.size());
    for (std::size_t i = 0; i < count; ++i) {
        pairs.emplace_back(pendingQuestions_[i], answers_[i]);
    }
    return pairs;
}

void AppState::startSubmitAnswers() {
    const Flow flow = slot_.start();
    makePoster(services_.mainQueue, lifetime_)([this, flow] { runSubmitAnswers(flow, {}); });
}

void AppState::submitAnswers(Completion completion) {
    runSubmitAnswers(slot_.detached(), std::move(completion));
}

void AppState::runSubmitAnswers(const Flow& flow, Completion completion) {
    if (pendingQuestions_.empty() || isEnhancing_) {
        return finish(completion);
    }
    const AnswerPairs pairs = answerPairs();
    setEnhancingFor(flow);
    resetErrorFields();

    workers_.start(flow.stop, [post = makePoster(services_.mainQueue, lifetime_), this, flow, pairs,
                               snapshot = makeSnapshot(), &registry = service_.registry(),
                               completion = std::move(completion)](std::stop_token stop) {
        auto reply = WorkResult<std::string>::of([&] {
            return snapshot.send(registry, snapshot.systemPrompt(), snapshot.followUpMessage(pairs),
                                 stop);
        });
        post([this, flow, reply = std::move(reply), completion] {
            completeSubmitAnswers(flow, reply, completion);
        });
    });
}

void AppState::completeSubmitAnswers(const Flow& flow, const WorkResult<std::string>& reply,
                                     const Completion& completion) {
    try {
        if (flow.stop.stop_requested()) {
            throw CancellationError();
        }
        // The second turn's reply is the result, whatever it holds.
        adoptResult(reply.value());
        setPendingQuestions({});
        setAnswers({});
    } catch (...) {
        handleError(std::current_exception());
    }
    if (enhancingFlow_ == flow.id) {
        enhancingFlow_ = 0;
        setIsEnhancing(false);
    }
    finish(completion);
}

// Variations.

void AppState::startGenerateVariations(int count) {
    const Flow flow = slot_.start();
    makePoster(services_.mainQueue,
               lifetime_)([this, flow, count] { runGenerateVariations(flow, count, {}); });
}

void AppState::generateVariations(int count, Completion completion) {
    runGenerateVariations(slot_.detached(), count, std::move(completion));
}

void AppState::runGenerateVariations(const Flow& flow, int count, Completion completion) {
    if (count < 1 || !canEnhance() || isGeneratingVariations_) {
        return finish(completion);
    }
    setGeneratingVariationsFor(flow);
    resetErrorFields();
    setVariations({});
    setPendingQuestions({});

    const RequestSnapshot snapshot = makeSnapshot();
    const auto group = std::make_shared<VariationGroup>(count, flow.stop);
    for (int index = 1; index <= count; ++index) {
        startVariation(flow, group, snapshot, index, completion);
    }
}

void AppState::startVariation(const Flow& flow, const std::shared_ptr<VariationGroup>& group,
                              const RequestSnapshot& snapshot, int index,
                              const Completion& completion) {
    const std::stop_source siblings = group->stopSource();
    workers_.start(siblings.get_token(), [post = makePoster(services_.mainQueue, lifetime_), this,
                                          flow, group, siblings, snapshot, index,
                                          &registry = service_.registry(),
                                          completion](std::stop_token stop) mutable {
        auto text = WorkResult<std::string>::of([&] {
            const std::string user = snapshot.variationMessage(index);
            return snapshot.send(registry, snapshot.systemPrompt(), user, stop);
        });
        const bool failed = text.failed() && !isCancellation(text.error());
        // The group belongs to the main thread: hand this thread's reference over with the result.
        post([this, flow, group = std::move(group), index, text = std::move(text), completion] {
            if (group->record(index, text)) {
                completeVariations(flow, *group, completion);
            }
        });
        // Posted first, so the failure reaches the group before any sibling's cancellation.
        if (failed) {
            siblings.request_stop();
        }
    });
}

void AppState::completeVariations(const Flow& flow, const VariationGroup& group,
                                  const Completion& completion) {
    try {
        if (flow.stop.stop_requested()) {
            throw CancellationError();
        }
        if (group.failure()) {
            std::rethrow_exception(group.failure());
        }
        setVariations(group.keptTexts());
    } catch (...) {
        handleError(std::current_exception());
    }
    if (variationsFlow_ == flow.id) {
        variationsFlow_ = 0;
        setIsGeneratingVariations(false);
    }
    finish(completion);
}

void AppState::useVariation(const std::string& text) {
    adoptResult(text);
    setVariations({});
}

// Model lists.

void AppState::fetchModels(Completion completion) {
    if (isFetchingModels_) {
        return finish(completion);
    }
    const ProviderID id = providerID_;
    setIsFetchingModels(true);
    setModelFetchError(std::nullopt);

    // Outside the slot: only the end of this object stops it.
    workers_.start(std::stop_token(), [post = makePoster(services_.mainQueue, lifetime_), this, id,
                                       &registry = service_.registry(),
                                       completion = std::move(completion)](std::stop_token stop) {
        auto models = WorkResult<std::vector<std::string>>::of(
            [&] { return registry.provider(id)->fetchModels(stop); });
        post([this, id, models = std::move(models), completion] {
            completeFetchModels(id, models, completion);
        });
    });
}

void AppState::completeFetchModels(ProviderID id,
                                   const WorkResult<std::vector<std::string>>& models,
                                   const Completion& completion) {
    if (models.failed()) {
        setModelFetchError(failureMessage(models.error()));
        setIsFetchingModels(false);
        return finish(completion);
    }
    const auto& list = models.value();
    fetchedModels_[id] = list;
    notify(Property::fetchedModels);
    // A list that arrives after the provider was switched is kept for its own provider, but
    // must not put one of its models in place of the model of the provider now in use.
    // The model keeps the user's spelling when the list has it under its other one.
    if (id == providerID_ && !list.empty() && !ModelIdentifier::isListed(model_, list)) {
        setModel(list.front());
    }
    Log::app().log("Fetched %ld models for %s", static_cast<long>(list.size()),
                   std::string(rawValue(id)));
    setIsFetchingModels(false);
    finish(completion);
}

// Preset editing.

Uuid AppState::addCustomPreset() {
    CustomPreset preset{
        .id = Uuid::random(),
        .name = newPresetName,
        .instructions = newPresetInstructions,
        .structuredPrompt = std::nullopt,
        .basePresetRawValue = std::nullopt,
    };
    const Uuid id = preset.id;
    customPresets_.push_back(std::move(preset));
    notify(Property::customPresets);
    presetStore_.save(customPresets_);
    return id;
}

void AppState::updateCustomPreset(const CustomPreset& preset) {
    const auto found =
        std::find_if(customPresets_.begin(), customPresets_.end(),
                     [&](const auto& candidate) { return candidate.id == preset.id; });
    if (found == customPresets_.end()) {
        return;
    }
    *found = preset;
    notify(Property::customPresets);
    presetStore_.save(customPresets_);
}

void AppState::deleteCustomPreset(const Uuid& id) {
    if (std::erase_if(customPresets_, [&](const auto& preset) { return preset.id == id; }) > 0) {
        notify(Property::customPresets);
    }
    if (activeCustomPresetID_ == id) {
        setActiveCustomPresetID(std::nullopt);
    }
    presetStore_.save(customPresets_);
}

void AppState::saveOverride(Preset preset, const std::string& instructions) {
    const bool hasImageStructure = preset == Preset::imageGen || preset == Preset::video;
    overrideStore_.upsert(PresetOverride{
        .presetRawValue = std::string(rawValue(preset)),
        .customInstructions = instructions,
        .imageStructure = hasImageStructure ? std::optional(ImagePromptStructure{}) : std::nullopt,
        .isActive = true,
    });
}

Uuid AppState::duplicatePreset(Preset preset) {
    const auto active = overrideStore_.activeOverride(preset);
    std::string instructions = active && active->customInstructions ? *active->customInstructions
                                                                    : MetaPrompt::forPreset(preset);
    CustomPreset copy = CustomPreset::cloning(preset, std::move(instructions));
    const Uuid id = copy.id;
    customPresets_.push_back(std::move(copy));
    notify(Property::customPresets);
    presetStore_.save(customPresets_);
    return id;
}

// History.

void AppState::restoreHistoryItem(const HistoryItem& item) {
    setInputText(item.input);
    setOutputText(item.output);
    setSelectedPreset(item.preset);
    setErrorMessage(std::nullopt);
    setPendingQuestions({});
    setAnswers({});
    setVariations({});
    setShowHistory(false);
}

void AppState::deleteHistoryItem(const Uuid& id) {
    if (std::erase_if(history_, [&](const auto& item) { return item.id == id; }) > 0) {
        notify(Property::history);
    }
    historyStore_.save(history_);
}

// Clipboard prefill.

void AppState::prefillFromClipboardIfNeeded() {
    const long count = services_.pasteboard.changeCount();
    const long previous = std::exchange(lastPasteboardChangeCount_, count);
    if (count == previous || !autoPrefillFromClipboard_ || !Text::isBlank(inputText_)) {
        return;
    }
    const auto text = services_.pasteboard.string();
    if (!text) {
        return;
    }
    if (std::string trimmed = Text::trimmed(*text); !trimmed.empty()) {
        setInputText(std::move(trimmed));
    }
}

} // namespace quorvane
