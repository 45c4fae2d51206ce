#include "ui/windows/SupportFormButton.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/windows/SettingsRow.h"

#include <QDesktopServices>
#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QUrl>

#include <algorithm>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::FormControls;

} // namespace

SupportFormButton::SupportFormButton(const QString& symbol, const QString& text, QWidget* parent)
    : QPushButton(text, parent)
    , symbol_(symbol) {
    setFlat(true);
    setFont(DesignFonts::body());
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(text);
    applyColors();
}

SupportFormButton* SupportFormButton::link(const QString& symbol, const QString& text,
                                           std::string_view url, QWidget* parent) {
    auto* button = new SupportFormButton(symbol, text, parent);
    const QUrl target(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())));
    button->setToolTip(target.toString());
    connect(button, &QPushButton::clicked, button, [target] { QDesktopServices::openUrl(target); });
    return button;
}

void SupportFormButton::setDestructive(bool destructive) {
    if (destructive_ == destructive) {
        return;
    }
    destructive_ = destructive;
    applyColors();
}

void SupportFormButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange) {
        applyColors();
    }
}

// The symbol and the text line up with those of the form's rows.
QSize SupportFormButton::sizeHint() const {
    const QSize styled = QPushButton::sizeHint();
    const int symbol = icon().isNull() ? 0 : SettingsRow::symbolColumn + SettingsRow::spacing;
    const int width =
        2 * SettingsRow::leadingInset + symbol + fontMetrics().horizontalAdvance(text());
    return {std::max(styled.width(), width), styled.height()};
}

void SupportFormButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect label = rect().adjusted(SettingsRow::leadingInset, 0, -SettingsRow::leadingInset, 0);
    if (!option.icon.isNull()) {
        const QRect column(label.left(), 0, SettingsRow::symbolColumn, height());
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        option.icon.paint(&painter, QStyle::visualRect(layoutDirection(), rect(), column),
                          Qt::AlignCenter, mode);
        label.setLeft(column.right() + 1 + SettingsRow::spacing);
    }
    painter.drawItemText(QStyle::visualRect(layoutDirection(), rect(), label),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
}

void SupportFormButton::applyColors() {
    const auto scheme = ColorScheme::of(this);
    const QColor color =
        destructive_ ? DesignColors::redText(scheme) : DesignColors::primary(scheme);
    const QColor shown = isEnabled() ? color : DesignColors::withOpacity(color, 0.45);
    if (!symbol_.isEmpty()) {
        setIcon(Symbols::icon(symbol_.toStdString(), Metrics::buttonSymbolSize, shown));
    }
    if (!destructive_) {
        return;
    }
    // Runs on every palette change; an unchanged colour sends none, so it does not loop.
    WidgetPalette::setForeground(*this, shown);
}

} // namespace quorvane
