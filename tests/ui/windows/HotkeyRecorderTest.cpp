#include "ui/windows/HotkeyRecorder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {
namespace {

// A recorder beside a line edit that would receive whatever the recorder lets through.
class HotkeyRecorderTest : public ::testing::Test {
protected:
    HotkeyRecorderTest() {
        recorder->setBeep([this] { ++beeps; });
        recorder->setOnCapture([this](const HotkeyConfig& config) {
            captured.push_back(config);
            flagWhenCaptured = recording;
        });
        recorder->setRecordingWriter([this](bool value) {
            recording = value;
            recorder->setRecording(value);
        });
    }

    void startRecording() {
        recording = true;
        recorder->setRecording(true);
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               quint32 nativeKeysym = 0) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, 0, nativeKeysym, 0);
        QApplication::sendEvent(&sink, &event);
    }

    QLineEdit sink;
    std::unique_ptr<HotkeyRecorder> recorder = std::make_unique<HotkeyRecorder>();
    std::vector<HotkeyConfig> captured;
    bool recording = false;
    std::optional<bool> flagWhenCaptured;
    int beeps = 0;
};

TEST_F(HotkeyRecorderTest, RecordsTheCombinationBeforeTheFlagTurnsFalse) {
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 nativeKeysym;
        HotkeyConfig expected;
    };
    const std::vector<Case> cases{
        {"Ctrl is command", Qt::Key_K, Qt::ControlModifier, 0, {40, 0x0100, "K"}},
        {"Shift", Qt::Key_A, Qt::ShiftModifier, 0, {0, 0x0200, "A"}},
        {"Super is control, Alt is option",
         Qt::Key_Space,
         Qt::MetaModifier | Qt::AltModifier,
         0,
         {49, 0x1000 | 0x0800, "Space"}},
        {"named key", Qt::Key_Return, Qt::ControlModifier, 0, {36, 0x0100, "↩"}},
        {"punctuation", Qt::Key_BracketLeft, Qt::ControlModifier, 0, {33, 0x0100, "Key 33"}},
        {"the X keysym wins over the Qt key",
         Qt::Key_unknown,
         Qt::ControlModifier,
         'e',
         {14, 0x0100, "E"}},
        {"an upper-case keysym is the same key",
         Qt::Key_E,
         Qt::ShiftModifier,
         'E',
         {14, 0x0200, "E"}},
        {"Shift on a digit reports its symbol",
         Qt::Key_Exclam,
         Qt::ShiftModifier | Qt::ControlModifier,
         0,
         {18, 0x0200 | 0x0100, "1"}},
        {"a shifted keysym is the key of its unshifted symbol",
         Qt::Key_BraceLeft,
         Qt::ShiftModifier | Qt::ControlModifier,
         '{',
         {33, 0x0200 | 0x0100, "Key 33"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        captured.clear();
        startRecording();
        press(c.key, c.modifiers, c.nativeKeysym);
        ASSERT_EQ(captured.size(), 1u);
        EXPECT_EQ(captured.front(), c.expected);
        EXPECT_EQ(flagWhenCaptured, true) << "the caller hears of the capture first";
        EXPECT_FALSE(recording);
        EXPECT_FALSE(recorder->isMonitoring());
    }
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(sink.text().isEmpty()) << "recorded keys are swallowed";
}

TEST_F(HotkeyRecorderTest, AKeyWithoutModifiersBeepsAndRecordingGoesOn) {
    startRecording();
    QTest::keyClick(&sink, Qt::Key_A);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(captured.empty());
    EXPECT_TRUE(recording);
    EXPECT_TRUE(sink.text().isEmpty()) << "a rejected key is swallowed too";

    press(Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(beeps, 1) << "a modifier on its own starts a combination";

    press(Qt::Key_A, Qt::ShiftModifier);
    ASSERT_EQ(captured.size(), 1u);
    EXPECT_EQ(captured.front(), (HotkeyConfig{0, 0x0200, "A"}));
}

TEST_F(HotkeyRecorderTest, EscapeCancelsWithOrWithoutModifiers) {
    for (const auto modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        startRecording();
        press(Qt::Key_Escape, modifiers);
        EXPECT_FALSE(recording);
        EXPECT_FALSE(recorder->isMonitoring());
    }
    EXPECT_TRUE(captured.empty());
    EXPECT_EQ(beeps, 0);
}

TEST_F(HotkeyRecorderTest, NoFilterOutlivesRecording) {
    startRecording();
    recorder->setRecording(true);
    recorder->setRecording(false);
    QTest::keyClick(&sink, Qt::Key_A);
    EXPECT_EQ(sink.text(), "a") << "stopped from outside, keys reach the windows again";
    EXPECT_TRUE(captured.empty());

    startRecording();
    recorder.reset();
    QTest::keyClick(&sink, Qt::Key_B);
    EXPECT_EQ(sink.text(), "ab") << "a destroyed recorder leaves no filter behind";
}

} // namespace
} // namespace quorvane
