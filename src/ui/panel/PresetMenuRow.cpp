#include "ui/panel/PresetMenuRow.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QAction>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QToolTip>

#include <cmath>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PresetMenuRow;

// Where the name starts: after the preset's symbol.
constexpr qreal nameLeft = Metrics::padding + Metrics::iconSize + Metrics::spacing;
// The least room between the name (or its mark) and the checkmark column.

const QString customizedHelp = QStringLiteral("Customized");

} // namespace

PresetMenuRow::PresetMenuRow(QAction& action, std::string symbol, bool customized, QMenu& menu)
    : action_(&action)
    , menu_(&menu)
    , symbol_(std::move(symbol))
    , customized_(customized) {
    setObjectName(QStringLiteral("presetMenuRow"));
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setFont(menu.font());
    connect(&menu, &QMenu::hovered, this, qOverload<>(&QWidget::update));
    connect(&action, &QAction::changed, this, qOverload<>(&QWidget::update));
}

bool PresetMenuRow::isHighlighted() const {
    return menu_ != nullptr && action_ != nullptr && menu_->activeAction() == action_;
}

QRectF PresetMenuRow::customizedMarkRect() const {
    if (!customized_ || action_ == nullptr) {
        return {};
    }
    const qreal nameWidth = QFontMetricsF(font()).horizontalAdvance(action_->text());
    const qreal x = nameLeft + nameWidth + Metrics::spacing;
    return {x, (height() - Metrics::markSize) / 2.0, Metrics::markSize, Metrics::markSize};
}

QRectF PresetMenuRow::checkmarkRect() const {
    if (action_ == nullptr || !action_->isChecked()) {
        return {};
    }
    return {width() - Metrics::padding - Metrics::checkSize, (height() - Metrics::checkSize) / 2.0,
            Metrics::checkSize, Metrics::checkSize};
}

QSize PresetMenuRow::sizeHint() const {
    const QFontMetricsF metrics(font());
    const QString text = action_ != nullptr ? action_->text() : QString();
    qreal width = nameLeft + metrics.horizontalAdvance(text);
    if (customized_) {
        width += Metrics::spacing + Metrics::markSize;
    }
    width += Metrics::minimumGap + Metrics::checkSize + Metrics::padding;
    // As high as the style makes an ordinary row with an icon and this text.
    QStyleOptionMenuItem option;
    option.initFrom(this);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = text;
    option.maxIconWidth = static_cast<int>(Metrics::iconSize);
    const QSize content(static_cast<int>(std::ceil(width)),
                        static_cast<int>(std::ceil(std::max(metrics.height(), Metrics::iconSize))));
    const QSize styled = style()->sizeFromContents(QStyle::CT_MenuItem, &option, content, menu_);
    return {content.width(), std::max(content.height(), styled.height())};
}

bool PresetMenuRow::event(QEvent* event) {
    // The help text belongs to the mark; elsewhere the menu shows the action's own.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (customizedMarkRect().contains(help->pos())) {
            QToolTip::showText(help->globalPos(), customizedHelp, this,
                               customizedMarkRect().toAlignedRect());
            return true;
        }
    }
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        update();
    }
    return QWidget::event(event);
}

void PresetMenuRow::paintEvent(QPaintEvent*) {
    if (action_ == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const bool highlighted = isHighlighted();
    const bool enabled = action_->isEnabled();

    // The style draws the row's ground, so a highlighted row looks like its neighbours.
    QStyleOptionMenuItem option;
    option.initFrom(this);
    option.rect = rect();
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.state.setFlag(QStyle::State_Selected, highlighted && enabled);
    option.state.setFlag(QStyle::State_Enabled, enabled);
    if (menu_ != nullptr) {
        option.menuRect = menu_->rect();
    }
    style()->drawControl(QStyle::CE_MenuItem, &option, &painter, menu_);

    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    const QColor text =
        highlighted
            ? palette().color(QPalette::HighlightedText)
            : palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    const QColor secondary =
        highlighted ? DesignColors::withOpacity(text, 0.8) : DesignColors::secondary(scheme);
    const qreal middle = height() / 2.0;
    Symbols::paint(painter,
                   QRectF(Metrics::padding, middle - Metrics::iconSize / 2, Metrics::iconSize,
                          Metrics::iconSize),
                   symbol_, Metrics::iconSize, text);
    const qreal nameWidth = QFontMetricsF(font()).horizontalAdvance(action_->text());
    painter.setFont(font());
    painter.setPen(text);
    painter.drawText(QRectF(nameLeft, 0, nameWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     action_->text());
    if (customized_) {
        Symbols::paint(painter, customizedMarkRect(), "pencil.circle", Metrics::markSize,
                       secondary);
    }
    if (action_->isChecked()) {
        Symbols::paint(painter, checkmarkRect(), "checkmark", Metrics::checkSize, text);
    }
}

} // namespace quorvane
