// The large field in the middle of the panel. It shows the draft editor or
// the result editor, chosen by the state's field mode, with a placeholder
// over an empty field, corner buttons (back to the draft, regenerate, paste
// or copy), the accent rim while a request runs and a sweep over a fresh
// result. The card fills whatever height the panel gives it.
#pragma once

#include "state/FieldMode.h"
#include "ui/kit/DesignMetrics.h"
#include "ui/kit/TransparentTextEditor.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;

namespace quorvane {

class AccentRim;
class EditorCornerButton;
class EditorSurface;
class Pasteboard;
class PopoverView;
class ResultSweep;
class ShadowUnderlay;

class EditorCard : public QWidget {
    Q_OBJECT

public:
    static constexpr int padding = DesignMetrics::EditorCard::padding;

    explicit EditorCard(PopoverView& panel, QWidget* parent = nullptr);
    ~EditorCard() override;

    void refresh();

    // Where paste reads from; the state's own pasteboard unless replaced.
    void setPasteboard(Pasteboard& pasteboard);

    TransparentTextEditor* editor() const { return editor_; }
    QLabel* placeholder() const { return placeholder_; }
    EditorCornerButton* backToDraftButton() const { return backToDraft_; }
    EditorCornerButton* regenerateButton() const { return regenerate_; }
    EditorCornerButton* clipboardButton() const { return clipboard_; }
    AccentRim* rim() const { return rim_; }
    ResultSweep* sweep() const { return sweep_; }
    // Cast into the card's parent; nullptr for a card built without one.
    ShadowUnderlay* shadow() const { return shadow_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void replaceEditor(FieldMode mode);
    void refreshEditor();
    void refreshPlaceholder();
    void refreshCornerButtons();
    void pasteIntoDraft();
    void placeChildren();

    PopoverView& panel_;
    Pasteboard* pasteboard_ = nullptr;
    EditorSurface* surface_;
    QPointer<TransparentTextEditor> editor_;
    FieldMode editorMode_ = FieldMode::draft;
    QLabel* placeholder_;
    QWidget* topButtons_;
    EditorCornerButton* backToDraft_;
    EditorCornerButton* regenerate_;
    EditorCornerButton* clipboard_;
    AccentRim* rim_;
    ResultSweep* sweep_;
    ShadowUnderlay* shadow_ = nullptr;
};

} // namespace quorvane
