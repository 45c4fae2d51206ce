// The "Backend" section of the settings form: the provider, the custom base
// URL, the model with its refresh button, and the API key of the current
// provider with its status badge and explanations. The key is written to the
// key store on every edit; there is no save step.
#pragma once

#include "engine/ProviderID.h"

#include <QString>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace quorvane {

class AppState;
class SecureKeyField;
class SettingsGroup;
class SettingsRow;

class ProviderSection : public QWidget {
    Q_OBJECT

public:
    explicit ProviderSection(AppState& state, QWidget* parent = nullptr);

    void refresh();

    // The name the texts give to the variable that may hold the provider's key.
    static QString environmentVariableName(ProviderID id);
    // The provider's own page for creating API keys; empty when it has none.
    static QString keyPageUrl(ProviderID id);

    // Reloads the key field from the key store, then fetches the model list when needed.
    void loadKeyDraft();
    void autoFetchModelsIfNeeded();
    void refreshModels();

    const QString& keyDraft() const { return keyDraft_; }
    bool environmentActive() const;

    SettingsGroup* group() const { return group_; }
    QLabel* badge() const { return badge_; }
    QString badgeText() const { return badgeText_; }
    QString badgeSymbol() const { return badgeSymbol_; }
    QComboBox* providerPicker() const { return providerPicker_; }
    SettingsRow* baseUrlRow() const { return baseUrlRow_; }
    QLineEdit* baseUrlField() const { return baseUrlField_; }
    QComboBox* modelPicker() const { return modelPicker_; }
    QLineEdit* modelField() const { return modelField_; }
    QToolButton* refreshButton() const { return refreshButton_; }
    QProgressBar* fetchIndicator() const { return fetchIndicator_; }
    QWidget* keyBlock() const { return keyBlock_; }
    SecureKeyField* keyField() const { return keyField_; }
    QLabel* keyStatus() const { return keyStatus_; }
    QString keyStatusSymbol() const { return keyStatusSymbol_; }
    QLabel* keyExplanation() const { return keyExplanation_; }
    QPushButton* keyPageLink() const { return keyPageLink_; }
    SettingsRow* ollamaNote() const { return ollamaNote_; }
    SettingsRow* onDeviceNote() const { return onDeviceNote_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildModelControl();
    QWidget* buildKeyBlock();
    SettingsRow* buildNote(const QString& symbol, const QString& text);

    void saveKeyDraft(const QString& text);
    void refreshBadge();
    void refreshModelRow();
    void refreshKeyBlock();
    void refreshFooter();
    void openKeyPage() const;

    AppState& state_;
    QString keyDraft_;
    // The provider whose key the field holds; nothing before the first load.
    std::optional<ProviderID> loadedProvider_;
    QString badgeText_;
    QString badgeSymbol_;
    QString keyStatusSymbol_;

    SettingsGroup* group_;
    QLabel* badge_;
    QComboBox* providerPicker_;
    QLineEdit* baseUrlField_;
    SettingsRow* baseUrlRow_;
    QComboBox* modelPicker_;
    QLineEdit* modelField_;
    QToolButton* refreshButton_;
    QProgressBar* fetchIndicator_;
    SecureKeyField* keyField_ = nullptr;
    QLabel* keyStatus_ = nullptr;
    QLabel* keyExplanation_ = nullptr;
    QPushButton* keyPageLink_ = nullptr;
    QWidget* keyBlock_;
    SettingsRow* ollamaNote_;
    SettingsRow* onDeviceNote_;
};

} // namespace quorvane
