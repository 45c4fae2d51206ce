#include "ui/kit/ErrorBanner.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/ShapePainter.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::ErrorBanner;

} // namespace

ErrorBanner::ErrorBanner(const std::string& message, bool suggestsSettings,
                         std::function<void()> onOpenSettings, QWidget* parent)
    : QWidget(parent)
    , icon_(new QLabel(this))
    , message_(new QLabel(this))
    , settingsButton_(new QToolButton(this))
    , column_(new QVBoxLayout())
    , onOpenSettings_(std::move(onOpenSettings)) {
    // As tall as its text needs, never stretched by the column around it.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(8);

    icon_->setFont(Symbols::font(Metrics::symbolSize));
    icon_->setText(Symbols::glyph("exclamationmark.triangle.fill"));
    icon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    row->addWidget(icon_, 0, Qt::AlignTop);

    auto* column = column_;
    column->setSpacing(6);
    column->setContentsMargins(0, 0, 0, 0);
    // Plain text: a message from a server must never be read as markup.
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setFont(DesignFonts::callout());
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(message_);

    settingsButton_->setText(QStringLiteral("Settings"));
    settingsButton_->setFont(DesignFonts::system(10, QFont::DemiBold));
    settingsButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    settingsButton_->setAutoRaise(true);
    settingsButton_->setCursor(Qt::PointingHandCursor);
    settingsButton_->setIconSize(QSize(10, 10));
    settingsButton_->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    connect(settingsButton_, &QToolButton::clicked, this, [this] {
        if (onOpenSettings_) {
            onOpenSettings_();
        }
    });
    column->addWidget(settingsButton_, 0, Qt::AlignLeft);
    column->addStretch(1);
    row->addLayout(column, 1);

    setMessage(message);
    setSuggestsSettings(suggestsSettings);
    applyColors();
}

void ErrorBanner::setMessage(const std::string& message) {
    message_->setText(QString::fromStdString(message));
    setAccessibleDescription(message_->text());
    relayout();
}

void ErrorBanner::setSuggestsSettings(bool suggestsSettings) {
    suggestsSettings_ = suggestsSettings;
    settingsButton_->setVisible(suggestsSettings);
    relayout();
}

void ErrorBanner::setOnOpenSettings(std::function<void()> onOpenSettings) {
    onOpenSettings_ = std::move(onOpenSettings);
}

// Box layouts cache their height for a width, nested ones included, and
// invalidating the outer layout leaves the inner cache with the old line count.
void ErrorBanner::relayout() {
    column_->invalidate();
    layout()->invalidate();
    updateGeometry();
}

QString ErrorBanner::message() const {
    return message_->text();
}

bool ErrorBanner::suggestsSettings() const {
    return suggestsSettings_;
}

void ErrorBanner::applyColors() {
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QColor orange = DesignColors::orange(scheme);
    WidgetPalette::setForeground(*icon_, orange);
    WidgetPalette::setForeground(*message_, DesignColors::primary(scheme));

    // The orange of the words is a deeper one than the icon's, to be read on the orange ground.
    const QColor orangeText = DesignColors::orangeText(scheme);
    WidgetPalette::setForeground(*settingsButton_, orangeText);
    settingsButton_->setIcon(Symbols::icon("arrow.right", 10, orangeText));
}

QSize ErrorBanner::sizeHint() const {
    QSize hint = QWidget::sizeHint();
    if (width() > 0) {
        hint.setHeight(heightForWidth(width()));
    }
    return hint;
}

void ErrorBanner::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) {
        updateGeometry();
    }
}

void ErrorBanner::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
        applyColors();
    }
    QWidget::changeEvent(event);
}

void ErrorBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    ShapePainter::fillRoundedRect(
        painter, rect(), Metrics::cornerRadius,
        DesignColors::withOpacity(DesignColors::orange(ColorScheme::of(this)), 0.12));
}

} // namespace quorvane
