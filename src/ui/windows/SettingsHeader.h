// The first row of the settings form: the program's tile, name and version.
#pragma once

#include <QWidget>

class QLabel;

namespace quorvane {

class SettingsHeader : public QWidget {
    Q_OBJECT

public:
    explicit SettingsHeader(const QString& versionString, QWidget* parent = nullptr);

    QLabel* title() const { return title_; }
    QLabel* subtitle() const { return subtitle_; }

private:
    QLabel* title_;
    QLabel* subtitle_;
};

} // namespace quorvane
