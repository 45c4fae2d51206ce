#include "ui/windows/PresetTextEditor.h"

#include "ui/kit/CardShape.h"
#include "ui/kit/DesignFonts.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quorvane {

namespace {

constexpr qreal cornerRadius = 7;
constexpr int innerPadding = 6;

// The callout size (12) in the fixed-pitch face.
constexpr qreal calloutSize = 12;

} // namespace

PresetTextEditor::PresetTextEditor(int editorHeight, QWidget* parent)
    : QWidget(parent)
    , card_(new CardShape(false, cornerRadius, this))
    , editor_(new QPlainTextEdit) {
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setFont(DesignFonts::monospaced(calloutSize));
    editor_->setAutoFillBackground(false);
    editor_->viewport()->setAutoFillBackground(false);
    editor_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    editor_->setFixedHeight(editorHeight);
    editor_->setTabChangesFocus(true);

    auto* padded = new QWidget;
    auto* paddedLayout = new QVBoxLayout(padded);
    paddedLayout->setContentsMargins(innerPadding, innerPadding, innerPadding, innerPadding);
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
