#include "X11HotkeyEventManager.h"

#include "KeySymbolTable.h"

#include <xcb/xcb.h>

#include <QCoreApplication>

#include <array>
#include <cstdlib>
#include <memory>

namespace quorvane {
namespace {

// The X server matches a grab's modifiers exactly, so the locks have to be grabbed as well.
constexpr std::array<std::uint16_t, 4> lockVariants{
    0, KeySymbolTable::x11Mod2, KeySymbolTable::x11Lock,
    KeySymbolTable::x11Mod2 | KeySymbolTable::x11Lock};

constexpr std::uint8_t xkbNewKeyboardNotify = 0;
constexpr std::uint8_t xkbMapNotify = 1;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

std::uint8_t responseType(const void* event) {
    return static_cast<const xcb_generic_event_t*>(event)->response_type & 0x7f;
}

} // namespace

X11HotkeyEventManager::X11HotkeyEventManager(xcb_connection_t* connection)
    : connection_(connection) {
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem;
         xcb_screen_next(&it)) {
        roots_.push_back(it.data->root);
    }
    // Qt speaks XKB, and an XKB client is told of keyboard changes through XKB events rather than
    // the core MappingNotify; knowing where XKB's events start lets us watch for both.
    constexpr char xkbName[] = "XKEYBOARD";
    XcbReply<xcb_query_extension_reply_t> xkb(xcb_query_extension_reply(
        connection_, xcb_query_extension(connection_, sizeof xkbName - 1, xkbName), nullptr));
    if (xkb && xkb->present) {
        xkbFirstEvent_ = xkb->first_event;
    }
    loadKeyboardMapping();
    if (auto* application = QCoreApplication::instance()) {
        application->installNativeEventFilter(this);
    }
}

X11HotkeyEventManager::~X11HotkeyEventManager() {
    if (auto* application = QCoreApplication::instance()) {
        application->removeNativeEventFilter(this);
    }
    for (const auto& [ref, registration] : registrations_) {
        ungrab(registration.keycode, registration.modifierMask);
    }
    xcb_flush(connection_);
}

HotkeyStatus X11HotkeyEventManager::installEventHandler(EventHandlerProc handler, void* userData,
                                                        std::optional<EventHandlerRef>& outRef) {
    outRef = handlers_.add(handler, userData);
    return HotkeyStatus::noError;
}

HotkeyStatus X11HotkeyEventManager::registerEventHotKey(std::uint32_t keyCode,
                                                        std::uint32_t modifiers,
                                                        EventHotKeyID hotKeyID, std::uint32_t,
                                                        std::optional<EventHotKeyRef>& outRef) {
    const auto keycode = keycodeFor(keyCode);
    if (keycode == 0) {
        return HotkeyStatus::hotKeyInvalid;
    }
    const auto mask = KeySymbolTable::x11ModifierMask(modifiers);
    if (!grab(keycode, mask)) {
        return HotkeyStatus::hotKeyExists;
    }
    const auto ref = nextRef_++;
    registrations_[ref] = {keyCode, mask, hotKeyID, keycode};
    outRef = EventHotKeyRef{ref};
    return HotkeyStatus::noError;
}

HotkeyStatus X11HotkeyEventManager::unregisterEventHotKey(EventHotKeyRef ref) {
    const auto found = registrations_.find(static_cast<std::uint64_t>(ref));
    if (found == registrations_.end()) {
        return HotkeyStatus::invalidReference;
    }
    ungrab(found->second.keycode, found->second.modifierMask);
    xcb_flush(connection_);
    if (found->second.keycode == heldKeycode_) {
        heldKeycode_ = 0;
    }
    registrations_.erase(found);
    return HotkeyStatus::noError;
}

HotkeyStatus X11HotkeyEventManager::removeEventHandler(EventHandlerRef ref) {
    return handlers_.remove(ref) ? HotkeyStatus::noError : HotkeyStatus::invalidReference;
}

void X11HotkeyEventManager::loadKeyboardMapping() {
    const auto* setup = xcb_get_setup(connection_);
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr));
    if (!reply) {
        mapping_ = {};
        return;
    }
    const auto* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const auto length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    mapping_ = X11KeyboardMapping(setup->min_keycode, reply->keysyms_per_keycode,
                                  std::vector<std::uint32_t>(keysyms, keysyms + length));
}

