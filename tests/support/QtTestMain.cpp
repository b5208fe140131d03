// main() for tests that need a QApplication. Runs on the offscreen platform unless the
// caller chose another, and lets Qt WebEngine start as root without a GPU.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include "map/WebViewSetup.h"
#include "platform/ProcessExit.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    // A viewer made by a test never reaches the real map providers: their addresses
    // point at a closed local port unless a test serves them itself.
    for (const char* name : { "VELOMIRA_MAPS_API_BASE", "VELOMIRA_TILE_URL" }) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, "http://127.0.0.1:9");
    }
    // The map's web profile keeps its cache in a folder of this run only.
    QTemporaryDir cache;
    if (qEnvironmentVariableIsEmpty("XDG_CACHE_HOME") && cache.isValid())
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    velomira::PrepareWebViews();
    ::testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    velomira::EndProcess(result);
}
