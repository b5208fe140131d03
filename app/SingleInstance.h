#pragma once

#include <string>
#include <vector>

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace velomira {

// One viewer per user and display: the first start listens on a local socket in the
// user's runtime folder; a later start hands its paths to it and ends. A lock file makes
// two starts at the same moment take turns, so exactly one of them listens.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary, // listening: later starts hand their paths to this one
        HandedOver, // the running viewer took the paths; this start ends
        Alone, // neither (no runtime folder, a viewer that does not answer): runs alone
    };

    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/velomira-viewer-<display>.socket (the temporary folder with the
    // user's id when there is no runtime folder).
    static QString DefaultSocketPath();

    // Hands `paths` (absolute) to a running viewer, or else starts listening.
    Role Start(const std::vector<std::string>& paths);

signals:
    // Another start handed these paths over; empty: it asked for the window only.
    void pathsReceived(const std::vector<std::string>& paths);

private:
    bool HandOver(QLocalSocket& socket, const std::vector<std::string>& paths);
    void Accept();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
};

} // namespace velomira
