#include "ui/windows/SecureKeyField.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::FormControls;

} // namespace

SecureKeyField::SecureKeyField(QWidget* parent)
    : QWidget(parent)
    , edit_(new QLineEdit(this))
    , toggle_(new QToolButton(this)) {
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setClearButtonEnabled(false);
    // Keys are pasted far more often than typed; keep them out of input methods' memory.
    edit_->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhNoPredictiveText | Qt::ImhSensitiveData);
    toggle_->setAutoRaise(true);
    toggle_->setCursor(Qt::PointingHandCursor);
    toggle_->setFocusPolicy(Qt::TabFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(edit_, 1);
    layout->addWidget(toggle_);

    connect(edit_, &QLineEdit::textEdited, this, &SecureKeyField::textEdited);
    connect(toggle_, &QToolButton::clicked, this, [this] { setKeyShown(!shown_); });
    setFocusProxy(edit_);
    refreshToggle();
}

QString SecureKeyField::text() const {
    return edit_->text();
}

void SecureKeyField::setText(const QString& text) {
    if (edit_->text() != text) {
        edit_->setText(text);
    }
}

void SecureKeyField::setPlaceholderText(const QString& text) {
    edit_->setPlaceholderText(text);
}

QString SecureKeyField::placeholderText() const {
    return edit_->placeholderText();
}

void SecureKeyField::setKeyShown(bool shown) {
    shown_ = shown;
    edit_->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    refreshToggle();
}

void SecureKeyField::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        refreshToggle();
    }
}

void SecureKeyField::refreshToggle() {
    const auto scheme = ColorScheme::of(this);
    toggle_->setIcon(Symbols::icon(shown_ ? "eye.slash" : "eye", Metrics::keyToggleSymbolSize,
                                   DesignColors::secondary(scheme)));
    toggle_->setToolTip(shown_ ? tr("Hide key") : tr("Show key"));
    toggle_->setAccessibleName(shown_ ? tr("Hide API key") : tr("Show API key"));
}

} // namespace quorvane
