#include "map/StubMapServer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

namespace velomira::test {

StubMapServer::StubMapServer(Api api)
    : m_api(api)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString StubMapServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QByteArray StubMapServer::ApiScript() const
{
    if (m_api == Api::RefusesThePage)
        return "window.gm_authFailure();";
    // Records the constructor options and every call with a sequence number, then calls
    // the callback the script address names.
    return R"JS(
(function () {
  var seq = 0;
  var base = document.currentScript.src.replace(/\/maps\/api\/js.*$/, "");
  function log(text) {
    var image = new Image();
    image.src = base + "/log?" + (seq++) + "&" + encodeURIComponent(text);
  }
  function at(p) { return p.lat().toFixed(6) + " " + p.lng().toFixed(6); }
  function LatLng(lat, lng) { this.lat = function () { return lat; }; this.lng = function () { return lng; }; }
  function Size(w, h) { this.width = w; this.height = h; }
  function Map(element, o) {
    log("map " + [at(o.center), o.zoom, o.zoomControl, o.zoomControlOptions.style, o.mapTypeControl,
      o.scaleControl, o.streetViewControl, o.overviewMapControl, o.mapTypeId, element.id].join(" "));
    this.panTo = function (p) { log("pan " + at(p)); };
  }
  function Marker(o) {
    log("marker " + [at(o.position), o.icon.url, o.icon.scaledSize.width + "x" + o.icon.scaledSize.height,
      "clickable=" + o.clickable].join(" "));
    var image = new Image();
    image.onload = function () { log("icon " + image.naturalWidth + "x" + image.naturalHeight); };
    image.onerror = function () { log("icon missing"); };
    image.src = o.icon.url;
    this.setPosition = function (p) { log("marker-at " + at(p)); };
  }
  function Polyline(o) {
    log("track " + o.path.length + " " + at(o.path[0]) + " " + at(o.path[o.path.length - 1]));
    this.setMap = function () { };
  }
  window.google = { maps: { LatLng: LatLng, Size: Size, Map: Map, Marker: Marker, Polyline: Polyline,
    ZoomControlStyle: { SMALL: "small" }, MapTypeId: { ROADMAP: "roadmap" } } };
  var callback = (document.currentScript.src.match(/[?&]callback=([A-Za-z_]+)/) || [])[1];
  window[callback]();
})();
)JS";
}

void StubMapServer::Serve(QTcpSocket* socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> lines = request.left(request.indexOf("\r\n\r\n")).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    const QString target = QString::fromLatin1(first.value(1));
    QString agent;
    for (const QByteArray& line : lines) {
        if (line.toLower().startsWith("user-agent:"))
            agent = QString::fromLatin1(line.mid(11).trimmed());
    }
    m_requests.append({ target, agent });

    QByteArray status = "200 OK";
    QByteArray type = "text/plain";
    QByteArray body;
    if (target.startsWith(QLatin1String("/maps/api/js"))) {
        if (m_api == Api::Missing)
            status = "404 Not Found";
        else {
            type = "text/javascript";
            body = ApiScript();
        }
    } else if (target.startsWith(QLatin1String("/log?"))) {
        const QString query = target.mid(5);
        const int amp = query.indexOf(QLatin1Char('&'));
        m_events.append(
            { query.left(amp).toInt(), QUrl::fromPercentEncoding(query.mid(amp + 1).toLatin1()) });
        type = "image/gif";
    } else if (target.startsWith(QLatin1String("/tiles/"))) {
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(QColor(200, 220, 200));
        QBuffer buffer(&body);
        buffer.open(QIODevice::WriteOnly);
        tile.save(&buffer, "PNG");
        type = "image/png";
    } else {
        status = "404 Not Found";
    }
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type
        + "\r\nAccess-Control-Allow-Origin: *\r\nCache-Control: no-store\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

QStringList StubMapServer::events() const
{
    QList<QPair<int, QString>> sorted = m_events;
    std::sort(sorted.begin(), sorted.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList texts;
    for (const auto& event : sorted)
        texts.append(event.second);
    return texts;
}

bool StubMapServer::sawRequest(const QString& target) const
{
    return std::any_of(
        m_requests.begin(), m_requests.end(), [&](const Request& r) { return r.target == target; });
}

QStringList StubMapServer::tileRequests() const
{
    QStringList tiles;
    for (const Request& r : m_requests) {
        if (r.target.startsWith(QLatin1String("/tiles/")))
            tiles.append(r.target.mid(7).chopped(4));
    }
    return tiles;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

QString TileAt(double latitude, double longitude, int zoom)
{
    const double n = std::pow(2.0, zoom);
    const double lat = latitude * std::numbers::pi / 180.0;
    const int x = static_cast<int>(std::floor((longitude + 180.0) / 360.0 * n));
    const int y = static_cast<int>(std::floor(
        (1.0 - std::log(std::tan(lat) + 1.0 / std::cos(lat)) / std::numbers::pi) / 2.0 * n));
    return QStringLiteral("%1/%2/%3").arg(zoom).arg(x).arg(y);
}

} // namespace velomira::test
