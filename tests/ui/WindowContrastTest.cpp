// What a person sees: the contrast of every text in every window, in both schemes.
#include "shell/ApplicationWindow.h"
#include "shell/KeyablePanel.h"
#include "support/Contrast.h"
#include "support/ProgramWindows.h"
#include "support/Render.h"
#include "support/ViewTestState.h"
#include "ui/kit/ColorScheme.h"
#include "ui/kit/Divider.h"
#include "ui/kit/Symbols.h"
#include "ui/panel/AdvancedOptionsPanel.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/PresetMenu.h"
#include "ui/windows/OnboardingView.h"
#include "ui/windows/ProviderSection.h"
#include "ui/windows/SettingsView.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using Scheme = ColorScheme::Scheme;
using test::contrast;
using test::luminance;
using test::ProgramWindows;
using test::ViewTestState;

constexpr Scheme schemes[] = {Scheme::light, Scheme::dark};

Appearance appearanceOf(Scheme scheme) {
    return scheme == Scheme::dark ? Appearance::dark : Appearance::light;
}

// The rectangles, in the widget's own coordinates, where it draws a text; none for a widget
// without text or one that only shows a symbol.
std::vector<QRect> textAreas(QWidget& widget) {
    const auto inset = [](const QRect& rect, int by) { return rect.adjusted(by, by, -by, -by); };
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        if (label->text().isEmpty() || label->font().family() == Symbols::fontFamily()) {
            return {};
        }
        return {label->contentsRect()};
    }
    if (auto* field = qobject_cast<QLineEdit*>(&widget)) {
        if (field->text().isEmpty() && field->placeholderText().isEmpty()) {
            return {};
        }
        return {inset(field->rect(), 3)};
    }
    if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
        if (combo->currentText().isEmpty()) {
            return {};
        }
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.currentText = combo->currentText();
        return {combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                               QStyle::SC_ComboBoxEditField, combo)};
    }
    if (auto* list = qobject_cast<QAbstractItemView*>(&widget)) {
        std::vector<QRect> areas;
        for (int row = 0; list->model() != nullptr && row < list->model()->rowCount(); ++row) {
            const QRect item = list->visualRect(list->model()->index(row, 0))
                                   .intersected(list->viewport()->rect());
            areas.push_back(item.translated(list->viewport()->pos()));
        }
        return areas;
    }
    if (auto* editor = qobject_cast<QAbstractScrollArea*>(&widget)) {
        auto* plain = qobject_cast<QPlainTextEdit*>(editor);
        auto* rich = qobject_cast<QTextEdit*>(editor);
        const QString text = plain != nullptr  ? plain->toPlainText()
                             : rich != nullptr ? rich->toPlainText()
                                               : "";
        if (text.isEmpty()) {
            return {};
        }
        const QRect viewport = editor->viewport()->geometry();
        return {inset(viewport, 2)};
    }
    if (auto* button = qobject_cast<QPushButton*>(&widget)) {
        if (button->text().isEmpty()) {
            return {};
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return {button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button)};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        // A button whose text is a glyph of the symbol font shows an icon.
        if (button->text().isEmpty() || button->font().family() == Symbols::fontFamily()) {
            return {};
        }
        return {inset(button->rect(), 2)};
    }
    if (auto* menu = qobject_cast<QMenu*>(&widget)) {
        std::vector<QRect> areas;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && !action->text().isEmpty() &&
                menu->actionGeometry(action).isValid()) {
                areas.push_back(menu->actionGeometry(action));
            }
        }
        return areas;
    }
    // The kit's own painted rows and capsules.
    const QString painted = QString::fromLatin1(widget.metaObject()->className());
    if (painted == QLatin1String("quorvane::PanelStatusCapsule") ||
        painted == QLatin1String("quorvane::PresetMenuRow")) {
        return {inset(widget.rect(), 3)};
    }
    return {};
}

// The colour that most of an area's pixels have, channel by channel.
QColor median(std::vector<QColor> pixels) {
    if (pixels.empty()) {
        return {};
    }
    const auto channel = [&](auto get) {
        std::vector<int> values;
        values.reserve(pixels.size());
        for (const QColor& pixel : pixels) {
            values.push_back(get(pixel));
        }
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    return QColor(channel([](const QColor& c) { return c.red(); }),
                  channel([](const QColor& c) { return c.green(); }),
                  channel([](const QColor& c) { return c.blue(); }));
}

// The contrast of a text as drawn: its most inked pixel against the ground right around it
// (a gradient's colour there, not at the far end of the button).
double drawnContrast(const QImage& image, const QRect& area) {
    std::vector<QColor> pixels;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            pixels.push_back(image.pixelColor(x, y));
        }
    }
    const QColor ground = median(pixels);
    QPoint ink = area.topLeft();
    double best = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const double ratio = contrast(image.pixelColor(x, y), ground);
            if (ratio > best) {
                best = ratio;
                ink = {x, y};
            }
        }
    }
    const QColor inkColor = image.pixelColor(ink);
    std::vector<QColor> around;
    const QRect near = QRect(ink - QPoint(6, 6), QSize(13, 13)).intersected(area);
    for (int y = near.top(); y <= near.bottom(); ++y) {
        for (int x = near.left(); x <= near.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (contrast(pixel, inkColor) >= 2.0) {
                around.push_back(pixel);
            }
        }
    }
    return contrast(inkColor, around.size() >= 5 ? median(around) : ground);
}

