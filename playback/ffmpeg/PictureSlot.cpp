#include "playback/ffmpeg/PictureSlot.h"

namespace velomira {

void PictureSlot::SetWakeup(std::function<void()> wakeup)
{
    std::lock_guard lock(m_mutex);
    m_wakeup = std::move(wakeup);
}

void PictureSlot::Publish(PresentedPicture picture)
{
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
