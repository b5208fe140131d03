#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <QThread>
#include <QTimer>

#include "app/CSamplePlayerDlg.h"
#include "app/ViewerSession.h"
#include "library/CListDlg.h"
#include "library/FileDialogService.h"
#include "platform/DriveMonitor.h"
#include "playback/MediaPlayer.h"
#include "skin/CBitmapButton.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/TestPaths.h"
#include "telemetry/CTextData.h"

namespace velomira::test {

// File dialogs that answer from a script: a list of paths, or cancel when it is empty.
class ScriptedFileDialogs : public FileDialogService {
public:
    std::deque<std::optional<std::vector<std::string>>> answers;
    int shown = 0;
    std::optional<std::vector<std::string>> OpenFiles(
        const std::string&, const std::string&) override
    {
        ++shown;
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Answers of the folder dialogs, in order; cancel when none is left.
    std::deque<std::optional<std::string>> folderAnswers;
    std::optional<std::string> ChooseFolder(const std::string&) override
    {
        if (folderAnswers.empty())
            return std::nullopt;
        auto answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }
    // Answers of the save dialogs, in order; cancel when none is left.
    std::deque<std::optional<std::string>> saveAnswers;
    std::optional<std::string> SaveFile(
        const std::string&, const std::string&, const std::string&) override
    {
        if (saveAnswers.empty())
            return std::nullopt;
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
};

// Runs the event loop until `done` holds or `timeoutMs` passes; true when it held.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

inline void Pump(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// The whole viewer, offscreen, with the generated card (copied, so it can be taken
// away) as drive E:.
class ViewerOnCard {
public:
    // `prepare` may add to the card before the viewer starts.
    explicit ViewerOnCard(
        bool withCard = true, const std::function<void(const std::filesystem::path&)>& prepare = {})
    {
        const std::filesystem::path card = m_folder / "card";
        std::filesystem::create_directories(card);
        if (withCard)
            std::filesystem::copy(
                TestDataDir() / "card", card, std::filesystem::copy_options::recursive);
        if (prepare)
            prepare(card);
        cardFolder = card;
        qputenv("VELOMIRA_DRIVES", QByteArray("E=") + QByteArray::fromStdString(card.string()));
        window = std::make_unique<CSamplePlayerDlg>(nullptr, &messages);
        session = std::make_unique<ViewerSession>(*window, &dialogs);
        window->show();
    }
    ~ViewerOnCard()
    {
        session.reset();
        window.reset();
        qunsetenv("VELOMIRA_DRIVES");
    }

    CListDlg& list() const { return session->list(); }
    MediaPlayer& player() const { return session->player(); }
    int currentIndex() const { return session->state().currentIndex; }
    QString Label(int id) const { return qobject_cast<QLabel*>(window->Control(id))->text(); }
    void Press(int id) const { window->Button(id)->click(); }
    bool Playing() const { return player().State() == 0; }

    TempDir m_folder { "velomira-e2e" };
    std::filesystem::path cardFolder;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<CSamplePlayerDlg> window;
    std::unique_ptr<ViewerSession> session;
};

} // namespace velomira::test
