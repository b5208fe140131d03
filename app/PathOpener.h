#pragma once

#include <string>
#include <vector>

#include <QObject>

namespace velomira {

class ViewerSession;

// Opens what the viewer is handed by path: the command line, a drop on the main window
// or the list window, a later start of the viewer. A card folder opens as SD-open opens
// the card, recordings are listed as the Open command lists them, and anything else gets
// the message for a file that cannot be played; the rest still opens.
class PathOpener : public QObject {
    Q_OBJECT
public:
    // Takes the drops of the session's main window and list window.
    explicit PathOpener(ViewerSession& session);
    ~PathOpener() override;

    void Open(const std::vector<std::string>& paths);
    // Open() once the event loop is free: after start-up, and outside a drop's handling.
    void OpenLater(const std::vector<std::string>& paths);
    // Brings the main window, and the list window when it is out, to the front.
    void Raise();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ViewerSession& m_session;
};

} // namespace velomira
