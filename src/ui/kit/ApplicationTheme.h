// The one look of every window: a complete palette for the light and the dark scheme built from
// DesignColors, drawn by one style (Fusion) whatever the desktop's style is.
//
// Two windows may show different schemes at once (the panel gives "auto" the light look, the
// settings and onboarding windows give it the desktop's preference), so each of those windows
// carries the palette of its own scheme (apply()), and the application palette is that of the
// settings and onboarding windows' scheme, for the windows that have none of their own (the
// update dialog, the tray menu). A pop-up menu, a combo box's list, a completer or a tool tip is
// a window of its own that would otherwise take the application palette: while a theme is
// installed, each one takes the palette of the window it opens from, every time it shows.
#pragma once

#include "state/Appearance.h"
#include "state/Subscription.h"
#include "ui/kit/ColorScheme.h"

#include <QObject>
#include <QPalette>

#include <memory>

namespace quorvane {

class AppState;
class DesktopColorScheme;

class ApplicationTheme : public QObject {
    Q_OBJECT

public:
    // Installs the style, the application palette and the pop-up handling, and starts reading
    // the desktop's preference over the session bus. One at a time; the last one to go puts the
    // application's own style and palette back.
    explicit ApplicationTheme(AppState& state, QObject* parent = nullptr);
    // The same with the desktop's preference read from a given reader (tests).
    ApplicationTheme(AppState& state, std::unique_ptr<DesktopColorScheme> desktop,
                     QObject* parent = nullptr);
    ~ApplicationTheme() override;

    // The installed theme, or null.
    static ApplicationTheme* instance();

    // Every role of every colour group.
    static QPalette palette(ColorScheme::Scheme scheme);
    // The scheme and its palette for a window and everything inside it; nothing happens when
    // the widget already shows that scheme.
    static void apply(QWidget& widget, ColorScheme::Scheme scheme);

    // The floating panel: dark only when asked for, "auto" is light.
    static ColorScheme::Scheme panelScheme(Appearance appearance);
    // The settings and onboarding windows: "auto" follows the desktop's preference (light
    // while no theme is installed).
    static ColorScheme::Scheme windowScheme(Appearance appearance);
    static ColorScheme::Scheme desktopScheme();

signals:
    // The desktop's preference changed; windows that follow it re-read.
    void desktopSchemeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshApplicationPalette();

    AppState& state_;
    std::unique_ptr<DesktopColorScheme> desktop_;
    QString previousStyle_;
    QPalette previousPalette_;
    Subscription subscription_;
};

} // namespace quorvane
