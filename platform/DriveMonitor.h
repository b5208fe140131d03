#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "platform/DriveChanges.h"
#include "platform/DriveRoots.h"
#include "platform/DriveTable.h"

class QSocketNotifier;
class QTimer;
struct libmnt_monitor;

namespace velomira {

// The viewer's drive letters, kept current, and the drives added or removed. On the
// user-interface thread: libmount's mount-table monitor wakes a QSocketNotifier and the
// new letter table is compared with the last one. With VELOMIRA_DRIVES the table is
// fixed, and a letter whose folder disappears (or comes back) is reported, polled twice a
// second.
class DriveMonitor : public QObject, public DriveRoots {
    Q_OBJECT
public:
    // Reads the drive table; `previous` is the table in force, whose letters the mounts
    // still there keep.
    using TableReader = std::function<DriveTable(const DriveTable* previous)>;

    // VELOMIRA_DRIVES when set, else this machine's mount table.
    explicit DriveMonitor(QObject* parent = nullptr);
    // The table comes from `reader` (tests hand in mount-table fixtures); the mount
    // table's changes are watched as usual.
    explicit DriveMonitor(TableReader reader, QObject* parent = nullptr);
    ~DriveMonitor() override;

    std::optional<std::filesystem::path> RootOf(char letter) const override;
    const DriveTable& table() const { return m_table; }
    // True when changes are being watched (libmount's monitor or the folder poll).
    bool watching() const { return m_watching; }

    // The letter of a folder opened by name: the letter of the drive whose root it is, or
    // else a letter of its own (DriveTable::AddFolder), reported as added and, like the
    // VELOMIRA_DRIVES folders, reported removed when the folder goes away. 0 when no
    // letter is free.
    char AdoptFolder(const std::filesystem::path& folder);

    // Reads the table again and reports what changed.
    void Refresh();

signals:
    void driveAdded(char letter);
    void driveRemoved(char letter);

private:
    void OnMountTableChanged();
    void WatchMountTable();
    PresentDrives Present() const;

    TableReader m_reader;
    DriveTable m_table;
    PresentDrives m_present;
    bool m_fixedTable = false;
    bool m_watching = false;
    struct MonitorDeleter {
        void operator()(libmnt_monitor* monitor) const;
    };
    std::unique_ptr<libmnt_monitor, MonitorDeleter> m_monitor;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_poll = nullptr;
};

} // namespace velomira
