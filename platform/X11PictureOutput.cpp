#include "platform/X11PictureOutput.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace velomira {

namespace {

// How long a new picture waits for the X server to finish reading a segment before it
// is left out (a server that far behind shows the next one instead).
constexpr int kSegmentWaitMs = 100;

template<typename T>
struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter<T>>;

// True when pixels of `visual` at `depth` are stored as the converted pictures are:
// 32 bits each, blue in the lowest byte, in the processor's (little-endian) order.
bool StoresXrgb32(xcb_connection_t* connection, uint8_t depth, xcb_visualid_t visual)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    bool thirtyTwoBits = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == depth)
            thirtyTwoBits = f.data->bits_per_pixel == 32;
    }
    if (!thirtyTwoBits)
        return false;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem > 0; xcb_screen_next(&s)) {
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == visual) {
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR
                        && v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00
                        && v.data->blue_mask == 0xff;
                }
            }
        }
    }
    return false;
}

} // namespace

std::unique_ptr<X11PictureOutput> X11PictureOutput::Create(uint32_t parent)
{
    if (parent == 0)
        return nullptr;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    auto fail = [connection] {
        xcb_disconnect(connection);
        return nullptr;
    };
    if (xcb_connection_has_error(connection))
        return fail();
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection, &xcb_shm_id);
    if (shm == nullptr || !shm->present)
        return fail();
    Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr));
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, parent), nullptr));
    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, parent), nullptr));
    if (!version || !geometry || !attributes
        || !StoresXrgb32(connection, geometry->depth, attributes->visual))
        return fail();
    std::unique_ptr<X11PictureOutput> output(
        new X11PictureOutput(connection, parent, geometry->depth));
    output->m_completionEvent = static_cast<uint8_t>(shm->first_event + XCB_SHM_COMPLETION);
    if (!output->MakeWindow(attributes->visual))
        return nullptr;
    return output;
}

X11PictureOutput::X11PictureOutput(xcb_connection_t* connection, uint32_t parent, uint8_t depth)
    : m_connection(connection)
    , m_parent(parent)
    , m_depth(depth)
{ }

X11PictureOutput::~X11PictureOutput()
{
    std::lock_guard lock(m_mutex);
    for (Segment& segment : m_segments)
        ReleaseSegmentLocked(segment);
    // Gone already when its parent was destroyed first; the error is not read.
    if (m_window != 0)
        xcb_destroy_window(m_connection, m_window);
    if (m_gc != 0)
        xcb_free_gc(m_connection, m_gc);
    xcb_disconnect(m_connection);
}

bool X11PictureOutput::MakeWindow(uint32_t visual)
{
    m_window = xcb_generate_id(m_connection);
    // Black where no picture is yet; only exposures are asked for, so every pointer
    // event goes on to the parent.
    const uint32_t values[] = { 0, 0, XCB_EVENT_MASK_EXPOSURE };
    xcb_void_cookie_t made = xcb_create_window_checked(m_connection, m_depth, m_window, m_parent, 0,
        0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
        XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK, values);
    if (Reply<xcb_generic_error_t> error { xcb_request_check(m_connection, made) }) {
        m_window = 0;
        return false;
    }
    m_gc = xcb_generate_id(m_connection);
    const uint32_t noExposures[] = { 0 };
    xcb_create_gc(m_connection, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, noExposures);
    return true;
}

void X11PictureOutput::SetPlace(const QRect& inParent, const QPoint& pictureOrigin)
{
    std::lock_guard lock(m_mutex);
    if (m_broken || (inParent == m_place && pictureOrigin == m_origin))
        return;
    m_place = inParent;
    m_origin = pictureOrigin;
    if (m_place.isEmpty()) {
        if (m_mapped)
            xcb_unmap_window(m_connection, m_window);
        m_mapped = false;
        xcb_flush(m_connection);
        return;
    }
    const uint32_t values[]
        = { static_cast<uint32_t>(m_place.x()), static_cast<uint32_t>(m_place.y()),
              static_cast<uint32_t>(m_place.width()), static_cast<uint32_t>(m_place.height()) };
    xcb_configure_window(m_connection, m_window,
        XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
            | XCB_CONFIG_WINDOW_HEIGHT,
        values);
    // The last picture at its new place until the next one comes for the new size.
    if (!m_lastPart.isEmpty()) {
        ReadEventsLocked();
        PutLocked(m_last);
    }
    xcb_flush(m_connection);
}

