#include "ui/windows/PresetTextEditor.h"

#include "ui/kit/CardShape.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::PresetRow;

// The callout size (12) in the fixed-pitch face.
constexpr qreal calloutSize = 12;

} // namespace

PresetTextEditor::PresetTextEditor(int editorHeight, QWidget* parent)
    : QWidget(parent)
    , card_(new CardShape(false, Metrics::editorCornerRadius, this))
    , editor_(new QPlainTextEdit) {
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setFont(DesignFonts::monospaced(calloutSize));
    // The card shows through; a style sheet would do the same, but would also take the scroll
    // bars out of the application's style.
    editor_->setAutoFillBackground(false);
    editor_->viewport()->setAutoFillBackground(false);
    QPalette clearBase = editor_->palette();
    clearBase.setColor(QPalette::Base, DesignColors::clear());
    editor_->setPalette(clearBase);
    editor_->viewport()->installEventFilter(this);
    editor_->setFixedHeight(editorHeight);
    editor_->setTabChangesFocus(true);

    auto* padded = new QWidget;
    auto* paddedLayout = new QVBoxLayout(padded);
    paddedLayout->setContentsMargins(Metrics::editorPadding, Metrics::editorPadding,
                                     Metrics::editorPadding, Metrics::editorPadding);
    paddedLayout->addWidget(editor_);
    card_->setContent(padded);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(card_);

    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingText_) {
            emit edited(editor_->toPlainText());
        }
    });
}

// The wheel scrolls the editor while it has somewhere to go, then the form around it: an
// editor at its end would otherwise swallow the rest of the gesture.
bool PresetTextEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_->viewport() || event->type() != QEvent::Wheel) {
        return QWidget::eventFilter(watched, event);
    }
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int delta = wheel->angleDelta().y();
    const QScrollBar* own = editor_->verticalScrollBar();
    const bool canScroll =
        delta > 0 ? own->value() > own->minimum() : own->value() < own->maximum();
    if (delta == 0 || canScroll) {
        return QWidget::eventFilter(watched, event);
    }
    for (QWidget* above = parentWidget(); above != nullptr; above = above->parentWidget()) {
        if (auto* form = qobject_cast<QAbstractScrollArea*>(above)) {
            QCoreApplication::sendEvent(form->verticalScrollBar(), wheel);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString PresetTextEditor::text() const {
    return editor_->toPlainText();
}

void PresetTextEditor::setTextIfDifferent(const QString& text) {
    if (editor_->toPlainText() == text) {
        return;
    }
    settingText_ = true;
    editor_->setPlainText(text);
    settingText_ = false;
}

} // namespace quorvane
