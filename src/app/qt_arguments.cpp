#include "app/qt_arguments.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <string_view>

namespace tq {
namespace {

// QGuiApplication's and QApplication's own options and the X11 ones, as
// Qt documents them; Qt takes each with one dash or two.
constexpr std::array<std::string_view, 14> kWithValue{
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowtitle",       "-qwindowicon",   "-session",
    "-display",         "-geometry",           "-title",         "-icon",
    "-style",           "-stylesheet"};
constexpr std::array<std::string_view, 3> kFlags{"-reverse", "-widgetcount", "-testability"};
// Taken in one argument, the value after '='.
constexpr std::array<std::string_view, 3> kWithJoinedValue{
    "-style=", "-stylesheet=", "-qmljsdebugger="};

bool among(const auto& names, const QString& arg) {
    return std::any_of(names.begin(), names.end(), [&arg](std::string_view name) {
        return arg == QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
    });
}

bool startsWithAny(const auto& prefixes, const QString& arg) {
    return std::any_of(prefixes.begin(), prefixes.end(), [&arg](std::string_view prefix) {
        return arg.startsWith(QLatin1String(prefix.data(), static_cast<qsizetype>(prefix.size())));
    });
}

// "--style" is Qt's "-style".
QString singleDash(const QString& arg) {
    return arg.startsWith(QStringLiteral("--")) ? arg.mid(1) : arg;
}

}  // namespace

QStringList withoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString arg = singleDash(arguments[i]);
        if (i > 0 && among(kWithValue, arg)) {
            ++i;  // its value goes with it
        } else if (i == 0 || !(among(kFlags, arg) || startsWithAny(kWithJoinedValue, arg))) {
            kept << arguments[i];
        }
    }
    return kept;
}

bool windowSystemNamed(const QStringList& arguments) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"}) {
        if (!qEnvironmentVariableIsEmpty(name)) {
            return true;
        }
    }
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& arg) {
        return singleDash(arg) == QStringLiteral("-platform");
    });
}

}  // namespace tq
