#include "ui/windows/SettingsGroup.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::SettingsGroup;

// The rounded card behind the rows; it draws the hairlines between rows
// itself so that a hidden row takes its separator with it.
class GroupCard : public QWidget {
public:
    explicit GroupCard(QWidget* parent)
        : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        const auto scheme = ColorScheme::of(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF rect = QRectF(this->rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath path;
        path.addRoundedRect(rect, Metrics::cardRadius, Metrics::cardRadius);
        painter.fillPath(
            path, DesignColors::withOpacity(DesignColors::primary(scheme),
                                            scheme == ColorScheme::Scheme::dark ? 0.05 : 0.03));
        painter.setPen(QPen(DesignColors::withOpacity(DesignColors::primary(scheme), 0.10), 1));
        painter.drawPath(path);
        paintSeparators(painter, scheme);
    }

private:
    void paintSeparators(QPainter& painter, ColorScheme::Scheme scheme) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(DesignColors::withOpacity(DesignColors::primary(scheme), 0.10), 1));
        bool first = true;
        for (QObject* child : children()) {
            auto* row = qobject_cast<QWidget*>(child);
            if (row == nullptr || row->isHidden()) {
                continue;
            }
            if (!first) {
                const int y = row->geometry().top() - 1;
                painter.drawLine(Metrics::rowInset, y, width() - Metrics::rowInset, y);
            }
            first = false;
        }
    }
};

QLabel* makeCaption(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setFont(DesignFonts::callout());
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->hide();
    return label;
}

} // namespace

SettingsGroup::SettingsGroup(const QString& header, QWidget* parent)
    : QWidget(parent)
    , headerLine_(new QWidget(this))
    , header_(makeCaption(headerLine_))
    , footer_(makeCaption(this))
    , card_(new GroupCard(this))
    , rows_(new QVBoxLayout(card_)) {
    header_->setFont(DesignFonts::headline());
    header_->setForegroundRole(QPalette::WindowText);
    // A title is one line; wrapped, "Keyboard Shortcuts" broke in two beside the stretch.
    header_->setWordWrap(false);
    rows_->setContentsMargins(0, 2, 0, 2);
    rows_->setSpacing(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* headerLayout = new QHBoxLayout(headerLine_);
    headerLayout->setContentsMargins(4, 0, 0, 0);
    headerLayout->setSpacing(6);
    headerLayout->addWidget(header_);
    headerLayout->addStretch(1);
    layout->addWidget(headerLine_);
    layout->addWidget(card_);
    footer_->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(footer_);
    setHeader(header);
}

void SettingsGroup::addRow(QWidget* row) {
    row->setParent(card_);
    rows_->addWidget(row);
    ++rowCount_;
}

std::vector<QWidget*> SettingsGroup::rows() const {
    std::vector<QWidget*> result;
    for (int index = 0; index < rows_->count(); ++index) {
        if (QWidget* row = rows_->itemAt(index)->widget()) {
            result.push_back(row);
        }
    }
    return result;
}

void SettingsGroup::setHeader(const QString& text) {
    header_->setText(text);
    header_->setVisible(!text.isEmpty());
    headerLine_->setVisible(!text.isEmpty() || headerLine_->layout()->count() > 2);
}

void SettingsGroup::setHeaderAccessory(QWidget* accessory) {
    headerLine_->layout()->addWidget(accessory);
    headerLine_->setVisible(true);
}

void SettingsGroup::setFooter(const QString& text) {
    footer_->setText(text);
    footer_->setVisible(!text.isEmpty());
}

} // namespace quorvane