std::uint8_t X11HotkeyEventManager::keycodeFor(std::uint32_t virtualKeyCode) const {
    const auto keysym = KeySymbolTable::keysym(virtualKeyCode);
    if (!keysym) {
        return 0;
    }
    return mapping_.keycode(*keysym).value_or(0);
}

bool X11HotkeyEventManager::grab(std::uint8_t keycode, std::uint16_t modifierMask) {
    std::vector<xcb_void_cookie_t> cookies;
    for (const auto root : roots_) {
        for (const auto locks : lockVariants) {
            cookies.push_back(xcb_grab_key_checked(connection_, 0, root, modifierMask | locks,
                                                   keycode, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
        }
    }
    // Checking waits for the server's answer, so a BadAccess from a combination that another
    // client holds is seen here and not later by Qt's error handler.
    bool refused = false;
    for (const auto cookie : cookies) {
        if (auto* error = xcb_request_check(connection_, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused) {
        // Release the variants that did succeed, so a refused combination holds nothing, and
        // wait for a reply so the server has done so before the registration reports failure.
        ungrab(keycode, modifierMask);
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }
    return !refused;
}

void X11HotkeyEventManager::ungrab(std::uint8_t keycode, std::uint16_t modifierMask) {
    if (keycode == 0) {
        return;
    }
    for (const auto root : roots_) {
        for (const auto locks : lockVariants) {
            xcb_ungrab_key(connection_, keycode, root, modifierMask | locks);
        }
    }
}

void X11HotkeyEventManager::regrabAll() {
    for (auto& [ref, registration] : registrations_) {
        ungrab(registration.keycode, registration.modifierMask);
    }
    xcb_flush(connection_);
    loadKeyboardMapping();
    heldKeycode_ = 0;
    for (auto& [ref, registration] : registrations_) {
        registration.keycode = keycodeFor(registration.virtualKeyCode);
        if (registration.keycode != 0 && !grab(registration.keycode, registration.modifierMask)) {
            registration.keycode = 0;
        }
    }
}

bool X11HotkeyEventManager::nativeEventFilter(const QByteArray& eventType, void* message,
                                              qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    switch (responseType(message)) {
    case XCB_KEY_PRESS:
        return handleKeyPress(message);
    case XCB_KEY_RELEASE:
        return handleKeyRelease(message);
    default:
        break;
    }
    if (isMappingChange(message) && !registrations_.empty()) {
        regrabAll();
    }
    // Qt needs the mapping changes as well.
    return false;
}

bool X11HotkeyEventManager::isMappingChange(const void* event) const {
    const auto type = responseType(event);
    if (type == XCB_MAPPING_NOTIFY) {
        const auto* notify = static_cast<const xcb_mapping_notify_event_t*>(event);
        return notify->request == XCB_MAPPING_KEYBOARD;
    }
    if (xkbFirstEvent_ != 0 && type == xkbFirstEvent_) {
        // XKB events share one event code; their kind is in the second byte.
        const auto kind = static_cast<const std::uint8_t*>(event)[1];
        return kind == xkbNewKeyboardNotify || kind == xkbMapNotify;
    }
    return false;
}

bool X11HotkeyEventManager::handleKeyPress(const void* message) {
    const auto* event = static_cast<const xcb_key_press_event_t*>(message);
    const auto state = event->state & KeySymbolTable::x11Significant;
    std::optional<EventHotKeyID> match;
    for (const auto& [ref, registration] : registrations_) {
        if (registration.keycode == event->detail && registration.modifierMask == state) {
            match = registration.hotKeyID;
            break;
        }
    }
    if (!match) {
        return false;
    }
    // A key held down repeats: either as further presses without a release, or, without XKB's
    // detectable auto-repeat, as release and press pairs with one time stamp.
    const bool repeat = heldKeycode_ == event->detail ||
                        (lastReleasedKeycode_ == event->detail && lastReleaseTime_ == event->time);
    heldKeycode_ = event->detail;
    if (repeat) {
        return true;
    }
    handlers_.dispatch(HotKeyPressedEvent{*match});
    return true;
}

bool X11HotkeyEventManager::handleKeyRelease(const void* message) {
    const auto* event = static_cast<const xcb_key_release_event_t*>(message);
    if (heldKeycode_ == 0 || event->detail != heldKeycode_) {
        return false;
    }
    heldKeycode_ = 0;
    lastReleasedKeycode_ = event->detail;
    lastReleaseTime_ = event->time;
    return true;
}

} // namespace quorvane
