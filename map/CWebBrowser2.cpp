#include "map/CWebBrowser2.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "map/MapScript.h"

namespace velomira {

namespace {

// The names of the document's own global functions.
constexpr char kFunctionQuery[] = "(function () { var names = [];"
                                  " for (var key in window) { try {"
                                  " if (typeof window[key] === 'function') names.push(key);"
                                  " } catch (e) { } } return names; })()";

} // namespace

CWebBrowser2::CWebBrowser2(QWebEngineProfile* profile, QWidget* parent)
    : QWebEngineView(parent)
{
    auto* page = new QWebEnginePage(profile, this);
    // An empty pane shows the skin's map-area colour rather than a white box.
    page->setBackgroundColor(QColor(18, 22, 27));
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWebEngineView::loadStarted, this, &CWebBrowser2::OnLoadStarted);
    connect(this, &QWebEngineView::loadFinished, this, &CWebBrowser2::OnLoadFinished);
}

void CWebBrowser2::Navigate(const QString& url)
{
    if (!url.isEmpty())
        load(QUrl(url));
}

void CWebBrowser2::Navigate2(const QVariant& url)
{
    Navigate(url.toString());
}

QWebEnginePage* CWebBrowser2::GetDocument() const
{
    return m_documentReady ? page() : nullptr;
}

bool CWebBrowser2::HasPageFunction(const QString& name) const
{
    return m_documentReady && m_functions.contains(name);
}

bool CWebBrowser2::RunPageScript(const QString& script, std::function<void(const QVariant&)> done)
{
    QWebEnginePage* document = GetDocument();
    if (document == nullptr || script.isEmpty())
        return false;
    if (done)
        document->runJavaScript(script, std::move(done));
    else
        document->runJavaScript(script);
    return true;
}

void CWebBrowser2::OnLoadStarted()
{
    m_documentReady = false;
    m_functions.clear();
    ++m_generation;
}

void CWebBrowser2::OnLoadFinished(bool ok)
{
    if (!ok)
        return;
    const int generation = m_generation;
    page()->runJavaScript(
        QString::fromLatin1(kFunctionQuery), [this, generation](const QVariant& names) {
            if (generation != m_generation)
                return;
            const QStringList list = names.toStringList();
            m_functions = QSet<QString>(list.begin(), list.end());
            m_documentReady = true;
            emit documentReady();
        });
}

bool CExplorerMapViewWnd::InvokePageScript(
    const QString& command, std::function<void(QString)> onResult)
{
    if (command.isEmpty())
        return false;
    const PageScriptCall call = ParsePageScriptCommand(command.toStdString());
    if (call.name.empty() || !HasPageFunction(QString::fromStdString(call.name)))
        return false;
    const QString script = QString::fromStdString(PageScriptText(call));
    if (!onResult)
        return RunPageScript(script);
    return RunPageScript(script, [onResult = std::move(onResult)](const QVariant& value) {
        onResult(value.isValid() ? value.toString() : QString());
    });
}

} // namespace velomira
