#include "system/qt/WebEngineModule.h"

#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <cstdlib>

#ifndef TERRABO_WEBENGINE_MODULE
#define TERRABO_WEBENGINE_MODULE ""
#endif

namespace terrabo {
namespace {

CreateWebEngineViewFunction entryPoint() {
    static CreateWebEngineViewFunction create = [] () -> CreateWebEngineViewFunction {
        QStringList candidates;
        if (const char* env = std::getenv("TERRABO_WEBENGINE_MODULE"))
            candidates << QString::fromLocal8Bit(env);
        const QString here = QCoreApplication::applicationDirPath();
        candidates << here + "/libterrabo_webengine.so" << here + "/../lib/terrabo/libterrabo_webengine.so"
                   << QStringLiteral(TERRABO_WEBENGINE_MODULE);
        QString errors;
        for (const QString& path : candidates) {
            if (path.isEmpty() || !QFile::exists(path))
                continue;
            QLibrary module(path);
            if (auto f = reinterpret_cast<CreateWebEngineViewFunction>(module.resolve(kWebEngineModuleEntry)))
                return f;
            errors += " " + module.errorString();
        }
        logLine("the web engine module could not be loaded:%s", errors.isEmpty() ? " not found" : qPrintable(errors));
        return nullptr;
    }();
    return create;
}

} // namespace

std::unique_ptr<WebEngineView> createWebEngineView(QWidget* parent, std::function<void()> finished) {
    CreateWebEngineViewFunction create = entryPoint();
    if (!create)
        return nullptr;
    return std::unique_ptr<WebEngineView>(create(parent, std::move(finished)));
}

} // namespace terrabo
