#include "ui/kit/Symbols.h"

#include "ui/kit/ButtonStyle.h"
#include "ui/kit/DesignColors.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <string_view>

// The font resource lives in this static library, so it has to be pulled in
// by hand; the macro must be expanded outside any namespace.
static void initKitFontResource() {
    Q_INIT_RESOURCE(KitFonts);
}

namespace quorvane {

namespace {

constexpr const char* fontResource = ":/quorvane/fonts/MaterialIcons-Regular.ttf";

// Our copy of the font goes by a family name of its own. Under its own name the font system
// would pick any installed copy of the same family instead, whatever its version (so a glyph
// may be missing or another) and whatever its format (a WOFF2 copy is decompressed at every
// start). The names have the same length, so the name table keeps its layout.
constexpr std::string_view originalFamily = "Material Icons";
constexpr std::string_view ownFamily = "Quorvane Icons";
static_assert(originalFamily.size() == ownFamily.size());

QByteArray utf16BigEndian(std::string_view ascii) {
    QByteArray bytes;
    for (const char c : ascii) {
        bytes.append('\0');
        bytes.append(c);
    }
    return bytes;
}

QByteArray renamedFont(QByteArray data) {
    const auto latin = [](std::string_view text) {
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    };
    data.replace(latin(originalFamily), latin(ownFamily));
    data.replace(utf16BigEndian(originalFamily), utf16BigEndian(ownFamily));
    return data;
}

} // namespace

const std::vector<Symbols::Entry>& Symbols::table() {
    static const std::vector<Entry> entries = {
        {"arrow.clockwise", "refresh", 0xe5d5},
        {"arrow.down.circle", "arrow_circle_down", 0xf181},
        {"arrow.right", "arrow_forward", 0xe5c8},
        {"arrow.right.circle.fill", "arrow_circle_right", 0xeaaa},
        {"arrow.triangle.2.circlepath", "sync", 0xe627},
        {"arrow.up.right.square", "open_in_new", 0xe89e},
        {"arrow.uturn.backward", "undo", 0xe166},
        {"chart.bar", "bar_chart", 0xe26b},
        {"checkmark", "check", 0xe5ca},
        {"checkmark.circle.fill", "check_circle", 0xe86c},
        {"checkmark.seal", "verified", 0xef76},
        {"checkmark.seal.fill", "verified", 0xef76},
        {"chevron.down", "expand_more", 0xe5cf},
        {"chevron.right", "chevron_right", 0xe5cc},
        {"circle.lefthalf.filled", "contrast", 0xeb37},
        {"clock", "schedule", 0xe8b5},
        {"clock.arrow.circlepath", "history", 0xe889},
        {"command", "keyboard_command_key", 0xeae7},
        {"cube", "view_in_ar", 0xe9fe},
        {"cup.and.saucer", "coffee", 0xefef},
        {"curlybraces", "data_object", 0xead3},
        {"desktopcomputer", "desktop_windows", 0xe30c},
        {"doc.on.clipboard", "content_paste", 0xe14f},
        {"doc.on.doc", "content_copy", 0xe14d},
        {"doc.on.doc.fill", "file_copy", 0xe173},
        {"doc.text", "description", 0xe873},
        {"envelope", "mail", 0xe158},
        {"exclamationmark.triangle", "warning_amber", 0xf083},
        {"exclamationmark.triangle.fill", "warning", 0xe002},
        {"eye", "visibility", 0xe8f4},
        {"eye.slash", "visibility_off", 0xe8f5},
        {"face.smiling", "sentiment_satisfied", 0xe813},
        {"gearshape", "settings", 0xe8b8},
        {"globe", "public", 0xe80b},
        {"hand.raised", "pan_tool", 0xe925},
        {"heart", "favorite", 0xe87d},
        {"info.circle", "info_outline", 0xe88f},
        {"key", "vpn_key", 0xe0da},
        {"key.slash", "key_off", 0xeb84},
        {"keyboard", "keyboard", 0xe312},
        {"ladybug", "bug_report", 0xe868},
        {"link", "link", 0xe157},
        {"list.bullet", "format_list_bulleted", 0xe241},
        {"lock.shield", "security", 0xe32a},
        {"moon", "dark_mode", 0xe51c},
        {"newspaper", "newspaper", 0xeb81},
        {"paintbrush", "brush", 0xe3ae},
        {"pencil.circle", "edit", 0xe3c9},
        {"person.2", "group", 0xe7ef},
        {"photo", "image", 0xe3f4},
        {"plus.circle.fill", "add_circle", 0xe147},
        {"power", "power_settings_new", 0xe8ac},
        {"questionmark.bubble.fill", "contact_support", 0xe94c},
        {"server.rack", "dns", 0xe875},
        {"sparkle", "flare", 0xe3e4},
        {"sparkles", "auto_awesome", 0xe65f},
        {"sparkles.rectangle.stack", "auto_awesome_motion", 0xe661},
        {"square.stack.3d.up", "layers", 0xe53b},
        {"square.stack.3d.up.fill", "layers", 0xe53b},
        {"stop.fill", "stop", 0xe047},
        {"sun.max", "light_mode", 0xe518},
        {"terminal", "terminal", 0xeb8e},
        {"terminal.fill", "terminal", 0xeb8e},
        {"text.bubble", "chat_bubble_outline", 0xe0cb},
        {"trash", "delete", 0xe872},
        {"tray", "inbox", 0xe156},
        {"video", "videocam", 0xe04b},
        {"wand.and.stars", "auto_fix_high", 0xe663},
        {"xmark", "close", 0xe5cd},
    };
    return entries;
}

std::optional<char32_t> Symbols::codepoint(std::string_view name) {
    for (const Entry& entry : table()) {
        if (entry.name == name) {
            return entry.codepoint;
        }
    }
    return std::nullopt;
}

QString Symbols::fontFamily() {
    static const QString family = [] {
        initKitFontResource();
        QFile file(QString::fromLatin1(fontResource));
        if (!file.open(QIODevice::ReadOnly)) {
            return QString();
        }
        const int id = QFontDatabase::addApplicationFontFromData(renamedFont(file.readAll()));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

QFont Symbols::font(qreal pixelSize) {
    QFont font(fontFamily());
    font.setPixelSize(std::max(1, qRound(pixelSize)));
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString Symbols::glyph(std::string_view name) {
    const auto code = codepoint(name);
    if (!code) {
        return {};
    }
    return QString::fromUcs4(&*code, 1);
}

void Symbols::paint(QPainter& painter, const QRectF& rect, std::string_view name, qreal pixelSize,
                    const QColor& color) {
    const QString text = glyph(name);
    if (text.isEmpty()) {
        return;
    }
    painter.save();
    painter.setFont(font(pixelSize));
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}

// A disabled button fades its symbol as the kit's buttons fade: the style's own greying of a
// pale symbol on a dark ground would leave it as bright as an enabled one.
QIcon Symbols::icon(std::string_view name, qreal pixelSize, const QColor& color) {
    const int side = std::max(1, qRound(pixelSize));
    QIcon result;
    const std::pair<QIcon::Mode, QColor> modes[] = {
        {QIcon::Normal, color},
        {QIcon::Disabled, DesignColors::withOpacity(color, ButtonStyle::disabledOpacity)},
    };
    for (const auto& [mode, shown] : modes) {
        for (const qreal ratio : {1.0, 2.0}) {
            QPixmap pixmap(QSize(side, side) * ratio);
            pixmap.setDevicePixelRatio(ratio);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::TextAntialiasing);
            paint(painter, QRectF(0, 0, side, side), name, pixelSize, shown);
            painter.end();
            result.addPixmap(pixmap, mode);
        }
    }
    return result;
}

} // namespace quorvane
