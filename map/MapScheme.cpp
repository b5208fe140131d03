#include "map/MapScheme.h"

#include <QWebEngineUrlScheme>

namespace velomira {

void RegisterMapUrlScheme()
{
    if (QWebEngineUrlScheme::schemeByName(kMapSchemeName).name() == kMapSchemeName)
        return;
    // Path syntax: "res://<program path>/480" and "res:/PNG/#484" both name a path; the
    // handler reads the resource id from the last path segment or from the fragment.
    QWebEngineUrlScheme scheme(kMapSchemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

} // namespace velomira
