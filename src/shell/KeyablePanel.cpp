#include "shell/KeyablePanel.h"

#include "ui/kit/ApplicationTheme.h"

#include <xcb/xcb.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRegion>
#include <QTextEdit>
#include <QtGui/qguiapplication_platform.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quorvane {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr) {
        return XCB_ATOM_NONE;
    }
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateAdd = 1;
constexpr std::uint32_t sourceIsApplication = 1;

} // namespace

KeyablePanel::KeyablePanel(QSize size, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    // A click on the panel's ground leaves the keyboard where it is (with the editor).
    setFocusPolicy(Qt::TabFocus);
    resize(size);
    // Application-wide, so the editing shortcuts are seen before the shortcut map can claim them.
    qApp->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            &KeyablePanel::applicationStateChanged);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                          [this](QWidget*, QWidget* now) { focusMoved(now); });
}

// The children's focus moves while QWidget's destructor takes them down, when this is no longer a
// KeyablePanel; the watch ends first.
KeyablePanel::~KeyablePanel() {
    disconnect(focusWatch_);
}

void KeyablePanel::setContentView(QWidget* view) {
    delete contentView_;
    contentView_ = view;
    if (view == nullptr) {
        return;
    }
    view->setParent(this);
    view->move(0, 0);
    view->resize(size());
    view->show();
}

void KeyablePanel::setAppearance(Appearance appearance) {
    ApplicationTheme::apply(*this, ApplicationTheme::panelScheme(appearance));
    update();
}

bool KeyablePanel::performKeyEquivalent(const QKeyEvent& event) {
    if (!isEditingShortcut(event)) {
        return false;
    }
    QWidget* editor = focusedTextEditor();
    switch (event.key()) {
    case Qt::Key_A:
        return QMetaObject::invokeMethod(editor, "selectAll");
    case Qt::Key_C:
        return QMetaObject::invokeMethod(editor, "copy");
    case Qt::Key_V:
        return QMetaObject::invokeMethod(editor, "paste");
    case Qt::Key_X:
        return QMetaObject::invokeMethod(editor, "cut");
    default:
        return false;
    }
}

bool KeyablePanel::eventFilter(QObject* watched, QEvent* event) {
    const bool isKey =
        event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (!isKey || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) {
        return QWidget::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isEditingShortcut(*key)) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Claimed for the editor: no shortcut of the view or the application may take it.
        event->accept();
        return true;
    }
    return performKeyEquivalent(*key);
}

void KeyablePanel::resizeEvent(QResizeEvent* event) {
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
    QWidget::resizeEvent(event);
}

void KeyablePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    joinAllWorkspaces();
    askForBlurBehind();
    // Once more when mapped: some window managers take the state message only then.
    QMetaObject::invokeMethod(this, &KeyablePanel::joinAllWorkspaces, Qt::QueuedConnection);
}

// The window paints first, its children after it, and the whole frame goes to the window system
// before the event loop turns again: told from the next turn, the frame is out.
void KeyablePanel::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (hasPainted_) {
        return;
    }
    hasPainted_ = true;
    QMetaObject::invokeMethod(this, &KeyablePanel::firstFramePainted, Qt::QueuedConnection);
}

// Only presses that no control, editor or label with links took travel up to the window, so
// whatever reaches it was made on the background. The panel follows the pointer itself rather
// than handing the move to the window manager (QWindow::startSystemMove): without a window
// manager nothing would move, and with one the keyboard it grabs for the move reads as the
// application losing the focus, on which the panel hides in the middle of the drag.
void KeyablePanel::mousePressEvent(QMouseEvent* event) {
    // The press gave the keyboard to the view or the window, which take it for their own keys:
    // it goes back to the field, so typing goes on where it was once the panel has moved.
    if (fieldFocus_ != nullptr && (focusWidget() == this || focusWidget() == contentView_)) {
        fieldFocus_->setFocus(Qt::MouseFocusReason);
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    dragGrip_ = event->globalPosition().toPoint() - pos();
    // Every move reaches the panel, whichever part of the view lies under the pointer.
    grabMouse();
}

void KeyablePanel::mouseMoveEvent(QMouseEvent* event) {
    if (!dragGrip_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        // The release went elsewhere (a grab taken away): the drag is over.
        endDrag();
        return;
    }
    event->accept();
    move(event->globalPosition().toPoint() - *dragGrip_);
}

void KeyablePanel::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragGrip_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    endDrag();
}

void KeyablePanel::focusMoved(QWidget* now) {
    if (now != nullptr && now != this && now != contentView_ && now->window() == this) {
        fieldFocus_ = now;
    }
}

void KeyablePanel::endDrag() {
    dragGrip_.reset();
    releaseMouse();
}

QWidget* KeyablePanel::focusedTextEditor() const {
    QWidget* focused = focusWidget();
    if (focused == nullptr) {
        return nullptr;
    }
    // A click into an editor may leave the focus on its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(focused->parentWidget());
        area != nullptr && area->viewport() == focused) {
        focused = area;
    }
    if (qobject_cast<QTextEdit*>(focused) != nullptr ||
        qobject_cast<QPlainTextEdit*>(focused) != nullptr) {
        return focused;
    }
    return nullptr;
}

bool KeyablePanel::isEditingShortcut(const QKeyEvent& event) const {
    if (!event.modifiers().testFlag(Qt::ControlModifier)) {
        return false;
    }
    const int key = event.key();
    const bool editingKey =
        key == Qt::Key_A || key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X;
    return editingKey && focusedTextEditor() != nullptr;
}

void KeyablePanel::applicationStateChanged(Qt::ApplicationState state) {
    if (hidesOnDeactivate_ && state != Qt::ApplicationActive && isVisible()) {
        QWidget::hide();
    }
}

// Sticky on X11: the desktop property for window managers that read it at map time, and the
// state message for those that only honour it on a mapped window.
void KeyablePanel::joinAllWorkspaces() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return;
    }
    const auto window = static_cast<xcb_window_t>(winId());
    const xcb_atom_t desktop = internAtom(connection, "_NET_WM_DESKTOP");
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t sticky = internAtom(connection, "_NET_WM_STATE_STICKY");
    if (desktop != XCB_ATOM_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL,
                            32, 1, &allDesktops);
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (state != XCB_ATOM_NONE && sticky != XCB_ATOM_NONE && screen != nullptr) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = state;
        message.data.data32[0] = netWmStateAdd;
        message.data.data32[1] = sticky;
        message.data.data32[3] = sourceIsApplication;
        xcb_send_event(connection, 0, screen->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }
    xcb_flush(connection);
}

// KWin blurs what lies behind a window that carries this property, within the window's shape;
// an empty region stands for the whole window. Other window managers ignore it, and the
// translucent fill reads well without the blur too.
void KeyablePanel::askForBlurBehind() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return;
    }
    const xcb_atom_t blur = internAtom(connection, "_KDE_NET_WM_BLUR_BEHIND_REGION");
    if (blur == XCB_ATOM_NONE) {
        return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(winId()), blur,
                        XCB_ATOM_CARDINAL, 32, 0, nullptr);
    xcb_flush(connection);
}

} // namespace quorvane