bool X11PictureOutput::Show(const QImage& image, const QRect& part)
{
    std::lock_guard lock(m_mutex);
    if (m_broken || m_place.isEmpty() || image.isNull() || part.isEmpty()
        || (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        || image.bytesPerLine() % 4 != 0 || image.bytesPerLine() / 4 > 0xffff
        || image.height() > 0xffff)
        return false;
    ReadEventsLocked();
    Segment* segment = FreeSegmentLocked();
    if (segment == nullptr)
        return true; // the X server is that far behind: this picture is left out
    const auto bytes
        = static_cast<std::size_t>(image.bytesPerLine()) * static_cast<std::size_t>(image.height());
    if (segment->size < bytes && !ResizeSegmentLocked(*segment, bytes)) {
        BreakLocked();
        return false;
    }
    std::memcpy(segment->data, image.constBits(), bytes);
    m_last = static_cast<std::size_t>(segment - m_segments.data());
    m_lastPart = QRect(part.topLeft(), image.size());
    m_lastRowPixels = static_cast<int>(image.bytesPerLine() / 4);
    PutLocked(m_last);
    m_exposed = false;
    xcb_flush(m_connection);
    if (xcb_connection_has_error(m_connection)) {
        m_broken = true;
        return false;
    }
    return true;
}

void X11PictureOutput::Hide()
{
    std::lock_guard lock(m_mutex);
    m_lastPart = QRect();
    if (m_broken || !m_mapped)
        return;
    xcb_unmap_window(m_connection, m_window);
    m_mapped = false;
    xcb_flush(m_connection);
}

bool X11PictureOutput::Showing() const
{
    std::lock_guard lock(m_mutex);
    return m_mapped && !m_lastPart.isEmpty();
}

void X11PictureOutput::Refresh()
{
    std::lock_guard lock(m_mutex);
    if (m_broken)
        return;
    ReadEventsLocked();
    if (m_exposed && m_mapped && !m_lastPart.isEmpty())
        PutLocked(m_last);
    m_exposed = false;
    xcb_flush(m_connection);
}

void X11PictureOutput::ReadEventsLocked()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_EXPOSE) {
            m_exposed = true;
        } else if (type == m_completionEvent) {
            const auto* done = reinterpret_cast<const xcb_shm_completion_event_t*>(event);
            for (Segment& segment : m_segments) {
                if (segment.id == done->shmseg)
                    segment.busy = false;
            }
        }
        // Errors (type 0) are those of a window destroyed with its parent: nothing to do.
        std::free(event);
    }
}

X11PictureOutput::Segment* X11PictureOutput::FreeSegmentLocked()
{
    // Never the one shown last: it is kept for drawing again after an exposure.
    auto pick = [this]() -> Segment* {
        for (std::size_t i = 0; i < m_segments.size(); ++i) {
            const bool last = !m_lastPart.isEmpty() && i == m_last;
            if (!last && !m_segments[i].busy)
                return &m_segments[i];
        }
        return nullptr;
    };
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSegmentWaitMs);
    Segment* segment = pick();
    while (segment == nullptr) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0 || xcb_connection_has_error(m_connection))
            return nullptr;
        pollfd wait { xcb_get_file_descriptor(m_connection), POLLIN, 0 };
        poll(&wait, 1, static_cast<int>(left));
        ReadEventsLocked();
        segment = pick();
    }
    return segment;
}

bool X11PictureOutput::ResizeSegmentLocked(Segment& segment, std::size_t size)
{
    ReleaseSegmentLocked(segment);
    const int shmId = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shmId < 0)
        return false;
    void* data = shmat(shmId, nullptr, 0);
    if (data == reinterpret_cast<void*>(-1)) {
        shmctl(shmId, IPC_RMID, nullptr);
        return false;
    }
    const uint32_t id = xcb_generate_id(m_connection);
    Reply<xcb_generic_error_t> error { xcb_request_check(
        m_connection, xcb_shm_attach_checked(m_connection, id, static_cast<uint32_t>(shmId), 1)) };
    // Attached on both sides (or failed): the segment goes when the last side detaches,
    // also if this process dies.
    shmctl(shmId, IPC_RMID, nullptr);
    if (error) {
        shmdt(data);
        return false;
    }
    segment.id = id;
    segment.data = static_cast<uint8_t*>(data);
    segment.size = size;
    segment.busy = false;
    return true;
}

void X11PictureOutput::ReleaseSegmentLocked(Segment& segment)
{
    if (segment.id != 0)
        xcb_shm_detach(m_connection, segment.id);
    if (segment.data != nullptr)
        shmdt(segment.data);
    segment = Segment {};
}

void X11PictureOutput::PutLocked(std::size_t index)
{
    Segment& segment = m_segments[index];
    if (segment.id == 0 || m_lastPart.isEmpty() || m_place.isEmpty())
        return;
    if (!m_mapped) {
        xcb_map_window(m_connection, m_window);
        m_mapped = true;
    }
    const QPoint at = m_lastPart.topLeft() - m_origin;
    xcb_shm_put_image(m_connection, m_window, m_gc, static_cast<uint16_t>(m_lastRowPixels),
        static_cast<uint16_t>(m_lastPart.height()), 0, 0, static_cast<uint16_t>(m_lastPart.width()),
        static_cast<uint16_t>(m_lastPart.height()), static_cast<int16_t>(at.x()),
        static_cast<int16_t>(at.y()), m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 1, segment.id, 0);
    segment.busy = true;
}

void X11PictureOutput::BreakLocked()
{
    m_broken = true;
    if (m_mapped)
        xcb_unmap_window(m_connection, m_window);
    m_mapped = false;
    m_lastPart = QRect();
    xcb_flush(m_connection);
}

} // namespace velomira