// The luminances of an area's pixels, in order.
std::vector<double> luminances(const QImage& image, const QRect& area) {
    std::vector<double> values;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            values.push_back(luminance(image.pixelColor(x, y)));
        }
    }
    std::sort(values.begin(), values.end());
    return values;
}

std::string describe(const QWidget& widget, const QRect& area) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        text = label->text();
    } else if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        text = button->text();
    } else if (auto* field = qobject_cast<const QLineEdit*>(&widget)) {
        text = field->text().isEmpty() ? field->placeholderText() : field->text();
    } else if (auto* combo = qobject_cast<const QComboBox*>(&widget)) {
        text = combo->currentText();
    }
    return std::string(widget.metaObject()->className()) + " \"" + text.left(40).toStdString() +
           "\" " + widget.objectName().toStdString() + " at " + std::to_string(area.x()) + "," +
           std::to_string(area.y());
}

// The desktop behind a translucent window at its least kind: black under the light look, white
// under the dark one.
QColor harshestDesktop(Scheme scheme) {
    return scheme == Scheme::dark ? QColor(255, 255, 255) : QColor(0, 0, 0);
}

// Whether no parent (a scroll area's viewport above all) cuts the area off.
bool fullyShown(QWidget& widget, const QRect& area, QWidget& window) {
    if (area.isEmpty()) {
        return false;
    }
    QRect shown = area;
    for (QWidget* current = &widget; current != &window; current = current->parentWidget()) {
        if (!current->rect().contains(shown)) {
            return false;
        }
        shown.translate(current->pos());
    }
    return window.rect().contains(shown);
}

// Looks at every text the window shows as it stands: an enabled one reads at 4.5:1 at least,
// a disabled one looks different from the same one enabled; scroll bars and separators are of
// the window's scheme. The widgets looked at are added to `seen`.
void checkWindow(QWidget& window, Scheme scheme, std::set<QWidget*>& seen) {
    QImage image = test::render(window, harshestDesktop(scheme));
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.push_back(&window);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible() || widget->window() != &window) {
            continue;
        }
        const QRect whole(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        const bool line = qobject_cast<Divider*>(widget) != nullptr ||
                          (qobject_cast<QFrame*>(widget) != nullptr &&
                           (static_cast<QFrame*>(widget)->frameShape() == QFrame::HLine ||
                            static_cast<QFrame*>(widget)->frameShape() == QFrame::VLine));
        // A line is judged by its loudest pixel, a scroll bar by most of its pixels (its
        // arrows are drawn in the text colour).
        if ((line || qobject_cast<QScrollBar*>(widget) != nullptr) &&
            fullyShown(*widget, widget->rect(), window)) {
            const std::vector<double> shades = luminances(image, whole);
            const bool dark = scheme == Scheme::dark;
            const double shade =
                line ? (dark ? shades.back() : shades.front()) : shades[shades.size() / 2];
            EXPECT_EQ(shade < 0.3, dark)
                << describe(*widget, whole) << " has a luminance of " << shade;
        }
        for (const QRect& area : textAreas(*widget)) {
            if (!fullyShown(*widget, area, window)) {
                continue;
            }
            seen.insert(widget);
            const QRect inWindow(widget->mapTo(&window, area.topLeft()), area.size());
            if (widget->isEnabled()) {
                EXPECT_GE(drawnContrast(image, inWindow), 4.5) << describe(*widget, inWindow);
                continue;
            }
            // Disabled text need not read well, but it must not pass for enabled text.
            QWidget* disabled = widget;
            while (disabled->parentWidget() != nullptr && !disabled->parentWidget()->isEnabled()) {
                disabled = disabled->parentWidget();
            }
            disabled->setEnabled(true);
            ViewTestState::processEvents();
            const QImage enabled = test::render(window, harshestDesktop(scheme));
            disabled->setEnabled(false);
            ViewTestState::processEvents();
            EXPECT_NE(enabled.copy(inWindow), image.copy(inWindow))
                << "disabled looks enabled: " << describe(*widget, inWindow);
        }
    }
}

