#include "platform/DriveMonitor.h"

#include <system_error>

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <QtGlobal>

#include <libmount/libmount.h>

#include "platform/MountTableReader.h"

Q_LOGGING_CATEGORY(lcDrives, "velomira.drives")

namespace velomira {

namespace {

bool FolderExists(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

} // namespace

void DriveMonitor::MonitorDeleter::operator()(libmnt_monitor* monitor) const
{
    mnt_unref_monitor(monitor);
}

DriveMonitor::DriveMonitor(QObject* parent)
    : QObject(parent)
    , m_reader([](const DriveTable* previous) { return CurrentDriveTable(previous); })
{
    m_fixedTable = !qEnvironmentVariableIsEmpty("VELOMIRA_DRIVES");
    m_table = m_reader(nullptr);
    m_present = Present();
    if (m_fixedTable) {
        m_poll = new QTimer(this);
        m_poll->setInterval(500);
        connect(m_poll, &QTimer::timeout, this, &DriveMonitor::Refresh);
        m_poll->start();
        m_watching = true;
        return;
    }
    WatchMountTable();
}

DriveMonitor::DriveMonitor(TableReader reader, QObject* parent)
    : QObject(parent)
    , m_reader(std::move(reader))
{
    m_table = m_reader(nullptr);
    m_present = Present();
    WatchMountTable();
}

void DriveMonitor::WatchMountTable()
{
    m_monitor.reset(mnt_new_monitor());
    if (!m_monitor || mnt_monitor_enable_kernel(m_monitor.get(), 1) != 0) {
        qCWarning(lcDrives) << "no mount-table monitor; drive changes are not reported";
        m_monitor.reset();
        return;
    }
    const int fd = mnt_monitor_get_fd(m_monitor.get());
    if (fd < 0) {
        qCWarning(lcDrives) << "mount-table monitor has no descriptor";
        m_monitor.reset();
        return;
    }
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DriveMonitor::OnMountTableChanged);
    m_watching = true;
}

DriveMonitor::~DriveMonitor()
{
    // The notifier must let go of the descriptor before the monitor closes it.
    delete m_notifier;
    m_notifier = nullptr;
}

std::optional<std::filesystem::path> DriveMonitor::RootOf(char letter) const
{
    return m_table.RootOf(letter);
}

char DriveMonitor::AdoptFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    for (const DriveEntry& entry : m_table.Entries()) {
        if (entry.letter >= 'D' && std::filesystem::equivalent(entry.root, folder, error))
            return entry.letter;
    }
    std::filesystem::path root = std::filesystem::weakly_canonical(folder, error);
    if (error)
        root = folder;
    const char letter = m_table.AddFolder(root);
    if (letter == 0)
        return 0;
    // No mount-table change tells when such a folder goes away: look twice a second.
    if (m_poll == nullptr) {
        m_poll = new QTimer(this);
        m_poll->setInterval(500);
        connect(m_poll, &QTimer::timeout, this, &DriveMonitor::Refresh);
        m_poll->start();
    }
    Refresh();
    return letter;
}

PresentDrives DriveMonitor::Present() const
{
    return PresentDrivesOf(m_table, m_fixedTable, FolderExists);
}

void DriveMonitor::OnMountTableChanged()
{
    // Drain every pending change so the descriptor stops being readable.
    const char* file = nullptr;
    int type = 0;
    while (mnt_monitor_next_change(m_monitor.get(), &file, &type) == 0) { }
    Refresh();
}

void DriveMonitor::Refresh()
{
    if (!m_fixedTable)
        m_table = m_reader(&m_table);
    PresentDrives now = Present();
    const std::vector<DriveChange> changes = DiffDrives(m_present, now);
    m_present = std::move(now);
    for (const DriveChange& change : changes) {
        if (change.added)
            emit driveAdded(change.letter);
        else
            emit driveRemoved(change.letter);
    }
}

} // namespace velomira
