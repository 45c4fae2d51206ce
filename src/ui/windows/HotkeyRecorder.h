// The invisible recorder beside a "Change" button: while the caller's flag says it records, it
// takes every key press of the application, turns the first combination with a modifier into a
// HotkeyConfig for the caller and ends recording. Escape, with or without modifiers, cancels; a
// key without modifiers, or one that no Qt key sequence expresses, beeps and recording goes on. The
// application-wide filter exists only while recording and never outlives the recorder.
#pragma once

#include "state/HotkeyConfig.h"

#include <QWidget>

#include <functional>

class QKeyEvent;

namespace quorvane {

class HotkeyRecorder : public QWidget {
    Q_OBJECT

public:
    using CaptureHandler = std::function<void(const HotkeyConfig&)>;
    // Writes the caller's recording flag.
    using RecordingWriter = std::function<void(bool)>;

    explicit HotkeyRecorder(QWidget* parent = nullptr);
    ~HotkeyRecorder() override;

    // Called with the combination before the caller's flag is written false.
    void setOnCapture(CaptureHandler handler);
    void setRecordingWriter(RecordingWriter writer);
    // The caller's flag as it is now; starts or stops the filter. Repeating true keeps one filter.
    void setRecording(bool isRecording);
    bool isMonitoring() const { return monitoring_; }

    // The alert for a rejected key; QApplication::beep() unless replaced.
    void setBeep(std::function<void()> beep);

    QSize sizeHint() const override { return {0, 0}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A recorder in a closed or minimised window would go on swallowing the keys typed into the
    // application's other windows, so hiding it ends the recording like Escape does.
    void hideEvent(QHideEvent* event) override;

private:
    void startMonitoring();
    void stopMonitoring();
    void handle(const QKeyEvent& event);
    void capture(const HotkeyConfig& config);
    void cancel();

    CaptureHandler onCapture_;
    RecordingWriter writeRecording_;
    std::function<void()> beep_;
    bool monitoring_ = false;
};

} // namespace quorvane
