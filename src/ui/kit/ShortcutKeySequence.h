// How a stored key combination meets Qt: the key sequence it binds to and the text a person reads
// for it. Command is Ctrl, control is Super (which Qt calls Meta) and option is Alt, as the global
// hot key grabs them; the text is the desktop's own spelling of that sequence ("Ctrl+Shift+E"),
// so the windows never show the glyphs that HotkeyConfig::displayString() keeps for scripts.
#pragma once

#include "state/HotkeyConfig.h"

#include <QKeySequence>
#include <QString>

#include <cstdint>

namespace quorvane {

class ShortcutKeySequence {
public:
    // Exactly the recorded key with exactly its modifiers; empty when the key has no Qt key, so
    // that such a combination binds to nothing rather than to some other key.
    static QKeySequence of(const HotkeyConfig& config);
    // "Ctrl+Return", "Meta+Alt+Space"; a key without a Qt key shows its stored label.
    static QString text(const HotkeyConfig& config);
    // A tooltip that names the combination: "Regenerate (Ctrl+R)".
    static QString helpText(const QString& help, const HotkeyConfig& config);
    static QString helpText(const QString& help, const QKeySequence& sequence);

    // Qt::Key_unknown for virtual key codes without an X key.
    static Qt::Key key(std::uint32_t virtualKeyCode);
    static Qt::KeyboardModifiers modifiers(std::uint32_t carbonModifiers);
};

} // namespace quorvane
