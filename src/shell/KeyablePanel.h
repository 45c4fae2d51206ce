// The top-level window of the floating panel: frameless, above other windows, shown on every
// workspace, with a translucent background clipped to rounded corners. It still takes keyboard
// focus, and it makes sure the four editing shortcuts (select all, copy, paste, cut) always
// reach the focused text editor, whatever shortcuts the hosted view or the application define.
// Having no title bar, it is moved by a drag on its background: wherever a press reaches the
// window because no control or editor took it. Such a press leaves the keyboard where it was.
#pragma once

#include "state/Appearance.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <optional>

class QKeyEvent;
class QMouseEvent;

namespace quorvane {

class KeyablePanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int cornerRadius = 26;

    // A tool window of the given size; nothing is shown yet.
    explicit KeyablePanel(QSize size, QWidget* parent = nullptr);
    ~KeyablePanel() override;

    // Takes ownership; the view keeps its own size and sits at the top-left corner, so the
    // owner can lay it out at a new size before the window itself grows or shrinks.
    void setContentView(QWidget* view);
    QWidget* contentView() const { return contentView_; }

    // "dark" gives the dark look, "auto" and "light" the light one, to the panel and all inside.
    void setAppearance(Appearance appearance);

    // Hides the window at once when the application stops being the active one.
    void setHidesOnDeactivate(bool value) { hidesOnDeactivate_ = value; }
    bool hidesOnDeactivate() const { return hidesOnDeactivate_; }

    // The editing shortcut of a key press with the command (Ctrl) modifier, sent to the focused
    // text editor; false when the press is no such shortcut or no text editor has the focus.
    bool performKeyEquivalent(const QKeyEvent& event);

    // Whether the window has painted since it was made.
    bool hasPainted() const { return hasPainted_; }

signals:
    // Once, after the window's first paint has reached the window system.
    void firstFramePainted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* focusedTextEditor() const;
    bool isEditingShortcut(const QKeyEvent& event) const;
    void applicationStateChanged(Qt::ApplicationState state);
    void joinAllWorkspaces();
    void askForBlurBehind();
    void endDrag();
    void focusMoved(QWidget* now);

    QWidget* contentView_ = nullptr;
    bool hidesOnDeactivate_ = false;
    bool hasPainted_ = false;
    // While the panel follows the pointer itself: where the pointer holds it, from its corner.
    std::optional<QPoint> dragGrip_;
    // The control or editor inside that last had the keyboard.
    QPointer<QWidget> fieldFocus_;
    QMetaObject::Connection focusWatch_;
};

} // namespace quorvane
