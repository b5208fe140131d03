#include "map/WebViewSetup.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>

#include "map/MapScheme.h"

namespace velomira {

void PrepareWebViews()
{
    RegisterMapUrlScheme();
    // The web engine shares its OpenGL context with the application's even when the
    // scene graph draws in software; it warns when it cannot.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace velomira
