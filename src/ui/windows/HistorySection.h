// The "History" section of the settings form: how many enhancements are kept
// and a button that clears them.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace quorvane {

class AppState;
class SettingsGroup;

class HistorySection : public QWidget {
    Q_OBJECT
public:
    explicit HistorySection(AppState& state, QWidget* parent = nullptr);

    void refresh();
    // Empties the history and stores the empty list; the panel's texts stay.
    void clearHistory();

    SettingsGroup* group() const { return group_; }
    QLabel* countLabel() const { return countLabel_; }
    QPushButton* clearButton() const { return clearButton_; }

private:
    AppState& state_;
    SettingsGroup* group_;
    QLabel* countLabel_;
    QPushButton* clearButton_;
};

} // namespace quorvane
