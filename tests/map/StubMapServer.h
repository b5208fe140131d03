#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTcpServer>

namespace velomira::test {

// A stand-in for the map providers on 127.0.0.1: it serves a maps API script that
// records what the page asks of it (each call comes back as a numbered /log request),
// tiles under /tiles/, and keeps every request it saw.
class StubMapServer : public QObject {
    Q_OBJECT
public:
    enum class Api { Working, Missing, RefusesThePage };

    explicit StubMapServer(Api api = Api::Working);

    QString base() const;
    QString tileTemplate() const { return base() + QStringLiteral("/tiles/{z}/{x}/{y}.png"); }

    struct Request {
        QString target; // path and query
        QString userAgent;
    };
    const QList<Request>& requests() const { return m_requests; }
    // What the page did, in the order it did it.
    QStringList events() const;
    bool sawRequest(const QString& target) const;
    QStringList tileRequests() const;

private:
    void Serve(class QTcpSocket* socket);
    QByteArray ApiScript() const;

    QTcpServer m_server;
    Api m_api;
    QList<Request> m_requests;
    QList<QPair<int, QString>> m_events;
};

// Waits, handling events, until `done` holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 30000);

// The slippy-map tile that holds a position at `zoom`, as "z/x/y".
QString TileAt(double latitude, double longitude, int zoom);

} // namespace velomira::test
