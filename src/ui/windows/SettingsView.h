// The content of the settings window: a scrolling grouped form of the
// header and the nine sections, in the colour scheme the appearance setting
// picks ("auto": the desktop's preference). The view observes the state once for all sections and
// asks each to re-read, at most once per event-loop turn.
#pragma once

#include "ui/kit/CoalescedRefresh.h"
#include "ui/kit/DesignMetrics.h"

#include <QWidget>

#include <functional>
#include <vector>

class QScrollArea;

namespace quorvane {

class AppState;
class AppearanceSection;
class BehaviorSection;
class ProviderSection;
class SettingsHeader;

class SettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int formWidth = DesignMetrics::SettingsForm::width;
    static constexpr int formMinimumHeight = DesignMetrics::SettingsForm::minimumHeight;

    explicit SettingsView(AppState& state, QWidget* parent = nullptr);
    ~SettingsView() override;

    // Every section re-reads the state now.
    void refresh();

    QScrollArea* scrollArea() const { return scroll_; }
    SettingsHeader* header() const { return header_; }
    ProviderSection* providerSection() const { return provider_; }
    AppearanceSection* appearanceSection() const { return appearance_; }
    BehaviorSection* behaviorSection() const { return behavior_; }
    // Every section in form order, for the ones this view only hosts.
    const std::vector<QWidget*>& sections() const { return sections_; }

private:
    template <typename Section>
    Section* addSection(QWidget* content);
    void refreshColorScheme();

    AppState& state_;
    QScrollArea* scroll_;
    SettingsHeader* header_ = nullptr;
    ProviderSection* provider_ = nullptr;
    AppearanceSection* appearance_ = nullptr;
    BehaviorSection* behavior_ = nullptr;
    std::vector<QWidget*> sections_;
    std::vector<std::function<void()>> refreshers_;
    CoalescedRefresh refresher_;
};

} // namespace quorvane
