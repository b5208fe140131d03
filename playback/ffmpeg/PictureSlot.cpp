#include "playback/ffmpeg/PictureSlot.h"

namespace velomira {

void PictureSlot::SetWakeup(std::function<void()> wakeup)
{
    std::lock_guard lock(m_mutex);
    m_wakeup = std::move(wakeup);
}

void PictureSlot::SetDirectShow(std::function<bool(const PresentedPicture&)> show)
{
    std::lock_guard lock(m_directMutex);
    m_directShow = std::move(show);
}

void PictureSlot::SetImageSource(std::function<QImage(QSize size, QSize padded)> source)
{
    std::lock_guard lock(m_directMutex);
    m_imageSource = std::move(source);
}

QImage PictureSlot::NewImage(QSize size, QSize padded)
{
    std::lock_guard lock(m_directMutex);
    return m_imageSource ? m_imageSource(size, padded) : QImage();
}

void PictureSlot::Publish(PresentedPicture picture)
{
    {
        std::lock_guard directLock(m_directMutex);
        if (m_directShow && m_directShow(picture)) {
            // An older picture left for the user-interface thread would come after it.
            std::lock_guard lock(m_mutex);
            m_picture.reset();
            return;
        }
    }
    std::function<void()> wakeup;
    {
        std::lock_guard lock(m_mutex);
        m_picture = std::move(picture);
        wakeup = m_wakeup;
    }
    if (wakeup && !m_wakeupPending.exchange(true))
        wakeup();
}

std::optional<PresentedPicture> PictureSlot::Take()
{
    m_wakeupPending = false;
    std::lock_guard lock(m_mutex);
    std::optional<PresentedPicture> picture = std::move(m_picture);
    m_picture.reset();
    return picture;
}

bool PictureSlot::SetGeometry(const ViewGeometry& geometry)
{
    std::lock_guard lock(m_mutex);
    if (geometry == m_geometry)
        return false;
    m_geometry = geometry;
    ++m_generation;
    return true;
}

ViewGeometry PictureSlot::Geometry(uint64_t* generation) const
{
    std::lock_guard lock(m_mutex);
    if (generation != nullptr)
        *generation = m_generation;
    return m_geometry;
}

} // namespace velomira
