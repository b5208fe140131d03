#pragma once

#include <filesystem>
#include <string>

namespace velomira::test {

// Folder that the generator fixture fills with recordings and cards before the media
// and end-to-end tests run.
std::filesystem::path TestDataDir();

// Path of the velomira-mkcard program built with the tests.
std::filesystem::path MkcardProgram();

// A fresh, empty folder below the system's temporary folder, removed when the object
// goes out of scope.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "velomira-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const
    {
        return m_path / name;
    }

private:
    std::filesystem::path m_path;
};

} // namespace velomira::test
