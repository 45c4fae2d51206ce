#include "ui/windows/SettingsHeader.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::SettingsHeader;

class HeaderTile : public QWidget {
public:
    explicit HeaderTile(QWidget* parent)
        : QWidget(parent) {
        setFixedSize(Metrics::tileSize, Metrics::tileSize);
        auto* shadow = new QGraphicsDropShadowEffect(this);
        shadow->setBlurRadius(10);
        shadow->setOffset(0, 2);
        shadow->setColor(
            DesignColors::withOpacity(DesignColors::accent(ColorScheme::of(this)), 0.35));
        setGraphicsEffect(shadow);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QColor accent = DesignColors::accent(ColorScheme::of(this));
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF rect = this->rect();
        QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
        gradient.setColorAt(0, accent);
        gradient.setColorAt(1, DesignColors::withOpacity(accent, 0.6));
        QPainterPath path;
        path.addRoundedRect(rect, Metrics::tileRadius, Metrics::tileRadius);
        painter.fillPath(path, gradient);
        Symbols::paint(painter, rect, "wand.and.stars", Metrics::tileSymbolSize,
                       DesignColors::white());
    }
};

} // namespace

SettingsHeader::SettingsHeader(const QString& versionString, QWidget* parent)
    : QWidget(parent)
    , title_(new QLabel(QStringLiteral("Quorvane"), this))
    , subtitle_(new QLabel(tr("Free · Privacy-first · v") + versionString, this)) {
    title_->setFont(DesignFonts::system(DesignFonts::title3().pixelSize(), QFont::DemiBold));
    subtitle_->setFont(DesignFonts::caption());
    subtitle_->setForegroundRole(QPalette::PlaceholderText);

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(title_);
    text->addWidget(subtitle_);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(13);
    layout->addWidget(new HeaderTile(this));
    layout->addLayout(text);
    layout->addStretch(1);
}

} // namespace quorvane
