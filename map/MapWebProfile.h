#pragma once

#include <QString>

class QObject;
class QWebEngineProfile;

namespace velomira {

// The web profile of the map panes: kept on disk under the user's cache folder (so tiles
// and the API script seen once come from disk later), with the viewer's name in the user
// agent and the "res:" scheme served from the application's resources. The maps API
// address comes from VELOMIRA_MAPS_API_BASE and VELOMIRA_MAPS_API_KEY, the tile address
// from VELOMIRA_TILE_URL.
QWebEngineProfile* CreateMapProfile(QObject* parent);

// Whether web views can start in this process. The web engine refuses to run as root
// with its sandbox on and ends the whole process; the viewer then goes without its map
// panes (and says so in its log) rather than dying, unless the sandbox was turned off
// on purpose (QTWEBENGINE_DISABLE_SANDBOX=1 or --no-sandbox in QTWEBENGINE_CHROMIUM_FLAGS).
bool WebViewsCanStart();

// Whether the machine has a default route (read from the kernel's routing tables).
bool MachineIsOnline();

} // namespace velomira
