// The measures of the views in one place, beside DesignColors and DesignFonts: corner radii,
// paddings, spacings and the fixed sizes of things, in points (device-independent pixels),
// grouped by the piece that draws or lays them out. Opacities, durations and springs are not
// measures and stay with the colours and the animations.
#pragma once

#include <QtGlobal>

namespace quorvane {

struct DesignMetrics {
    // ---- The kit ----

    struct AuroraButton {
        static constexpr qreal height = 42;
        static constexpr qreal horizontalPadding = 18;
        static constexpr qreal cornerRadius = 12;
        static constexpr qreal smallHeight = 26;
        static constexpr qreal smallHorizontalPadding = 12;
        static constexpr qreal smallCornerRadius = 8;
    };

    struct SoftButton {
        static constexpr qreal horizontalPadding = 16;
        static constexpr qreal verticalPadding = 11;
        static constexpr qreal cornerRadius = 12;
        static constexpr qreal smallHorizontalPadding = 10;
        static constexpr qreal smallVerticalPadding = 5;
        static constexpr qreal smallCornerRadius = 8;
    };

    struct CircleIconButton {
        static constexpr qreal diameter = 32;
    };

    // The floating card behind the advanced options, the questions and the variations.
    struct Surface {
        static constexpr qreal cornerRadius = 16;
        static constexpr qreal shadowRadius = 18;
        static constexpr qreal shadowY = 6;
        // What the cards of the panel's column leave around their content.
        static constexpr int contentPadding = 16;
    };

    struct CardShape {
        static constexpr qreal shadowRadius = 8;
        static constexpr qreal shadowY = 3;
    };

    struct AuroraBorder {
        static constexpr qreal ringWidth = 2;
    };

    struct AccentRim {
        static constexpr qreal glowRadius = 12;
    };

    struct ErrorBanner {
        static constexpr qreal cornerRadius = 8;
        static constexpr qreal symbolSize = 13;
    };

    struct TextEditor {
        static constexpr int findBarMargin = 8;
    };

    // ---- The floating panel ----

    struct Panel {
        static constexpr int width = 480;
        static constexpr qreal cornerRadius = 26;
        static constexpr int padding = 20;
        static constexpr int pageSpacing = 18;
        static constexpr int headerSpacing = 11;
        static constexpr int columnSpacing = 16;
        static constexpr int actionsSpacing = 8;
        static constexpr int footerSpacing = 8;
    };

    struct PanelHeader {
        static constexpr int rowSpacing = 11;
        static constexpr qreal iconSize = 13;
    };

    struct PanelBadge {
        static constexpr qreal side = 34;
        static constexpr qreal cornerRadius = 9;
        static constexpr qreal symbolSize = 15;
        static constexpr qreal shadowRadius = 6;
        static constexpr qreal shadowY = 2;
    };

    struct PresetMenu {
        static constexpr qreal paddingX = 12;
        static constexpr qreal paddingY = 7;
        static constexpr qreal spacing = 6;
        static constexpr qreal presetSymbolSize = 11;
        static constexpr qreal chevronSize = 9;
        static constexpr qreal menuIconSize = 14;
    };

    struct PresetMenuRow {
        static constexpr qreal padding = 10;
        static constexpr qreal spacing = 6;
        static constexpr qreal iconSize = 14;
        static constexpr qreal markSize = 13;
        static constexpr qreal checkSize = 13;
        // The least room between the name (or its mark) and the checkmark column.
        static constexpr qreal minimumGap = 16;
    };

    struct EditorCard {
        static constexpr qreal cornerRadius = 22;
        static constexpr int padding = 14;
        static constexpr qreal lineFragmentPadding = 5;
        static constexpr qreal textInsetHeight = 9;
        static constexpr qreal shadowRadius = 26;
        static constexpr qreal shadowY = 10;
    };

    struct EditorCornerButton {
        static constexpr int padding = 12;
        static constexpr qreal tileRadius = 8;
    };

    struct ActionBar {
        static constexpr int rowSpacing = 12;
        static constexpr int columnSpacing = 8;
        static constexpr qreal labelSpacing = 6;
        static constexpr qreal primaryWidth = 160;
        // Between the primary button's symbol, title and hint, and beside them when they need
        // more than its fixed width.
        static constexpr int primaryLabelSpacing = 7;
        static constexpr int primarySidePadding = 14;
    };

