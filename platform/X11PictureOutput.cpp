#include "platform/X11PictureOutput.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace velomira {

namespace {

// Free segments of the size in use are kept for the next pictures up to this many
// bytes: a video stage decodes a burst of pictures ahead, and a segment attached anew
// costs a page fault per page on both sides.
constexpr std::size_t kSpareBytes = 96 << 20;
// How long a new picture waits for the X server to finish reading a free segment before
// another segment is attached.
constexpr std::chrono::milliseconds kCompletionWait { 50 };

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

struct X11PictureOutput::State : std::enable_shared_from_this<State> {
    struct Segment {
        uint32_t id = 0; // the X server's name for it
        uint8_t* data = nullptr;
        std::size_t size = 0;
        bool inUse = false; // an image lives in it
        bool busy = false; // the X server may still be reading it
    };
    // What an image from NewImage() holds on to.
    struct Hold {
        std::shared_ptr<State> state;
        Segment* segment;
    };

    ~State();
    QImage NewImageLocked(QSize size, int bytesPerLine, int rows);
    Segment* AttachLocked(std::size_t size);
    void TrimLocked();
    void ReleaseLocked(Segment* segment);
    Segment* SegmentOfLocked(const QImage& image);
    void ReadEventsLocked();
    void PutLocked();
    void BreakLocked();
    static void Give(void* hold);

    // Recursive: replacing an image under the lock may give its segment back.
    std::recursive_mutex mutex;
    xcb_connection_t* connection = nullptr;
    uint32_t parent = 0;
    uint8_t depth = 0;
    uint8_t completionEvent = 0;
    std::size_t lastNeed = 0; // the size of the last image asked for
    uint32_t window = 0;
    uint32_t gc = 0;
    std::vector<std::unique_ptr<Segment>> segments;
    // The picture shown last, for drawing it again; a null image after Hide().
    QImage last;
    QRect lastPart;
    Segment* lastSegment = nullptr;
    uint32_t lastOffset = 0;
    QRect place;
    QPoint origin;
    bool mapped = false;
    bool exposed = false;
    bool broken = false;
};

X11PictureOutput::State::~State()
{
    for (auto& segment : segments) {
        xcb_shm_detach(connection, segment->id);
        shmdt(segment->data);
    }
    xcb_disconnect(connection);
}

void X11PictureOutput::State::Give(void* hold)
{
    auto* h = static_cast<Hold*>(hold);
    {
        std::lock_guard lock(h->state->mutex);
        h->segment->inUse = false;
        h->state->TrimLocked();
    }
    delete h;
}

QImage X11PictureOutput::State::NewImageLocked(QSize size, int bytesPerLine, int rows)
{
    if (broken || size.isEmpty() || bytesPerLine < size.width() * 4 || rows < size.height())
        return {};
    const auto need = static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(rows);
    lastNeed = need;
    ReadEventsLocked();
    auto reusable = [this, need](bool evenBusy) -> Segment* {
        for (auto& s : segments) {
            if (!s->inUse && (evenBusy || !s->busy) && s->size >= need && s->size <= 2 * need)
                return s.get();
        }
        return nullptr;
    };
    Segment* segment = reusable(false);
    // One the X server is still reading is worth a short wait: a server that falls
    // behind would otherwise make the pool grow by a segment a picture.
    const auto deadline = std::chrono::steady_clock::now() + kCompletionWait;
    while (segment == nullptr && reusable(true) != nullptr
        && std::chrono::steady_clock::now() < deadline && !xcb_connection_has_error(connection)) {
        pollfd wait { xcb_get_file_descriptor(connection), POLLIN, 0 };
        poll(&wait, 1, static_cast<int>(kCompletionWait.count()));
        ReadEventsLocked();
        segment = reusable(false);
    }
    if (segment == nullptr && (segment = AttachLocked(need)) == nullptr)
        return {};
    segment->inUse = true;
    TrimLocked();
    return QImage(segment->data, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32,
        &State::Give, new Hold { shared_from_this(), segment });
}

X11PictureOutput::State::Segment* X11PictureOutput::State::AttachLocked(std::size_t size)
{
    const int shmId = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shmId < 0)
        return nullptr;
    void* data = shmat(shmId, nullptr, 0);
    if (data == reinterpret_cast<void*>(-1)) {
        shmctl(shmId, IPC_RMID, nullptr);
        return nullptr;
    }
    const uint32_t id = xcb_generate_id(connection);
    Reply<xcb_generic_error_t> error { xcb_request_check(
        connection, xcb_shm_attach_checked(connection, id, static_cast<uint32_t>(shmId), 1)) };
    // Attached on both sides (or failed): the segment goes when the last side detaches,
    // also if this process dies.
    shmctl(shmId, IPC_RMID, nullptr);
    if (error) {
        shmdt(data);
        return nullptr;
    }
    auto segment = std::make_unique<Segment>();
    segment->id = id;
    segment->data = static_cast<uint8_t*>(data);
    segment->size = size;
    segments.push_back(std::move(segment));
    return segments.back().get();
}

