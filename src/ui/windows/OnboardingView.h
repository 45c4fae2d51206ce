// The first-run walkthrough: welcome, provider, API key (only for providers that need one),
// options and done. Every choice is written into the state or the key store as it is made;
// finishing only sets the completion flag. The page shown and the typed key live as long as the
// view, so a walkthrough shown again resumes where the last one ended.
#pragma once

#include "engine/ProviderID.h"
#include "ui/kit/CoalescedRefresh.h"
#include "ui/kit/DesignMetrics.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace quorvane {

class AppState;
class KitButton;
class OnboardingLabel;
class OnboardingPageHeader;
class SecureKeyField;
class ToggleSwitch;
class VisualEffectView;

class OnboardingView : public QWidget {
    Q_OBJECT

public:
    enum OnboardingStep { welcome = 0, provider = 1, apiKey = 2, options = 3, done = 4 };

    static constexpr int fixedWidth = DesignMetrics::Onboarding::width;
    static constexpr int fixedHeight = DesignMetrics::Onboarding::height;

    OnboardingView(AppState& state, std::function<void()> onFinish, QWidget* parent = nullptr);
    ~OnboardingView() override;

    static const std::vector<int>& stepSequence(ProviderID id);
    // Where the provider's own site creates API keys; nothing for providers without such a page.
    static std::optional<std::string> keyPageURL(ProviderID id);

    int step() const { return step_; }
    const QString& keyDraft() const { return keyDraft_; }
    int currentIndex() const;
    bool isFirstStep() const { return step_ == welcome; }
    bool isLastStep() const;
    bool isContinueEnabled() const;

    // The primary and the Back button.
    void advance();
    void goBack();
    // A change of the key field by the user: stored at once for the current provider.
    void editKeyDraft(const QString& text);

    // Re-reads the state; runs once per event-loop turn after the state changed.
    void refresh();

    KitButton* primaryButton() const { return primary_; }
    KitButton* backButton() const { return back_; }
    QLabel* counterLabel() const { return counter_; }
    QStackedWidget* pages() const { return pages_; }
    QComboBox* providerPicker() const { return picker_; }
    SecureKeyField* keyField() const { return keyField_; }
    QPushButton* keyLink() const { return keyLink_; }
    ToggleSwitch* launchToggle() const { return launchToggle_; }
    QLabel* hotkeyLabel() const { return hotkeyLabel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeWelcomePage();
    QWidget* makeProviderPage();
    QWidget* makeKeyPage();
    QWidget* makeOptionsPage();
    QWidget* makeDonePage();
    QWidget* makeFooter();
    QLabel* addText(QVBoxLayout* layout, const QString& text, const QFont& font, bool secondary,
                    bool centred);

    void appear();
    void setStep(int step);
    void loadKeyDraft();
    void launchAtLoginToggled(bool enabled);
    void refreshPages();
    void refreshFooter();
    void applyColors();

    AppState& state_;
    std::function<void()> onFinish_;
    int step_ = welcome;
    QString keyDraft_;

    // The provider the key field was last loaded for; a change of it reloads the field.
    ProviderID loadedProvider_;

    VisualEffectView* background_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    KitButton* back_ = nullptr;
    QLabel* counter_ = nullptr;
    KitButton* primary_ = nullptr;
    QComboBox* picker_ = nullptr;
    OnboardingLabel* providerNote_ = nullptr;
    OnboardingPageHeader* keyHeader_ = nullptr;
    SecureKeyField* keyField_ = nullptr;
    QPushButton* keyLink_ = nullptr;
    OnboardingLabel* keyPrivacy_ = nullptr;
    ToggleSwitch* launchToggle_ = nullptr;
    QLabel* hotkeyLabel_ = nullptr;
    std::vector<QLabel*> secondaryLabels_;
    std::vector<QLabel*> primaryLabels_;
    std::vector<OnboardingLabel*> symbolLabels_;
    std::vector<OnboardingPageHeader*> headers_;

    CoalescedRefresh refresher_;
};

} // namespace quorvane
