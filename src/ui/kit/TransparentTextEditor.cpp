#include "ui/kit/TransparentTextEditor.h"

#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/DirectTextView.h"
#include "ui/kit/FindBar.h"

#include <QEvent>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::TextEditor;

// The value as the text view ends up holding it: the document turns CR LF, a
// lone CR and a paragraph separator into its own line break, which
// plainText() gives back as "\n".
QString asHeld(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

TransparentTextEditor::TransparentTextEditor(const Configuration& configuration,
                                             const std::string& text, QWidget* parent)
    : QWidget(parent)
    , m_textView(new DirectTextView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_textView);
    setFocusProxy(m_textView);

    configure(configuration);
    m_applyingBinding = true;
    m_textView->replaceText(QString::fromStdString(text));
    m_applyingBinding = false;
    // A draft kept from an earlier panel is typed on where it ends, not in front of it.
    if (configuration.isEditable) {
        m_textView->moveCursor(QTextCursor::End);
    }

    connect(m_textView, &QTextEdit::textChanged, this, &TransparentTextEditor::forwardUserEdit);
    connect(m_textView, &DirectTextView::findRequested, this, &TransparentTextEditor::openFindBar);
    connect(m_textView, &DirectTextView::focusGained, this, &TransparentTextEditor::focused);
    connect(m_textView, &DirectTextView::focusLost, this, &TransparentTextEditor::blurred);

    // The text view is the timer's context: an editor dropped before the
    // loop turns takes its request with it.
    QTimer::singleShot(0, m_textView,
                       [view = m_textView] { view->setFocus(Qt::OtherFocusReason); });
}

void TransparentTextEditor::configure(const Configuration& configuration) {
    m_configuration = configuration;
    setObjectName(QString::fromStdString(configuration.debugTag));
    const bool wasApplying = m_applyingBinding;
    m_applyingBinding = true;

    // Plain text carries no character formats, so the widget font is the
    // font of the text and of typing alike.
    m_textView->setFont(configuration.font);
    m_textView->setTextContainerInset(configuration.textContainerInset,
                                      configuration.lineFragmentPadding);
    m_textView->setReadOnly(!configuration.isEditable);
    Qt::TextInteractionFlags flags = Qt::NoTextInteraction;
    if (configuration.isEditable) {
        flags = Qt::TextEditorInteraction;
    } else if (configuration.isSelectable) {
        flags = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    }
    m_textView->setTextInteractionFlags(flags);
    applyColors();

    m_applyingBinding = wasApplying;
}

void TransparentTextEditor::setText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (m_textView->plainText() == asHeld(value)) {
        return;
    }
    m_applyingBinding = true;
    m_textView->replaceText(value);
    m_applyingBinding = false;
    QTextCursor end = m_textView->textCursor();
    end.movePosition(QTextCursor::End);
    m_textView->setTextCursor(end);
}

std::string TransparentTextEditor::text() const {
    return m_textView->plainText().toStdString();
}

void TransparentTextEditor::forwardUserEdit() {
    if (m_applyingBinding) {
        return;
    }
    emit textChanged(text());
}

// The label colour follows the scheme the editor ends up in, which is only
// known once an owner has placed it.
void TransparentTextEditor::applyColors() {
    const QColor label = DesignColors::primary(ColorScheme::of(this));
    QPalette palette = m_textView->palette();
    if (palette.color(QPalette::Text) == label) {
        return;
    }
    palette.setColor(QPalette::Text, label);
    m_textView->setPalette(palette);
}

// Made on the first find: its field's clear button reads the icon theme from disk, which every
// editor would otherwise pay for as the panel opens.
void TransparentTextEditor::openFindBar() {
    if (m_findBar == nullptr) {
        m_findBar = new FindBar(m_textView, this);
    }
    placeFindBar();
    m_findBar->open();
}

void TransparentTextEditor::placeFindBar() {
    if (m_findBar == nullptr) {
        return;
    }
    m_findBar->adjustSize();
    const int x = qMax(0, width() - m_findBar->width() - Metrics::findBarMargin);
    m_findBar->move(x, Metrics::findBarMargin);
}

void TransparentTextEditor::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeFindBar();
}

void TransparentTextEditor::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
        applyColors();
    }
}

void TransparentTextEditor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyColors();
}

TransparentTextEditor::~TransparentTextEditor() {
    m_textView->disconnect(this);
}

} // namespace quorvane
