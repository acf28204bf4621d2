#pragma once

#include <QApplication>

namespace terrabo::test {

// One widget application for the whole binary, off screen unless told otherwise.
inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own globals may already be gone.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

} // namespace terrabo::test
