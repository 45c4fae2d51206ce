#include "ShowcaseMode.h"

#include "ReportWriter.h"
#include "ui/panel/PopoverView.h"
#include "ui/windows/OnboardingView.h"
#include "ui/windows/SettingsView.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QRect>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <string>

namespace quorvane {

namespace {

constexpr const char* sampleDraft = "make a cli that renames files by exif date";

constexpr const char* sampleOutput =
    "You are a senior CLI engineer. Build a command-line tool that renames image files based "
    "on their EXIF capture date.\n\n"
    "Requirements:\n"
    "- Accept one or more directories and an optional --recursive flag.\n"
    "- Read DateTimeOriginal from EXIF; skip files without it and report them.\n"
    "- Rename to YYYY-MM-DD_HH-MM-SS.ext, adding a counter on collisions.\n"
    "- Support --dry-run to print planned renames without touching files.\n"
    "- Print a summary of renamed and skipped files.\n"
    "- Exit non-zero on errors.";

const std::vector<std::string>& sampleVariations() {
    static const std::vector<std::string> texts{
        "Write a command-line tool that uploads images to a configurable storage bucket, prints "
        "each public URL, and retries failed uploads up to three times.",
        "Build a tiny CLI image uploader: it takes file paths or globs, resizes big images before "
        "upload, shows a progress bar per file, and copies the resulting links to the clipboard.",
        "Create a CLI that uploads one or more images to an image host, reads the API token from "
        "the environment variable, and then outputs a Markdown snippet per image.",
    };
    return texts;
}

void applyFixedProvider(const QStringList& arguments, AppState& state) {
    if (!arguments.contains(QStringLiteral("keepprovider"))) {
        state.setProviderID(ProviderID::appleFoundation);
        state.setModel("on-device");
    }
}

void prepareState(const QStringList& arguments, AppState& state) {
    const auto has = [&arguments](const char* word) {
        return arguments.contains(QString::fromLatin1(word));
    };
    applyFixedProvider(arguments, state);
    state.setInputText(sampleDraft);
    state.setOutputText(sampleOutput);
    state.setFieldMode(FieldMode::result);
    if (has("errorstate")) {
        state.setErrorMessage("No API key set for OpenAI. Add one in Settings.");
        state.setLastErrorSuggestsSettings(true);
        state.setIsEnhancing(true);
        state.setOutputText("");
    }
    if (has("rich")) {
        state.setShowAdvanced(true);
        state.setVariations(sampleVariations());
    }
    if (has("enhancing")) {
        state.setInputText(sampleDraft);
        state.setIsEnhancing(true);
    }
}

QWidget* settingsRoot(AppState& state) {
    return new SettingsView(state, nullptr);
}

QWidget* onboardingRoot(AppState& state) {
    return new OnboardingView(
        state, [] {}, nullptr);
}

// `shown` runs once the window is on screen, before the window is reported.
QWidget* openWindow(const DiagnosticContext& context, const char* title, QRect content,
                    QWidget* root, const std::function<void()>& shown = {}) {
    auto* window = new QWidget(nullptr, Qt::Window | Qt::WindowTitleHint);
    window->setWindowTitle(QString::fromLatin1(title));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    root->setFixedWidth(content.width());
    layout->addWidget(root);
    window->setGeometry(content);
    window->show();
    window->raise();
    window->activateWindow();
    if (shown) {
        shown();
    }
    if (context.showcaseWindows != nullptr) {
        context.showcaseWindows->push_back(window);
    }
    ReportWriter::write("WINDOW_ID:" + std::to_string(window->winId()) + ":" + title + "\n");
    return window;
}

void scrollToBottom(QWidget* widget) {
    for (QObject* child : widget->children()) {
        if (auto* childWidget = qobject_cast<QWidget*>(child)) {
            scrollToBottom(childWidget);
        }
    }
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    }
}

} // namespace

void ShowcaseMode::run(const QStringList& arguments, const DiagnosticContext& context) {
    AppState& state = context.state;
    prepareState(arguments, state);

    openWindow(context, "popover", QRect(120, 200, 480, 620), new PopoverView(state, [] {}));
    QPointer<QWidget> settings =
        openWindow(context, "settings", QRect(660, 200, 520, 760), settingsRoot(state));
    if (arguments.contains(QStringLiteral("onboarding"))) {
        // An unfinished walkthrough picks its own provider as it appears; the showcase keeps its.
        openWindow(context, "onboarding", QRect(1190, 200, 480, 520), onboardingRoot(state),
                   [&] { applyFixedProvider(arguments, state); });
    }
    if (arguments.contains(QStringLiteral("settings-bottom"))) {
        QTimer::singleShot(600, settings, [settings] {
            if (settings) {
                scrollToBottom(settings);
            }
        });
    }
}

} // namespace quorvane
