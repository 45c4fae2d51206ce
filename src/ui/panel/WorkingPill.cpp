#include "ui/panel/WorkingPill.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignGradients.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::WorkingPill;

constexpr qreal stopOpacity = 0.92;

QString whiteText() {
    return QStringLiteral("color: white; background: transparent;");
}

} // namespace

WorkingPill::WorkingPill(QWidget* parent)
    : QWidget(parent)
    , label_(new QLabel(this))
    , stop_(new QToolButton(this)) {
    setObjectName(QStringLiteral("workingPill"));
    setFixedSize(width, height);
    setToolTip(QStringLiteral("Working… (click to stop)"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch(1);

    auto* symbol = new QLabel(Symbols::glyph("sparkles"), this);
    symbol->setFont(Symbols::font(13));
    symbol->setStyleSheet(whiteText());
    row->addWidget(symbol);

    label_->setFont(DesignFonts::system(13, QFont::DemiBold));
    label_->setStyleSheet(whiteText());
    label_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    row->addWidget(label_);

    stop_->setObjectName(QStringLiteral("stopButton"));
    stop_->setText(Symbols::glyph("stop.fill"));
    stop_->setFont(Symbols::font(9));
    stop_->setToolTip(QStringLiteral("Stop"));
    stop_->setAccessibleName(QStringLiteral("Stop"));
    stop_->setAutoRaise(true);
    stop_->setCursor(Qt::PointingHandCursor);
    stop_->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; color: white; }"));
    auto* fade = new QGraphicsOpacityEffect(stop_);
    fade->setOpacity(stopOpacity);
    stop_->setGraphicsEffect(fade);
    connect(stop_, &QToolButton::clicked, this, &WorkingPill::stopRequested);
    row->addWidget(stop_);
    row->addStretch(1);

    setGeneratingVariations(false);
}

void WorkingPill::setGeneratingVariations(bool generating) {
    const QString text = generating ? QStringLiteral("Generating…") : QStringLiteral("Enhancing…");
    if (label_->text() != text) {
        label_->setText(text);
    }
}

QString WorkingPill::text() const {
    return label_->text();
}

void WorkingPill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = rect();
    QPainterPath shape;
    shape.addRoundedRect(card, Metrics::cornerRadius, Metrics::cornerRadius);
    painter.fillPath(shape, DesignGradients::primary(card, ColorScheme::of(this)));
}

} // namespace quorvane
