#include "app/SingleInstance.h"

#include <memory>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QTimer>

#include "app/HandOverMessage.h"

Q_LOGGING_CATEGORY(lcInstance, "velomira.instance")

namespace velomira {
namespace {

// Generous: the running viewer may be busy loading a recording when the request comes.
constexpr int kConnectMs = 3000;
constexpr int kAnswerMs = 15000;
constexpr int kLockMs = 20000;
const QByteArray kAnswer = QByteArrayLiteral("OK\n");

QString DisplayName()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("none");
    for (QChar& c : display) {
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    }
    return display;
}

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{ }

SingleInstance::~SingleInstance()
{
    if (m_server != nullptr)
        m_server->close();
}

QString SingleInstance::DefaultSocketPath()
{
    const QString name = QStringLiteral("velomira-viewer-%1.socket").arg(DisplayName());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(name);
    return QDir(QDir::tempPath()).filePath(QStringLiteral("%1-%2").arg(getuid()).arg(name));
}

SingleInstance::Role SingleInstance::Start(const std::vector<std::string>& paths)
{
    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockMs)) {
        qCWarning(lcInstance) << "cannot take" << lock.error() << "; running alone";
        return Role::Alone;
    }
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (socket.waitForConnected(kConnectMs)) {
        if (HandOver(socket, paths))
            return Role::HandedOver;
        qCWarning(lcInstance) << "the running viewer did not answer; running alone";
        return Role::Alone;
    }
    // Nobody listens: a socket file left there is from a viewer that has ended.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        qCWarning(lcInstance) << "cannot listen on" << m_socketPath << m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return Role::Alone;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    return Role::Primary;
}

bool SingleInstance::HandOver(QLocalSocket& socket, const std::vector<std::string>& paths)
{
    const std::string message = EncodeHandOver(paths);
    socket.write(message.data(), static_cast<qint64>(message.size()));
    if (!socket.waitForBytesWritten(kAnswerMs))
        return false;
    QByteArray answer;
    while (answer.size() < kAnswer.size() && socket.waitForReadyRead(kAnswerMs))
        answer += socket.readAll();
    return answer.startsWith(kAnswer);
}

void SingleInstance::Accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto reader = std::make_shared<HandOverReader>();
        // A sender that stalls is dropped rather than kept forever.
        QTimer::singleShot(kAnswerMs, socket, &QLocalSocket::abort);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
            const QByteArray bytes = socket->readAll();
            switch (reader->Feed(std::string_view(bytes.constData(), bytes.size()))) {
            case HandOverReader::State::NeedMore:
                return;
            case HandOverReader::State::Invalid:
                qCWarning(lcInstance) << "a malformed request on the viewer's socket was dropped";
                socket->abort();
                return;
            case HandOverReader::State::Complete:
                socket->write(kAnswer);
                socket->flush();
                socket->disconnectFromServer();
                // Opening may show a message box with a loop of its own: not from
                // inside the socket's signal.
                QTimer::singleShot(
                    0, this, [this, paths = reader->paths()] { emit pathsReceived(paths); });
                return;
            }
        });
    }
}

} // namespace velomira
