#pragma once

#include <functional>

#include <QSet>
#include <QString>
#include <QVariant>
#include <QWebEngineView>

class QWebEngineProfile;

namespace velomira {

// A web pane of the main window. The web engine answers script calls asynchronously, so
// the pane keeps what a caller must know at once: whether a document is loaded and which
// functions its script defines (asked once after every load).
class CWebBrowser2 : public QWebEngineView {
    Q_OBJECT
public:
    CWebBrowser2(QWebEngineProfile* profile, QWidget* parent);

    // Start loading `url`; an empty address loads nothing and the pane stays empty.
    void Navigate(const QString& url);
    void Navigate2(const QVariant& url);
    // The loaded document, or null while there is none (nothing loaded, loading, or its
    // functions not known yet).
    QWebEnginePage* GetDocument() const;
    bool HasPageFunction(const QString& name) const;
    // Runs `script` in the document; false (nothing run) without one. `done` receives
    // the script's value later.
    bool RunPageScript(const QString& script, std::function<void(const QVariant&)> done = {});
    // Counts the documents this pane has had; a new document needs its state anew.
    int documentGeneration() const { return m_generation; }

signals:
    // A document has loaded and its functions are known.
    void documentReady();

private:
    void OnLoadStarted();
    void OnLoadFinished(bool ok);

    bool m_documentReady = false;
    int m_generation = 0;
    QSet<QString> m_functions;
};

// A pane that calls the page's functions from a command text.
class CExplorerMapViewWnd : public CWebBrowser2 {
    Q_OBJECT
public:
    using CWebBrowser2::CWebBrowser2;

    // Calls the function the command names ("javascript:Name('a', 'b')") with its
    // arguments as strings. False, with nothing called, for a command without a name, a
    // pane without a document, or a function the page does not define. The function's
    // value, as text, goes to `onResult` when the page answers.
    bool InvokePageScript(const QString& command, std::function<void(QString)> onResult = {});
};

} // namespace velomira
