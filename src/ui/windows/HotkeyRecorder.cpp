#include "HotkeyRecorder.h"

#include "QtKeyTranslator.h"
#include "state/VirtualKey.h"
#include "ui/kit/ShortcutKeySequence.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <utility>

namespace quorvane {

HotkeyRecorder::HotkeyRecorder(QWidget* parent)
    : QWidget(parent)
    , beep_([] { QApplication::beep(); }) {
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
}

HotkeyRecorder::~HotkeyRecorder() {
    stopMonitoring();
}

void HotkeyRecorder::setOnCapture(CaptureHandler handler) {
    onCapture_ = std::move(handler);
}

void HotkeyRecorder::setRecordingWriter(RecordingWriter writer) {
    writeRecording_ = std::move(writer);
}

void HotkeyRecorder::setBeep(std::function<void()> beep) {
    beep_ = std::move(beep);
}

void HotkeyRecorder::setRecording(bool isRecording) {
    if (isRecording) {
        startMonitoring();
    } else {
        stopMonitoring();
    }
}

void HotkeyRecorder::startMonitoring() {
    if (monitoring_ || qApp == nullptr) {
        return;
    }
    qApp->installEventFilter(this);
    monitoring_ = true;
}

void HotkeyRecorder::stopMonitoring() {
    if (!monitoring_) {
        return;
    }
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
    monitoring_ = false;
}

bool HotkeyRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (!monitoring_) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Accepting the override keeps menu and window shortcuts from firing, so the press that
        // follows reaches this filter as a plain key press.
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    handle(*static_cast<QKeyEvent*>(event));
    return true;
}

void HotkeyRecorder::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!monitoring_) {
        return;
    }
    // A window being destroyed hides its children from QWidget's destructor, after the owner of
    // this recorder may already be gone; so the caller hears of the hide on the next turn, and
    // only if this recorder is still there and still out of sight.
    QTimer::singleShot(0, this, [this] {
        // Minimising hides the children too, but leaves them visible.
        if (monitoring_ && (!isVisible() || window()->isMinimized())) {
            cancel();
        }
    });
}

void HotkeyRecorder::handle(const QKeyEvent& event) {
    // A modifier pressed on its own is the start of a combination, not a key of its own.
    if (QtKeyTranslator::isModifierKey(event.key())) {
        return;
    }
    const auto keyEvent = QtKeyTranslator::keyEvent(event);
    if (keyEvent && keyEvent->keyCode == VirtualKey::escape) {
        cancel();
        return;
    }
    const auto config = keyEvent ? HotkeyConfig::fromEvent(*keyEvent) : std::nullopt;
    // A combination that no key sequence expresses could only be bound to some other key.
    if (!config || ShortcutKeySequence::of(*config).isEmpty()) {
        if (beep_) {
            beep_();
        }
        return;
    }
    capture(*config);
}

void HotkeyRecorder::capture(const HotkeyConfig& config) {
    stopMonitoring();
    // Copies, because the caller may rebuild its rows, and with them this recorder, on a capture.
    const auto onCapture = onCapture_;
    const auto writeRecording = writeRecording_;
    if (onCapture) {
        onCapture(config);
    }
    if (writeRecording) {
        writeRecording(false);
    }
}

void HotkeyRecorder::cancel() {
    stopMonitoring();
    const auto writeRecording = writeRecording_;
    if (writeRecording) {
        writeRecording(false);
    }
}

} // namespace quorvane
