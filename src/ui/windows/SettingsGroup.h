// One card of the grouped settings form: an optional header above, the rows
// inside one rounded card separated by hairlines, and an optional footer
// text below.
#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QVBoxLayout;

namespace quorvane {

class SettingsGroup : public QWidget {
    Q_OBJECT

public:
    explicit SettingsGroup(const QString& header = {}, QWidget* parent = nullptr);

    void addRow(QWidget* row);
    void setHeader(const QString& text);
    // A widget at the trailing end of the header line, e.g. a status badge.
    void setHeaderAccessory(QWidget* accessory);
    // An empty text hides the footer.
    void setFooter(const QString& text);
    QLabel* headerLabel() const { return header_; }
    QLabel* footerLabel() const { return footer_; }
    int rowCount() const { return rowCount_; }
    // In the order they were added.
    std::vector<QWidget*> rows() const;

private:
    QWidget* headerLine_;
    QLabel* header_;
    QLabel* footer_;
    QWidget* card_;
    QVBoxLayout* rows_;
    int rowCount_ = 0;
};

} // namespace quorvane