void X11PictureOutput::State::TrimLocked()
{
    std::size_t spare = 0;
    for (std::size_t i = segments.size(); i-- > 0;) {
        Segment* segment = segments[i].get();
        if (segment->inUse || segment->busy)
            continue;
        const bool fits = segment->size >= lastNeed && segment->size <= 2 * lastNeed;
        spare += segment->size;
        if (!fits || spare > kSpareBytes)
            ReleaseLocked(segment);
    }
}

void X11PictureOutput::State::ReleaseLocked(Segment* segment)
{
    xcb_shm_detach(connection, segment->id);
    shmdt(segment->data);
    std::erase_if(segments, [segment](const auto& s) { return s.get() == segment; });
}

X11PictureOutput::State::Segment* X11PictureOutput::State::SegmentOfLocked(const QImage& image)
{
    const uint8_t* begin = image.constBits();
    const uint8_t* end = begin + image.sizeInBytes();
    for (auto& segment : segments) {
        if (begin >= segment->data && end <= segment->data + segment->size)
            return segment.get();
    }
    return nullptr;
}

void X11PictureOutput::State::ReadEventsLocked()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_EXPOSE) {
            exposed = true;
        } else if (type == completionEvent) {
            const auto* done = reinterpret_cast<const xcb_shm_completion_event_t*>(event);
            for (auto& segment : segments) {
                if (segment->id == done->shmseg)
                    segment->busy = false;
            }
        }
        // Errors (type 0) are those of a window destroyed with its parent: nothing to do.
        std::free(event);
    }
    TrimLocked();
}

void X11PictureOutput::State::PutLocked()
{
    if (last.isNull() || place.isEmpty())
        return;
    if (!mapped) {
        xcb_map_window(connection, window);
        mapped = true;
    }
    const QPoint at = lastPart.topLeft() - origin;
    xcb_shm_put_image(connection, window, gc, static_cast<uint16_t>(last.bytesPerLine() / 4),
        static_cast<uint16_t>(last.height()), 0, 0, static_cast<uint16_t>(last.width()),
        static_cast<uint16_t>(last.height()), static_cast<int16_t>(at.x()),
        static_cast<int16_t>(at.y()), depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 1, lastSegment->id,
        lastOffset);
    lastSegment->busy = true;
}

void X11PictureOutput::State::BreakLocked()
{
    broken = true;
    if (mapped)
        xcb_unmap_window(connection, window);
    mapped = false;
    last = QImage();
    xcb_flush(connection);
}

std::unique_ptr<X11PictureOutput> X11PictureOutput::Create(uint32_t parent)
{
    if (parent == 0)
        return nullptr;
    auto state = std::make_shared<State>();
    state->connection = xcb_connect(nullptr, nullptr);
    xcb_connection_t* connection = state->connection;
    if (xcb_connection_has_error(connection))
        return nullptr;
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection, &xcb_shm_id);
    if (shm == nullptr || !shm->present)
        return nullptr;
    Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr));
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, parent), nullptr));
    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, parent), nullptr));
    if (!version || !geometry || !attributes
        || !StoresXrgb32(connection, geometry->depth, attributes->visual))
        return nullptr;
    state->parent = parent;
    state->depth = geometry->depth;
    state->completionEvent = static_cast<uint8_t>(shm->first_event + XCB_SHM_COMPLETION);

    // Black where no picture is yet; only exposures are asked for, so every pointer
    // event goes on to the parent.
    state->window = xcb_generate_id(connection);
    const uint32_t values[] = { 0, 0, XCB_EVENT_MASK_EXPOSURE };
    xcb_void_cookie_t made = xcb_create_window_checked(connection, state->depth, state->window,
        parent, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, attributes->visual,
        XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK, values);
    if (Reply<xcb_generic_error_t> error { xcb_request_check(connection, made) })
        return nullptr;
    state->gc = xcb_generate_id(connection);
    const uint32_t noExposures[] = { 0 };
    xcb_create_gc(connection, state->gc, state->window, XCB_GC_GRAPHICS_EXPOSURES, noExposures);
    return std::unique_ptr<X11PictureOutput>(new X11PictureOutput(std::move(state)));
}

