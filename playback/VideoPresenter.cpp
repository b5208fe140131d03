#include "playback/VideoPresenter.h"

#include <QMetaObject>
#include <QPointer>

namespace velomira {

VideoPresenter::VideoPresenter(
    VideoWindow* window, PictureSlot& slot, std::function<int()> currentSerial)
    : m_window(window)
    , m_slot(slot)
    , m_currentSerial(std::move(currentSerial))
{
    UpdateGeometry();
    // Runs on a back-end thread; the queued call runs Present() on this object's thread
    // and is dropped if the presenter is gone by then.
    m_slot.SetWakeup([this] {
        QMetaObject::invokeMethod(this, &VideoPresenter::Present, Qt::QueuedConnection);
    });
    // A window that draws from the player's threads gets each picture there.
    m_slot.SetDirectShow([this](const PresentedPicture& picture) {
        if (m_window == nullptr)
            return false;
        if (m_currentSerial && picture.serial != m_currentSerial())
            return true; // decoded before the last seek: shown nowhere
        if (!m_window->ShowPictureNow(picture.image, picture.part))
            return false;
        m_shownDirectly = true;
        return true;
    });
    m_slot.SetImageSource([this](QSize size, QSize padded) {
        return m_window != nullptr ? m_window->NewPictureImage(size, padded) : QImage();
    });
}

VideoPresenter::~VideoPresenter()
{
    m_slot.SetDirectShow({});
    m_slot.SetImageSource({});
    m_slot.SetWakeup({});
}

void VideoPresenter::RepairWindow()
{
    if (m_window != nullptr)
        m_window->RepairPicture();
}

bool VideoPresenter::UpdateGeometry()
{
    if (m_window == nullptr)
        return false;
    return m_slot.SetGeometry({ m_window->PictureSize(), m_window->VisibleRect() });
}

void VideoPresenter::Present()
{
    std::optional<PresentedPicture> picture = m_slot.Take();
    UpdateGeometry();
    if (!picture || m_window == nullptr)
        return;
    if (m_currentSerial && picture->serial != m_currentSerial())
        return; // decoded before the last seek
    m_shownDirectly = false;
    m_lastImage = picture->image;
    m_lastPart = picture->part;
    m_lastPtsUs = picture->ptsUs;
    m_window->ShowPicture(m_lastImage, m_lastPart);
}

void VideoPresenter::ClearWindow()
{
    m_lastImage = QImage();
    m_shownDirectly = false;
    m_lastPtsUs = -1;
    if (m_window != nullptr)
        m_window->ClearPicture();
}

bool VideoPresenter::ShowLastPicture()
{
    if (m_window != nullptr && m_shownDirectly) {
        m_window->RepairPicture(); // the window holds the picture shown last
        return true;
    }
    if (m_window == nullptr || m_lastImage.isNull())
        return false;
    m_window->ShowPicture(m_lastImage, m_lastPart);
    return true;
}

} // namespace velomira