    struct WorkingPill {
        static constexpr int width = 160;
        static constexpr int height = 42;
        static constexpr qreal cornerRadius = 12;
    };

    struct Disclosure {
        static constexpr qreal chevronSize = 10;
        static constexpr qreal spacing = 6;
        static constexpr qreal dotDiameter = 5;
    };

    struct AdvancedOptions {
        static constexpr int topPadding = 6;
        static constexpr int columnSpacing = 14;
        static constexpr int headingSpacing = 8;
        static constexpr int dividerHeight = 40;
    };

    struct OptionLabel {
        static constexpr int spacing = 6;
    };

    struct QuestionsCard {
        static constexpr int cardSpacing = 11;
        static constexpr int headerSpacing = 7;
        static constexpr int buttonSpacing = 8;
        static constexpr qreal labelSpacing = 6;
        static constexpr int rowSpacing = 5;
        static constexpr qreal spinnerLineWidth = 1.6;
    };

    struct VariationsPicker {
        static constexpr int cardSpacing = 9;
        static constexpr int headerSpacing = 6;
        static constexpr int rowPadding = 10;
        static constexpr int rowSpacing = 6;
        static constexpr qreal rowCornerRadius = 10;
    };

    struct StatusCapsule {
        static constexpr qreal paddingX = 11;
        static constexpr qreal paddingY = 6;
        static constexpr qreal spacing = 6;
        static constexpr qreal sparkleSize = 10;
        static constexpr qreal dotSize = 7;
    };

    struct PanelFooter {
        static constexpr int rowSpacing = 8;
        static constexpr int heartSize = 12;
    };

    struct History {
        static constexpr int headerPaddingX = 16;
        static constexpr int headerPaddingY = 10;
        static constexpr int emptyPaddingY = 40;
        static constexpr int emptySpacing = 6;
        // The list ends short of the panel's rounded corner, which would cut its bar off.
        static constexpr int listBottomInset = 20;
        static constexpr int rowPaddingX = 16;
        static constexpr int rowPaddingY = 8;
        static constexpr int rowSpacing = 3;
        static constexpr int detailSpacing = 6;
    };

    // ---- The settings and onboarding windows ----

    struct SettingsForm {
        static constexpr int width = 520;
        static constexpr int minimumHeight = 600;
        static constexpr int margin = 20;
        static constexpr int sectionSpacing = 18;
    };

    struct SettingsGroup {
        static constexpr qreal cardRadius = 8;
        static constexpr int rowInset = 10;
    };

    struct SettingsRow {
        static constexpr int leadingInset = 10;
        static constexpr int symbolColumn = 20;
        static constexpr int spacing = 8;
        static constexpr qreal symbolSize = 15;
    };

    struct SettingsHeader {
        static constexpr int tileSize = 42;
        static constexpr qreal tileRadius = 11;
        static constexpr qreal tileSymbolSize = 22;
    };

    struct ProviderSection {
        static constexpr qreal badgeSymbolSize = 10;
        static constexpr qreal rowSymbolSize = 15;
    };

    struct PresetRow {
        static constexpr int builtInEditorHeight = 60;
        static constexpr int customEditorHeight = 84;
        static constexpr qreal symbolSize = 14;
        static constexpr qreal markSymbolSize = 11;
        static constexpr qreal editorCornerRadius = 7;
        static constexpr int editorPadding = 6;
    };

    struct ToggleSwitch {
        static constexpr qreal trackWidth = 32;
        static constexpr qreal trackHeight = 18;
        static constexpr qreal knobInset = 2;
        static constexpr int textSpacing = 8;
    };

    struct FormControls {
        static constexpr qreal segmentSymbolSize = 13;
        static constexpr qreal buttonSymbolSize = 14;
        static constexpr qreal keyToggleSymbolSize = 15;
    };

    struct Onboarding {
        static constexpr int width = 480;
        static constexpr int height = 520;
        static constexpr int pagePadding = 28;
        static constexpr int footerPadding = 16;
    };

    struct OnboardingIconTile {
        static constexpr qreal side = 84;
        static constexpr qreal cornerRadius = 20;
        static constexpr qreal shadowRadius = 8;
        static constexpr qreal shadowOffset = 4;
        static constexpr qreal symbolSize = 40;
    };
};

} // namespace quorvane
