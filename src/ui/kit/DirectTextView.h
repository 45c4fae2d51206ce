// The text view inside TransparentTextEditor: plain text only, no background
// of its own, and the Ctrl editing keys handled here rather than left to
// whatever shortcuts the surrounding window defines.
#pragma once

#include <QSizeF>
#include <QString>
#include <QTextEdit>

class QKeyEvent;
class QMimeData;

namespace quorvane {

class DirectTextView : public QTextEdit {
    Q_OBJECT

public:
    static constexpr qreal lineHeightMultiple = 1.18;
    static constexpr qreal tabInterval = 28.0;

    explicit DirectTextView(QWidget* parent = nullptr);

    // The first chance at a Ctrl key, before the window's shortcuts see it.
    // Returns whether the key was consumed.
    bool performKeyEquivalent(QKeyEvent* event);

    // The ordinary key press, reached when performKeyEquivalent() declined.
    void keyDown(QKeyEvent* event);

    // Horizontal inset plus line padding at both ends of every line, vertical
    // inset above the first and below the last line; both scroll with the text.
    void setTextContainerInset(QSizeF inset, qreal lineFragmentPadding);
    QSizeF textContainerInset() const { return m_inset; }
    qreal lineFragmentPadding() const { return m_lineFragmentPadding; }

    // Replaces the whole text; the undo history starts afresh.
    void replaceText(const QString& text);

    // The text exactly as held, without QTextDocument::toPlainText()'s
    // rewriting of no-break spaces.
    QString plainText() const;

    bool hasUndoManager() const;

signals:
    void findRequested();
    void focusGained();
    void focusLost();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool claimsKey(const QKeyEvent* event) const;
    void undoOrRedo(const QKeyEvent* event);
    void applyDocumentFormats();

    QSizeF m_inset;
    qreal m_lineFragmentPadding = 0;
};

} // namespace quorvane
