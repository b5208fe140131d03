#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include <QStringList>
#include <QWebEngineView>

class QWebEngineProfile;

namespace velomira {

// What the trips page reports on its console: "velomira-trips:pick:<trip>:<lat>:<lon>".
struct MapPick {
    std::size_t trip = 0;
    double latitude = 0;
    double longitude = 0;
};
std::optional<MapPick> ParseMapPick(const QString& message);

// The trips page in a web view. Scripts sent before the page has loaded wait for it; the
// page's reports come back through the pick handler. The view does no work of its own
// when the pointer moves.
class TripsMapView : public QWebEngineView {
    Q_OBJECT
public:
    TripsMapView(QWebEngineProfile* profile, QWidget* parent);

    void SetPickHandler(std::function<void(const MapPick&)> pick) { m_pick = std::move(pick); }
    // Runs `script` now or once the page is there; `done` gets its value.
    void Run(const QString& script, std::function<void(const QVariant&)> done = {});
    bool pageReady() const { return m_ready; }

    static QString PageAddress();

private:
    struct Pending {
        QString script;
        std::function<void(const QVariant&)> done;
    };
    bool m_ready = false;
    std::vector<Pending> m_pending;
    std::function<void(const MapPick&)> m_pick;
};

} // namespace velomira
