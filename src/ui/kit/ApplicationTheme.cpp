#include "ui/kit/ApplicationTheme.h"

#include "state/AppState.h"
#include "ui/kit/DesignColors.h"
#include "ui/kit/DesktopColorScheme.h"

#include <QApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QStyle>
#include <QToolTip>
#include <QWidget>

namespace quorvane {

namespace {

ApplicationTheme* installed = nullptr;

constexpr QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive,
                                           QPalette::Disabled};

// The text of a plain control, solid: the translucent label colours over the window.
struct TextColors {
    QColor primary;
    QColor secondary;
    QColor disabled;
};

TextColors textColors(ColorScheme::Scheme scheme) {
    const QColor window = DesignColors::windowBackground(scheme);
    return {DesignColors::over(DesignColors::primary(scheme), window),
            DesignColors::over(DesignColors::secondary(scheme), window),
            DesignColors::over(DesignColors::tertiary(scheme), window)};
}

// Set in every group at once.
void setShades(QPalette& palette, ColorScheme::Scheme scheme) {
    const bool dark = scheme == ColorScheme::Scheme::dark;
    const QColor window = DesignColors::windowBackground(scheme);
    const QColor button = DesignColors::controlBackground(scheme);
    // The bevel colours of the style: lighter and darker steps of the control and the window.
    palette.setColor(QPalette::Light, dark ? button.lighter(140) : DesignColors::white());
    palette.setColor(QPalette::Midlight, dark ? button.lighter(115) : button.darker(105));
    palette.setColor(QPalette::Mid, dark ? window.lighter(160) : window.darker(125));
    palette.setColor(QPalette::Dark, dark ? window.darker(140) : window.darker(150));
    palette.setColor(QPalette::Shadow, DesignColors::withOpacity(DesignColors::black(), 0.6));
}

} // namespace

ApplicationTheme::ApplicationTheme(AppState& state, QObject* parent)
    : ApplicationTheme(
          state,
          std::make_unique<DesktopColorScheme>(
              QDBusConnection::sessionBus(), ColorScheme::fromPalette(QGuiApplication::palette())),
          parent) {}

ApplicationTheme::ApplicationTheme(AppState& state, std::unique_ptr<DesktopColorScheme> desktop,
                                   QObject* parent)
    : QObject(parent)
    , state_(state)
    , desktop_(std::move(desktop))
    , previousStyle_(QApplication::style()->name())
    , previousPalette_(QGuiApplication::palette()) {
    installed = this;
    QApplication::setStyle(QStringLiteral("Fusion"));
    refreshApplicationPalette();
    qApp->installEventFilter(this);
    connect(desktop_.get(), &DesktopColorScheme::changed, this, [this] {
        refreshApplicationPalette();
        emit desktopSchemeChanged();
    });
    subscription_ = state_.observe([this](AppState::Property property) {
        if (property == AppState::Property::appearance) {
            refreshApplicationPalette();
        }
    });
}

ApplicationTheme::~ApplicationTheme() {
    subscription_.reset();
    qApp->removeEventFilter(this);
    if (installed == this) {
        installed = nullptr;
        QApplication::setStyle(previousStyle_);
        QApplication::setPalette(previousPalette_);
    }
}

ApplicationTheme* ApplicationTheme::instance() {
    return installed;
}

QPalette ApplicationTheme::palette(ColorScheme::Scheme scheme) {
    const bool dark = scheme == ColorScheme::Scheme::dark;
    const TextColors text = textColors(scheme);
    const QColor tipBase = dark ? QColor(58, 58, 60) : QColor(252, 252, 252);
    QPalette palette;
    setShades(palette, scheme);
    for (const auto group : groups) {
        const bool disabled = group == QPalette::Disabled;
        const QColor label = disabled ? text.disabled : text.primary;
        palette.setColor(group, QPalette::Window, DesignColors::windowBackground(scheme));
        palette.setColor(group, QPalette::Base, DesignColors::textBackground(scheme));
        palette.setColor(group, QPalette::AlternateBase,
                         dark ? QColor(44, 44, 46) : QColor(245, 245, 245));
        palette.setColor(group, QPalette::Button, DesignColors::controlBackground(scheme));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            palette.setColor(group, role, label);
        }
        palette.setColor(group, QPalette::PlaceholderText,
                         disabled ? text.disabled : text.secondary);
        palette.setColor(group, QPalette::BrightText,
                         dark ? DesignColors::black() : DesignColors::white());
        palette.setColor(group, QPalette::Highlight,
                         disabled ? DesignColors::over(DesignColors::tertiary(scheme),
                                                       DesignColors::windowBackground(scheme))
                                  : DesignColors::selection(scheme));
        palette.setColor(group, QPalette::HighlightedText,
                         disabled ? text.primary : DesignColors::white());
        palette.setColor(group, QPalette::Link, DesignColors::linkText(scheme));
        palette.setColor(group, QPalette::LinkVisited, DesignColors::purpleText(scheme));
        palette.setColor(group, QPalette::ToolTipBase, tipBase);
        palette.setColor(group, QPalette::ToolTipText,
                         DesignColors::over(DesignColors::primary(scheme), tipBase));
        palette.setColor(group, QPalette::NoRole, DesignColors::clear());
    }
    return palette;
}

void ApplicationTheme::apply(QWidget& widget, ColorScheme::Scheme scheme) {
    if (ColorScheme::forced(&widget) == scheme) {
        return;
    }
    ColorScheme::force(&widget, scheme);
    widget.setPalette(palette(scheme));
}

ColorScheme::Scheme ApplicationTheme::panelScheme(Appearance appearance) {
    return appearance == Appearance::dark ? ColorScheme::Scheme::dark : ColorScheme::Scheme::light;
}

ColorScheme::Scheme ApplicationTheme::windowScheme(Appearance appearance) {
    switch (appearance) {
    case Appearance::light:
        return ColorScheme::Scheme::light;
    case Appearance::dark:
        return ColorScheme::Scheme::dark;
    case Appearance::auto_:
        break;
    }
    return desktopScheme();
}

ColorScheme::Scheme ApplicationTheme::desktopScheme() {
    return installed != nullptr ? installed->desktop_->scheme() : ColorScheme::Scheme::light;
}

bool ApplicationTheme::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::ToolTip) {
        // The tip label is shared by every window, and reused while it shows.
        QToolTip::setPalette(palette(ColorScheme::of(widget)));
    } else if (event->type() == QEvent::Show && widget->isWindow() &&
               widget->parentWidget() != nullptr) {
        apply(*widget, ColorScheme::of(widget->parentWidget()));
    }
    return false;
}

void ApplicationTheme::refreshApplicationPalette() {
    QApplication::setPalette(palette(windowScheme(state_.appearance())));
}

} // namespace quorvane
