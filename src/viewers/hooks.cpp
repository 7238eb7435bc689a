#include "viewers/hooks.h"

ViewerHooks& ViewerHooksOf() {
    static ViewerHooks hooks;
    return hooks;
}

void SetExecuteFileHandler(std::function<void(const QString& path)> handler) {
    ViewerHooksOf().executeFile = std::move(handler);
}

void SetRunExternalHandler(std::function<void(const QString& program, const QStringList& arguments)> handler) {
    ViewerHooksOf().runExternal = std::move(handler);
}

void SetRunCapturedHandler(
    std::function<bool(const QString& program, const QStringList& arguments, const QString& captureFile)> handler) {
    ViewerHooksOf().runCaptured = std::move(handler);
}