X11PictureOutput::X11PictureOutput(std::shared_ptr<State> state)
    : m_state(std::move(state))
{ }

X11PictureOutput::~X11PictureOutput()
{
    State& s = *m_state;
    std::lock_guard lock(s.mutex);
    s.last = QImage();
    s.lastSegment = nullptr;
    // Gone already when its parent was destroyed first; the error is not read. The
    // connection stays while images from NewImage() live.
    xcb_destroy_window(s.connection, s.window);
    xcb_free_gc(s.connection, s.gc);
    xcb_flush(s.connection);
}

uint32_t X11PictureOutput::Parent() const
{
    return m_state->parent;
}

QImage X11PictureOutput::NewImage(QSize size, int bytesPerLine, int rows)
{
    std::lock_guard lock(m_state->mutex);
    return m_state->NewImageLocked(size, bytesPerLine, rows);
}

void X11PictureOutput::SetPlace(const QRect& inParent, const QPoint& pictureOrigin)
{
    State& s = *m_state;
    std::lock_guard lock(s.mutex);
    if (s.broken || (inParent == s.place && pictureOrigin == s.origin))
        return;
    s.place = inParent;
    s.origin = pictureOrigin;
    if (s.place.isEmpty()) {
        if (s.mapped)
            xcb_unmap_window(s.connection, s.window);
        s.mapped = false;
        xcb_flush(s.connection);
        return;
    }
    const uint32_t values[]
        = { static_cast<uint32_t>(s.place.x()), static_cast<uint32_t>(s.place.y()),
              static_cast<uint32_t>(s.place.width()), static_cast<uint32_t>(s.place.height()) };
    xcb_configure_window(s.connection, s.window,
        XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
            | XCB_CONFIG_WINDOW_HEIGHT,
        values);
    // The last picture at its new place until the next one comes for the new size.
    s.ReadEventsLocked();
    s.PutLocked();
    xcb_flush(s.connection);
}

bool X11PictureOutput::Show(const QImage& image, const QRect& part)
{
    State& s = *m_state;
    std::lock_guard lock(s.mutex);
    if (s.broken || s.place.isEmpty() || image.isNull() || part.isEmpty()
        || (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        || image.bytesPerLine() % 4 != 0 || image.bytesPerLine() / 4 > 0xffff
        || image.height() > 0xffff)
        return false;
    s.ReadEventsLocked();
    QImage shown = image;
    State::Segment* segment = s.SegmentOfLocked(image);
    if (segment == nullptr) {
        // Not in shared memory: copied into a segment first.
        const int bytesPerLine = static_cast<int>(image.bytesPerLine());
        shown = s.NewImageLocked(image.size(), bytesPerLine, image.height());
        if (shown.isNull()) {
            s.BreakLocked();
            return false;
        }
        std::memcpy(shown.bits(), image.constBits(), static_cast<std::size_t>(image.sizeInBytes()));
        segment = s.SegmentOfLocked(shown);
    }
    s.lastOffset = static_cast<uint32_t>(shown.constBits() - segment->data);
    s.lastSegment = segment;
    s.lastPart = QRect(part.topLeft(), image.size());
    s.last = shown;
    s.PutLocked();
    s.exposed = false;
    xcb_flush(s.connection);
    if (xcb_connection_has_error(s.connection)) {
        s.BreakLocked();
        return false;
    }
    return true;
}

void X11PictureOutput::Hide()
{
    State& s = *m_state;
    std::lock_guard lock(s.mutex);
    s.last = QImage();
    s.lastSegment = nullptr;
    if (s.broken || !s.mapped)
        return;
    xcb_unmap_window(s.connection, s.window);
    s.mapped = false;
    xcb_flush(s.connection);
}

bool X11PictureOutput::Showing() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->mapped && !m_state->last.isNull();
}

void X11PictureOutput::Refresh()
{
    State& s = *m_state;
    std::lock_guard lock(s.mutex);
    if (s.broken)
        return;
    s.ReadEventsLocked();
    if (s.exposed && s.mapped)
        s.PutLocked();
    s.exposed = false;
    xcb_flush(s.connection);
}

} // namespace velomira
