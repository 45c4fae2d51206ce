#include "ui/panel/ActionPrimaryButton.h"

#include "ui/kit/AuroraButtonStyle.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/Symbols.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace quorvane {

namespace {

constexpr int labelSpacing = DesignMetrics::ActionBar::primaryLabelSpacing;
constexpr int sidePadding = DesignMetrics::ActionBar::primarySidePadding;

QLabel* makeLabel(QWidget* parent, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

ActionPrimaryButton::ActionPrimaryButton(QWidget* parent)
    : KitButton(std::make_unique<AuroraButtonStyle>(width), parent)
    , symbol_(makeLabel(this, Symbols::font(13)))
    , title_(makeLabel(this, style().labelFont()))
    , hint_(makeLabel(this, DesignFonts::system(11, QFont::DemiBold))) {
    setObjectName(QStringLiteral("primaryButton"));
    // The kit draws the background only; the labels below carry the content.
    setLabelColor(QColor(Qt::transparent));
    hint_->setText(QStringLiteral("Ctrl+↵"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(labelSpacing);
    row->addStretch(1);
    row->addWidget(symbol_);
    row->addWidget(title_);
    row->addWidget(hint_);
    row->addStretch(1);

    setCopyMode(false);
    applyLabelOpacity();
}

void ActionPrimaryButton::setCopyMode(bool copyMode) {
    if (copyMode_ == copyMode) {
        return;
    }
    copyMode_ = copyMode;
    const char* symbol = copyMode ? "doc.on.doc" : "sparkles";
    const QString title = copyMode ? QStringLiteral("Copy & Close") : QStringLiteral("Enhance");
    setSymbol(symbol);
    setText(title);
    // The ampersand is part of the title: the mnemonic that setText() makes of
    // it would turn Alt+Space into Copy & Close.
    setShortcut(QKeySequence());
    setAccessibleName(title);
    applyToolTip();
    symbol_->setText(Symbols::glyph(symbol));
    title_->setText(title);
}

void ActionPrimaryButton::setBoundKeys(const HotkeyConfig& keys) {
    if (boundKeys_ == keys) {
        return;
    }
    boundKeys_ = keys;
    applyToolTip();
}

void ActionPrimaryButton::applyToolTip() {
    setToolTip(ShortcutKeySequence::helpText(copyMode_ ? QStringLiteral("Copy the prompt and close")
                                                       : QStringLiteral("Enhance"),
                                             boundKeys_));
}

QString ActionPrimaryButton::hintText() const {
    return hint_->text();
}

QSize ActionPrimaryButton::sizeHint() const {
    // The fixed width was made for a one-glyph hint; "Ctrl+↵" beside "Copy & Close" does not fit
    // it in every font, and a clipped title is worse than a wider button. The wider title counts
    // in both modes, so that the button keeps its width when the mode changes.
    const QFontMetrics metrics(title_->font());
    const int title = std::max(metrics.horizontalAdvance(QStringLiteral("Copy & Close")),
                               metrics.horizontalAdvance(QStringLiteral("Enhance")));
    const int labels = symbol_->sizeHint().width() + title + hint_->sizeHint().width() +
                       2 * labelSpacing + 2 * sidePadding;
    QSize size = KitButton::sizeHint();
    size.setWidth(std::max(size.width(), labels));
    return size;
}

void ActionPrimaryButton::changeEvent(QEvent* event) {
    KitButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        applyLabelOpacity();
    }
}

void ActionPrimaryButton::applyLabelOpacity() {
    // The kit fades a disabled button's own label; these labels follow suit.
    const qreal opacity = style().opacity({isEnabled(), false, false});
    const auto sheet = [](qreal alpha) {
        return QStringLiteral("color: rgba(255, 255, 255, %1); background: transparent;")
            .arg(static_cast<int>(alpha * 255));
    };
    symbol_->setStyleSheet(sheet(opacity));
    title_->setStyleSheet(sheet(opacity));
    // As white as the title: any fainter, the hint would not read on the gradient (under
    // 4.5:1); its smaller size sets it apart.
    hint_->setStyleSheet(sheet(opacity));
}

} // namespace quorvane
