#pragma once

#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "platform/CardPath.h"
#include "settings/SettingsRecord.h"
#include "support/TestPaths.h"

namespace velomira::test {

// A card folder in drive E: with an EVENT folder; files are written as asked.
class CardFixture {
public:
    CardFixture()
        : m_root("velomira-settings")
        , m_drives('E', m_root.Path())
    {
        std::filesystem::create_directories(m_root / "EVENT");
        std::filesystem::create_directories(m_root / "SETUP");
    }
    const DriveRoots& Drives() const { return m_drives; }
    const std::filesystem::path& Root() const { return m_root.Path(); }

    void Write(const std::filesystem::path& relative, std::span<const std::uint8_t> bytes) const
    {
        std::ofstream out(m_root / relative, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> Read(const std::filesystem::path& relative) const
    {
        std::ifstream in(m_root / relative, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    void WriteFactory(bool mark, std::size_t length = 66) const
    {
        std::vector<std::uint8_t> bytes(length, '0');
        if (mark) {
            bytes[0] = 'P';
            bytes[1] = 'L';
            bytes[2] = 'K';
        }
        Write("SETUP/data_factory.cfg", bytes);
    }
    void WriteSettings(const std::filesystem::path& relative, int language, int speedUnit = 0) const
    {
        SettingsRecord r = DefaultSettingsRecord(1);
        SetSettingsWord(r, 146, static_cast<std::uint16_t>(language));
        SetSettingsWord(r, 140, static_cast<std::uint16_t>(speedUnit));
        UpdateSettingsChecksum(r);
        Write(relative, r);
    }

private:
    TempDir m_root;
    FixedDriveRoots m_drives;
};

} // namespace velomira::test
