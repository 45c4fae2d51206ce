#include "ui/kit/DirectTextView.h"

#include "ui/kit/DesignColors.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

namespace quorvane {

namespace {

// Ctrl stands where the Command key stands on other desktops; of the other
// modifiers only Shift counts, and only for Z.
bool hasCommand(const QKeyEvent* event) {
    return event->modifiers().testFlag(Qt::ControlModifier);
}

bool hasShift(const QKeyEvent* event) {
    return event->modifiers().testFlag(Qt::ShiftModifier);
}

// The key as typed without modifiers, lowercased; keys that are no letter
// count as no character at all.
char keyCharacter(const QKeyEvent* event) {
    const int key = event->key();
    if (key < Qt::Key_A || key > Qt::Key_Z) {
        return '\0';
    }
    return static_cast<char>('a' + (key - Qt::Key_A));
}

QTextBlockFormat paragraphStyle() {
    QTextBlockFormat format;
    format.setLineHeight(DirectTextView::lineHeightMultiple * 100.0,
                         QTextBlockFormat::ProportionalHeight);
    return format;
}

} // namespace

DirectTextView::DirectTextView(QWidget* parent)
    : QTextEdit(parent) {
    setAcceptRichText(false);
    setUndoRedoEnabled(true);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    QPalette clearBase = palette();
    clearBase.setColor(QPalette::Base, DesignColors::clear());
    setPalette(clearBase);
    setTabStopDistance(tabInterval);
    document()->setDocumentMargin(0);
    applyDocumentFormats();
}

bool DirectTextView::hasUndoManager() const {
    return document()->isUndoRedoEnabled();
}

bool DirectTextView::performKeyEquivalent(QKeyEvent* event) {
    if (!hasCommand(event)) {
        return false;
    }
    switch (keyCharacter(event)) {
    case 'a':
        selectAll();
        return true;
    case 'c':
        copy();
        return true;
    case 'v':
        paste();
        return true;
    case 'x':
        cut();
        return true;
    case 'z':
        if (!hasUndoManager()) {
            return false;
        }
        undoOrRedo(event);
        return true;
    default:
        return false;
    }
}

void DirectTextView::keyDown(QKeyEvent* event) {
    if (!hasCommand(event)) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    const bool hasSelection = textCursor().hasSelection();
    switch (keyCharacter(event)) {
    case 'a':
        selectAll();
        return;
    case 'c':
        if (!hasSelection) {
            QTextEdit::keyPressEvent(event);
            return;
        }
        copy();
        return;
    case 'v':
        paste();
        return;
    case 'x':
        if (!hasSelection) {
            QTextEdit::keyPressEvent(event);
            return;
        }
        cut();
        return;
    case 'z':
        if (!hasUndoManager()) {
            QTextEdit::keyPressEvent(event);
            return;
        }
        undoOrRedo(event);
        return;
    default:
        QTextEdit::keyPressEvent(event);
    }
}

// QTextEdit would undo into a read-only text; a result shown while a request
// runs must stay as it is.
void DirectTextView::undoOrRedo(const QKeyEvent* event) {
    if (isReadOnly()) {
        return;
    }
    if (hasShift(event)) {
        redo();
        return;
    }
    undo();
}

bool DirectTextView::claimsKey(const QKeyEvent* event) const {
    if (event->matches(QKeySequence::Find)) {
        return true;
    }
    if (!hasCommand(event)) {
        return false;
    }
    switch (keyCharacter(event)) {
    case 'a':
    case 'c':
    case 'v':
    case 'x':
        return true;
    case 'z':
        return hasUndoManager();
    default:
        return false;
    }
}

bool DirectTextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && claimsKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTextEdit::event(event);
}

void DirectTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Find)) {
        emit findRequested();
        event->accept();
        return;
    }
    if (performKeyEquivalent(event)) {
        event->accept();
        return;
    }
    keyDown(event);
}

void DirectTextView::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    emit focusGained();
}

void DirectTextView::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    emit focusLost();
}

bool DirectTextView::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && (source->hasText() || source->hasHtml());
}

// Whatever the clipboard offers, only its characters come in; they take the
// font, colour and paragraph style already at the caret.
void DirectTextView::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || isReadOnly()) {
        return;
    }
    const QString text = source->hasText()
                             ? source->text()
                             : QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    if (text.isEmpty()) {
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void DirectTextView::setTextContainerInset(QSizeF inset, qreal lineFragmentPadding) {
    if (inset == m_inset && lineFragmentPadding == m_lineFragmentPadding) {
        return;
    }
    m_inset = inset;
    m_lineFragmentPadding = lineFragmentPadding;
    applyDocumentFormats();
}

void DirectTextView::replaceText(const QString& text) {
    setPlainText(text);
    applyDocumentFormats();
}

QString DirectTextView::plainText() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// The frame margins and the paragraph style live in the document, which
// setPlainText() resets. Changing them must not leave a step on the undo
// stack, or Ctrl+Z would take the line height away.
void DirectTextView::applyDocumentFormats() {
    QTextDocument* doc = document();
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    const qreal horizontal = m_inset.width() + m_lineFragmentPadding;
    const bool frameCurrent =
        frame.leftMargin() == horizontal && frame.rightMargin() == horizontal &&
        frame.topMargin() == m_inset.height() && frame.bottomMargin() == m_inset.height();
    bool blocksCurrent = true;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().lineHeight() != lineHeightMultiple * 100.0) {
            blocksCurrent = false;
            break;
        }
    }
    if (frameCurrent && blocksCurrent) {
        return;
    }
    const bool undoWasOn = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    frame.setLeftMargin(horizontal);
    frame.setRightMargin(horizontal);
    frame.setTopMargin(m_inset.height());
    frame.setBottomMargin(m_inset.height());
    doc->rootFrame()->setFrameFormat(frame);
    QTextCursor all(doc);
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(paragraphStyle());
    doc->setUndoRedoEnabled(undoWasOn);
}

} // namespace quorvane
