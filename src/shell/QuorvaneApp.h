// The application itself: the services the one AppState works with, the hot-key backend and
// the delegate that owns every shell object. main() builds one after the single-instance check.
// This is the application module's side of start-up; the executable (Launcher) loads the module
// only when no running copy took the launch over.
#pragma once

#include <memory>

namespace quorvane {

class AppDelegate;
class AppState;
class ApplicationTheme;
class HotkeyEventManager;
class QtMainQueue;
class QtPasteboard;

class QuorvaneApp final {
public:
    // Needs the application object; builds the state over the standard user defaults and the
    // key store at its default place.
    QuorvaneApp();
    ~QuorvaneApp();

    QuorvaneApp(const QuorvaneApp&) = delete;
    QuorvaneApp& operator=(const QuorvaneApp&) = delete;

    AppDelegate& appDelegate() { return *appDelegate_; }

    // The process: single-instance hand-over, start-up, event loop.
    static int main(int argc, char** argv);

private:
    std::unique_ptr<QtMainQueue> mainQueue_;
    std::unique_ptr<QtPasteboard> pasteboard_;
    std::unique_ptr<AppState> appState_;
    std::unique_ptr<ApplicationTheme> theme_;
    std::unique_ptr<HotkeyEventManager> hotkeyEvents_;
    std::unique_ptr<AppDelegate> appDelegate_;
};

} // namespace quorvane
