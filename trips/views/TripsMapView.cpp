#include "trips/views/TripsMapView.h"

#include <cmath>

#include <QWebEnginePage>

namespace velomira {

namespace {

constexpr char kPickPrefix[] = "velomira-trips:pick:";

// The page of the view: hands the page's console reports to the view.
class TripsPage : public QWebEnginePage {
public:
    TripsPage(
        QWebEngineProfile* profile, QObject* parent, std::function<void(const QString&)> report)
        : QWebEnginePage(profile, parent)
        , m_report(std::move(report))
    { }

protected:
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override
    {
        m_report(message);
    }

private:
    std::function<void(const QString&)> m_report;
};

} // namespace

std::optional<MapPick> ParseMapPick(const QString& message)
{
    if (!message.startsWith(QLatin1String(kPickPrefix)))
        return std::nullopt;
    const QStringList parts = message.mid(int(sizeof kPickPrefix) - 1).split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    bool ok[3] = {};
    const qulonglong trip = parts[0].toULongLong(&ok[0]);
    const double latitude = parts[1].toDouble(&ok[1]);
    const double longitude = parts[2].toDouble(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || !(std::abs(latitude) <= 90) || !(std::abs(longitude) <= 180))
        return std::nullopt;
    return MapPick { static_cast<std::size_t>(trip), latitude, longitude };
}

TripsMapView::TripsMapView(QWebEngineProfile* profile, QWidget* parent)
    : QWebEngineView(parent)
{
    auto* page = new TripsPage(profile, this, [this](const QString& message) {
        if (const auto pick = ParseMapPick(message); pick && m_pick)
            m_pick(*pick);
    });
    page->setBackgroundColor(QColor(18, 22, 27));
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (!ok || m_ready)
            return;
        m_ready = true;
        for (Pending& pending : std::exchange(m_pending, {}))
            Run(pending.script, std::move(pending.done));
    });
    load(QUrl(PageAddress()));
}

QString TripsMapView::PageAddress()
{
    return QStringLiteral("res:/trips");
}

void TripsMapView::Run(const QString& script, std::function<void(const QVariant&)> done)
{
    if (!m_ready) {
        m_pending.push_back({ script, std::move(done) });
        return;
    }
    if (done)
        page()->runJavaScript(script, std::move(done));
    else
        page()->runJavaScript(script);
}

} // namespace velomira