// The buttons without a text (the model list's refresh button) must show when they are
// disabled too.
void checkDisabledSymbols(QWidget& window, Scheme scheme) {
    for (auto* button : window.findChildren<QToolButton*>()) {
        if (!button->isVisible() || button->isEnabled() || !button->text().isEmpty() ||
            button->icon().isNull() || !fullyShown(*button, button->rect(), window)) {
            continue;
        }
        const QRect area(button->mapTo(&window, QPoint(0, 0)), button->size());
        const QImage before = test::render(window, harshestDesktop(scheme)).copy(area);
        button->setEnabled(true);
        ViewTestState::processEvents();
        const QImage after = test::render(window, harshestDesktop(scheme)).copy(area);
        button->setEnabled(false);
        ViewTestState::processEvents();
        EXPECT_NE(before, after) << "disabled looks enabled: " << describe(*button, area);
    }
}

HistoryItem item(const std::string& input, Preset preset, ProviderID provider) {
    return HistoryItem{Uuid::random(), input,    "output",
                       preset,         provider, std::chrono::system_clock::now()};
}

struct WindowCase {
    const char* name;
    // Arranges the state and shows the window (or pop-up) to look at.
    std::function<QWidget&(ViewTestState&, ProgramWindows&)> show;
};

QWidget& panelWith(ViewTestState& fixture, ProgramWindows& windows,
                   const std::function<void(AppState&)>& arrange) {
    arrange(fixture.state());
    KeyablePanel& panel = windows.panel();
    ProgramWindows::settle(panel);
    return panel;
}

QWidget& onboardingAt(ViewTestState& fixture, ProgramWindows& windows, ProviderID provider,
                      int steps) {
    fixture.state().setHasCompletedOnboarding(true);
    fixture.state().setProviderID(provider);
    ApplicationWindow& window = windows.onboarding();
    auto* view = qobject_cast<OnboardingView*>(window.content());
    for (int step = 0; step < steps; ++step) {
        view->advance();
    }
    ProgramWindows::settle(window);
    return window;
}

const std::vector<WindowCase>& windowCases() {
    static const std::vector<WindowCase> cases = {
        {"PanelEmpty", [](auto& f, auto& w) -> QWidget& { return panelWith(f, w, [](auto&) {}); }},
        {"PanelDraft",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) { s.setInputText("rename my photos"); });
         }},
        {"PanelResultWithAdvancedOptions",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) {
                 s.setInputText("rename my photos");
                 s.setOutputText("You are a senior engineer. Build a tool that renames photos.");
                 s.setFieldMode(FieldMode::result);
                 s.setShowAdvanced(true);
             });
         }},
        {"PanelWorking",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) {
                 s.setInputText("rename my photos");
                 s.setIsEnhancing(true);
             });
         }},
        {"PanelQuestions",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) {
                 s.setInputText("a launch post");
                 s.setPendingQuestions({"Who will read the post?", "Mention pricing?"});
                 s.setAnswers({"Developers", ""});
             });
         }},
        {"PanelVariations",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) {
                 s.setInputText("a launch post");
                 s.setVariations({"First rewrite of the post.", "Second one.", "Third one."});
             });
         }},
        {"PanelError",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) {
                 s.setErrorMessage("No API key set for OpenAI. Add one in Settings.");
                 s.setLastErrorSuggestsSettings(true);
             });
         }},
        {"PanelHistory",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) {
                 s.setHistory({item("Write a launch post", Preset::writing, ProviderID::openAI),
                               item("refactor the parser", Preset::code, ProviderID::custom)});
                 s.setShowHistory(true);
             });
         }},
        {"PanelHistoryEmpty",
         [](auto& f, auto& w) -> QWidget& {
             return panelWith(f, w, [](AppState& s) { s.setShowHistory(true); });
         }},
        {"PanelPresetMenu",
         [](auto& f, auto& w) -> QWidget& {
             AppState& s = f.state();
             const Uuid id = s.addCustomPreset();
             s.setActiveCustomPresetID(id);
             QWidget& panel = panelWith(f, w, [](auto&) {});
             auto* presets = panel.findChild<PresetMenu*>();
             presets->click();
             ProgramWindows::settle(*presets->menu());
             return *presets->menu();
         }},
        {"PanelTonePicker",
         [](auto& f, auto& w) -> QWidget& {
             QWidget& panel = panelWith(f, w, [](AppState& s) { s.setShowAdvanced(true); });
             QComboBox* tone = panel.findChild<AdvancedOptionsPanel*>()->tonePicker();
             tone->showPopup();
             ProgramWindows::settle(*tone->view()->window());
             return *tone->view()->window();
         }},
        {"PanelToolTip",
         [](auto& f, auto& w) -> QWidget& {
             QWidget& panel = panelWith(f, w, [](auto&) {});
             auto* button = panel.findChild<QWidget*>(QStringLiteral("settingsButton"));
             QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
             QCoreApplication::sendEvent(button, &help);
             ViewTestState::processEvents();
             for (QWidget* shown : QApplication::topLevelWidgets()) {
                 if (shown->inherits("QTipLabel") && shown->isVisible()) {
                     return *shown;
                 }
             }
             ADD_FAILURE() << "no tip";
             return panel;
         }},
        {"SettingsCustomProvider",
         [](auto& f, auto& w) -> QWidget& {
             AppState& s = f.state();
             s.addCustomPreset();
             s.saveOverride(Preset::code, "Be terse.");
             s.setHistory({item("Write a launch post", Preset::writing, ProviderID::openAI)});
             s.setFetchedModels({{ProviderID::custom, {"test-model", "other-model"}}});
             return w.settings();
         }},
        {"SettingsOnDevice",
         [](auto& f, auto& w) -> QWidget& {
             f.state().setProviderID(ProviderID::appleFoundation);
             return w.settings();
         }},
        {"SettingsWithoutAKey",
         [](auto& f, auto& w) -> QWidget& {
             f.state().setProviderID(ProviderID::openAI);
             ApplicationWindow& settings = w.settings();
             f.state().setModelFetchError("The server said no.");
             ProgramWindows::settle(settings);
             return settings;
         }},
        {"SettingsProviderPicker",
         [](auto& f, auto& w) -> QWidget& {
             (void)f;
             ApplicationWindow& settings = w.settings();
             auto* view = qobject_cast<SettingsView*>(settings.content());
             QComboBox* picker = view->providerSection()->providerPicker();
             picker->showPopup();
             ProgramWindows::settle(*picker->view()->window());
             return *picker->view()->window();
         }},
        {"OnboardingWelcome",
         [](auto& f, auto& w) -> QWidget& {
             return onboardingAt(f, w, ProviderID::appleFoundation, 0);
         }},
        {"OnboardingProvider",
         [](auto& f, auto& w) -> QWidget& {
             return onboardingAt(f, w, ProviderID::appleFoundation, 1);
         }},
        {"OnboardingKey",
         [](auto& f, auto& w) -> QWidget& { return onboardingAt(f, w, ProviderID::anthropic, 2); }},
        {"OnboardingOptions",
         [](auto& f, auto& w) -> QWidget& {
             return onboardingAt(f, w, ProviderID::appleFoundation, 2);
         }},
        {"OnboardingDone",
         [](auto& f, auto& w) -> QWidget& {
             return onboardingAt(f, w, ProviderID::appleFoundation, 3);
         }},
    };
    return cases;
}

