#include "ui/kit/FindBar.h"

#include "ui/kit/DesignFonts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>

namespace quorvane {

FindBar::FindBar(QTextEdit* editor, QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_field(new QLineEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_field);
    m_field->setPlaceholderText(tr("Find"));
    m_field->setFont(DesignFonts::callout());
    m_field->setClearButtonEnabled(true);
    m_field->setAccessibleName(tr("Find in text"));
    m_field->installEventFilter(this);
    setAutoFillBackground(true);
    setFixedWidth(220);
    connect(m_field, &QLineEdit::textEdited, this, &FindBar::searchIncrementally);
    hide();
}

void FindBar::open() {
    show();
    raise();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::close() {
    if (isHidden()) {
        return;
    }
    hide();
    m_editor->setFocus(Qt::OtherFocusReason);
    emit closed();
}

bool FindBar::findNext() {
    return find(m_editor->textCursor(), {});
}

bool FindBar::findPrevious() {
    return find(m_editor->textCursor(), QTextDocument::FindBackward);
}

// Searching again from the start of the current match lets a growing term
// keep the match it already has instead of jumping to the next one.
void FindBar::searchIncrementally(const QString& term) {
    QTextCursor from = m_editor->textCursor();
    from.setPosition(from.selectionStart());
    if (term.isEmpty()) {
        m_editor->setTextCursor(from);
        return;
    }
    find(from, {});
}

// Wraps around once at either end; no match leaves the selection alone.
bool FindBar::find(const QTextCursor& from, QTextDocument::FindFlags flags) {
    const QString term = m_field->text();
    if (term.isEmpty()) {
        return false;
    }
    QTextDocument* doc = m_editor->document();
    QTextCursor hit = doc->find(term, from, flags);
    if (hit.isNull()) {
        QTextCursor edge(doc);
        if (flags.testFlag(QTextDocument::FindBackward)) {
            edge.movePosition(QTextCursor::End);
        }
        hit = doc->find(term, edge, flags);
    }
    if (hit.isNull()) {
        return false;
    }
    m_editor->setTextCursor(hit);
    m_editor->ensureCursorVisible();
    return true;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_field) {
        return QWidget::eventFilter(watched, event);
    }
    const auto type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool escape = key->key() == Qt::Key_Escape;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!escape && !enter) {
        return QWidget::eventFilter(watched, event);
    }
    // Claiming the key first keeps a window-wide Escape (which closes the
    // panel) from firing while the field is open.
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (escape) {
        close();
    } else if (key->modifiers().testFlag(Qt::ShiftModifier)) {
        findPrevious();
    } else {
        findNext();
    }
    return true;
}

} // namespace quorvane
