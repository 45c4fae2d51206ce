#include "ui/panel/EditorCard.h"

#include "platform/pasteboard/Pasteboard.h"
#include "ui/kit/AccentRim.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesignFonts.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/DesignSprings.h"
#include "ui/kit/OpacityTransition.h"
#include "ui/kit/ResultSweep.h"
#include "ui/kit/ShadowUnderlay.h"
#include "ui/kit/ShortcutKeySequence.h"
#include "ui/kit/TransparentTextEditor.h"
#include "ui/kit/WidgetPalette.h"
#include "ui/panel/EditorCornerButton.h"
#include "ui/panel/EditorSurface.h"
#include "ui/panel/PopoverView.h"

#include <QHBoxLayout>
#include <QLabel>

namespace quorvane {

namespace {

using Metrics = DesignMetrics::EditorCard;

constexpr qreal editorFontSize = 16;

// The card sits deeper while a request runs.
QColor shadowColor(bool enhancing) {
    return DesignColors::withOpacity(DesignColors::black(), enhancing ? 0.18 : 0.08);
}

const QString draftPlaceholder = QStringLiteral("Describe your prompt…");
const QString resultPlaceholder =
    QStringLiteral("The thrimed prompt appears here — editable before you copy.");

TransparentTextEditor::Configuration editorConfiguration(FieldMode mode, bool enhancing) {
    TransparentTextEditor::Configuration configuration;
    configuration.font = DesignFonts::monospaced(editorFontSize);
    configuration.textContainerInset = QSizeF(0, Metrics::textInsetHeight);
    configuration.lineFragmentPadding = Metrics::lineFragmentPadding;
    configuration.isSelectable = true;
    const bool result = mode == FieldMode::result;
    // A result being replaced by a running request must not take edits.
    configuration.isEditable = !result || !enhancing;
    configuration.debugTag = result ? "result" : "draft";
    return configuration;
}

// The help text is also what assistive tools read for an icon-only button.
void setHelp(QAbstractButton& button, const QString& help) {
    if (button.toolTip() == help) {
        return;
    }
    button.setToolTip(help);
    button.setAccessibleName(help);
}

} // namespace

EditorCard::EditorCard(PopoverView& panel, QWidget* parent)
    : QWidget(parent)
    , panel_(panel)
    , pasteboard_(&panel.state().pasteboard())
    , surface_(new EditorSurface(this))
    , placeholder_(new QLabel(surface_))
    , topButtons_(new QWidget(surface_))
    , backToDraft_(new EditorCornerButton(12, 0, topButtons_))
    , regenerate_(new EditorCornerButton(12, 0, topButtons_))
    , clipboard_(new EditorCornerButton(13, 30, surface_))
    , rim_(nullptr)
    , sweep_(nullptr) {
    setObjectName(QStringLiteral("editorCard"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    placeholder_->setObjectName(QStringLiteral("placeholder"));
    placeholder_->setFont(DesignFonts::monospaced(editorFontSize));
    placeholder_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A click on the placeholder belongs to the editor under it.
    placeholder_->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* row = new QHBoxLayout(topButtons_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(backToDraft_, 0, Qt::AlignVCenter);
    row->addWidget(regenerate_, 0, Qt::AlignVCenter);

    backToDraft_->setObjectName(QStringLiteral("backToDraftButton"));
    backToDraft_->setSymbol("arrow.uturn.backward");
    regenerate_->setObjectName(QStringLiteral("regenerateButton"));
    regenerate_->setSymbol("arrow.triangle.2.circlepath");
    clipboard_->setObjectName(QStringLiteral("clipboardButton"));

    connect(backToDraft_, &EditorCornerButton::clicked, this, [this] { panel_.showDraft(); });
    connect(regenerate_, &EditorCornerButton::clicked, this, [this] { panel_.regenerate(); });
    connect(clipboard_, &EditorCornerButton::clicked, this, [this] {
        if (panel_.state().fieldMode() == FieldMode::result) {
            panel_.state().copyOutput();
        } else {
            pasteIntoDraft();
        }
    });

    replaceEditor(panel_.state().fieldMode());
    // In the card's parent when there is one, beside the card, so that the glow is not cut off
    // at the card's edges; the surface fills the card, so the rim follows the same outline.
    rim_ = new AccentRim(parent != nullptr ? static_cast<QWidget*>(this) : surface_,
                         EditorSurface::cornerRadius);
    sweep_ = new ResultSweep(surface_, panel_.state().hasOutput());
    if (parent != nullptr) {
        shadow_ = new ShadowUnderlay(this, EditorSurface::cornerRadius, Metrics::shadowRadius,
                                     QPointF(0, Metrics::shadowY), shadowColor(false));
    }

    connect(&panel_, &PopoverView::refreshed, this, &EditorCard::refresh);
    connect(&panel_, &PopoverView::focusFlagsChanged, this, &EditorCard::refresh);
    refresh();
}

EditorCard::~EditorCard() {
    // The editor still reports losing focus while the widgets around it are torn down.
    if (editor_) {
        editor_->disconnect(this);
    }
}

void EditorCard::setPasteboard(Pasteboard& pasteboard) {
    pasteboard_ = &pasteboard;
}

void EditorCard::refresh() {
    const AppState& state = panel_.state();
    if (state.fieldMode() != editorMode_) {
        replaceEditor(state.fieldMode());
    }
    refreshEditor();
    refreshPlaceholder();
    refreshCornerButtons();

    const bool result = editorMode_ == FieldMode::result;
    rim_->setFocused(result ? panel_.outputFocused() : panel_.inputFocused());
    rim_->setActive(state.isEnhancing());
    sweep_->setTrigger(state.hasOutput());
    if (shadow_ != nullptr) {
        shadow_->setColor(shadowColor(state.isEnhancing()));
    }
}

void EditorCard::replaceEditor(FieldMode mode) {
    // The new editor is in place before the old one goes: the old one's
    // blur reaches refresh(), which must find the editor of the new mode.
    TransparentTextEditor* leaving = editor_;
    const AppState& state = panel_.state();
    const bool result = mode == FieldMode::result;
    editorMode_ = mode;
    editor_ = new TransparentTextEditor(editorConfiguration(mode, state.isEnhancing()),
                                        result ? state.outputText() : state.inputText(), surface_);
    connect(editor_, &TransparentTextEditor::textChanged, this,
            [this, result](const std::string& text) {
                if (result) {
                    panel_.state().setOutputText(text);
                } else {
                    panel_.state().setInputText(text);
                }
            });
    connect(editor_, &TransparentTextEditor::focused, this, [this, result] {
        result ? panel_.setOutputFocused(true) : panel_.setInputFocused(true);
    });
    connect(editor_, &TransparentTextEditor::blurred, this, [this, result] {
        result ? panel_.setOutputFocused(false) : panel_.setInputFocused(false);
    });
    placeChildren();
    editor_->show();
    editor_->lower();
    if (leaving == nullptr) {
        return;
    }
    // Hidden at once so that nothing types into the leaving editor; only its picture fades.
    OpacityTransition::remove(*leaving, DesignSprings::quick);
    leaving->deleteLater();
    OpacityTransition::insert(*editor_, DesignSprings::quick);
}

void EditorCard::refreshEditor() {
    const AppState& state = panel_.state();
    const bool result = editorMode_ == FieldMode::result;
    editor_->setText(result ? state.outputText() : state.inputText());
    const auto wanted = editorConfiguration(editorMode_, state.isEnhancing());
    if (editor_->configuration().isEditable != wanted.isEditable) {
        editor_->configure(wanted);
    }
}

void EditorCard::refreshPlaceholder() {
    const AppState& state = panel_.state();
    // Any character hides the draft placeholder, spaces included; the result
    // placeholder goes by whether there is a result worth the name.
    const bool draft = editorMode_ == FieldMode::draft;
    const bool shown = draft ? state.inputText().empty() : !state.hasOutput();
    const QString& text = draft ? draftPlaceholder : resultPlaceholder;
    if (placeholder_->text() != text) {
        placeholder_->setText(text);
        placeChildren();
    }
    // White on the dark material; on the light one white would not be seen at all, so there
    // it is the secondary label colour.
    const ColorScheme::Scheme scheme = ColorScheme::of(this);
    WidgetPalette::setForeground(*placeholder_, scheme == ColorScheme::Scheme::dark
                                                    ? DesignColors::white()
                                                    : DesignColors::secondary(scheme));
    placeholder_->setVisible(shown);
    placeholder_->raise();
}

void EditorCard::refreshCornerButtons() {
    const AppState& state = panel_.state();
    const bool result = editorMode_ == FieldMode::result;
    topButtons_->setVisible(result && state.hasOutput());
    regenerate_->setEnabled(!state.isEnhancing());

    // The panel's shortcuts can be recorded anew in the settings; the copy key is the editor's.
    const AppShortcuts& shortcuts = panel_.state().appShortcuts().shortcuts();
    setHelp(*backToDraft_,
            ShortcutKeySequence::helpText(QStringLiteral("Edit your draft — result kept"),
                                          shortcuts.backToDraft));
    setHelp(*regenerate_,
            ShortcutKeySequence::helpText(QStringLiteral("Regenerate"), shortcuts.regenerate));
    setHelp(*clipboard_, result ? ShortcutKeySequence::helpText(QStringLiteral("Copy output"),
                                                                QKeySequence(QKeySequence::Copy))
                                : QStringLiteral("Paste from clipboard"));
    clipboard_->setSymbol(result ? "doc.on.doc" : "doc.on.clipboard");
    topButtons_->raise();
    clipboard_->raise();
}

void EditorCard::pasteIntoDraft() {
    const std::optional<std::string> text = pasteboard_->string();
    if (!text) {
        return;
    }
    panel_.state().setInputText(*text);
}

void EditorCard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeChildren();
}

void EditorCard::placeChildren() {
    surface_->setGeometry(rect());
    const QRect content = surface_->rect().adjusted(padding, padding, -padding, -padding);
    if (editor_ != nullptr) {
        editor_->setGeometry(content);
    }
    const QSize hint = placeholder_->sizeHint();
    placeholder_->setGeometry(
        content.left() + static_cast<int>(Metrics::lineFragmentPadding),
        content.top() + static_cast<int>(Metrics::textInsetHeight),
        std::max(0, content.width() - static_cast<int>(Metrics::lineFragmentPadding)),
        hint.height());
    const QSize top = topButtons_->sizeHint();
    topButtons_->setGeometry(surface_->width() - top.width(), 0, top.width(), top.height());
    const QSize corner = clipboard_->sizeHint();
    clipboard_->setGeometry(surface_->width() - corner.width(),
                            surface_->height() - corner.height(), corner.width(), corner.height());
}

} // namespace quorvane