struct ContrastCase {
    std::size_t window;
    Scheme scheme;
};

class WindowContrastTest : public testing::TestWithParam<ContrastCase> {};

TEST_P(WindowContrastTest, EveryTextReadsAndDisabledTextLooksDisabled) {
    const WindowCase& current = windowCases()[GetParam().window];
    const Scheme scheme = GetParam().scheme;
    ViewTestState fixture;
    fixture.state().setAppearance(appearanceOf(scheme));
    ProgramWindows windows(fixture.state());
    QWidget& window = current.show(fixture, windows);
    ASSERT_EQ(ColorScheme::of(&window), scheme);

    std::set<QWidget*> seen;
    auto* form = window.findChild<SettingsView*>();
    if (form == nullptr) {
        checkWindow(window, scheme, seen);
        checkDisabledSymbols(window, scheme);
        EXPECT_FALSE(seen.empty()) << "no text found";
        return;
    }
    // The form scrolls: it is looked at screen by screen, and every text must have been shown.
    QScrollBar* bar = form->scrollArea()->verticalScrollBar();
    for (int value = bar->minimum();; value += bar->pageStep() / 2) {
        bar->setValue(std::min(value, bar->maximum()));
        ViewTestState::processEvents();
        checkWindow(window, scheme, seen);
        checkDisabledSymbols(window, scheme);
        if (value >= bar->maximum()) {
            break;
        }
    }
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        if (widget->isVisibleTo(form) && !textAreas(*widget).empty()) {
            EXPECT_TRUE(seen.contains(widget)) << "never shown whole: " << describe(*widget, {});
        }
    }
}

std::vector<ContrastCase> contrastCases() {
    std::vector<ContrastCase> cases;
    for (std::size_t index = 0; index < windowCases().size(); ++index) {
        for (const Scheme scheme : schemes) {
            cases.push_back({index, scheme});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowContrastTest, testing::ValuesIn(contrastCases()),
                         [](const testing::TestParamInfo<ContrastCase>& info) {
                             return std::string(windowCases()[info.param.window].name) +
                                    (info.param.scheme == Scheme::dark ? "Dark" : "Light");
                         });

} // namespace
} // namespace quorvane
