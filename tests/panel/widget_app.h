#pragma once

#include <QApplication>

namespace tq::test {

// The one QApplication of a widget test binary, made on first use so that
// listing the tests needs no display.
inline QApplication& widgetApp() {
    static int argc = 1;
    static char name[] = "tq-widget-test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Never destroyed: Qt's own statics may be gone by the time a static
    // application object would be.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace tq::test
