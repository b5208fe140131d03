#include "support/TestPaths.h"

#include <cstdlib>
#include <random>
#include <system_error>

namespace velomira::test {

std::filesystem::path TestDataDir()
{
    return VELOMIRA_TESTDATA_DIR;
}

std::filesystem::path MkcardProgram()
{
    return VELOMIRA_MKCARD;
}

TempDir::TempDir(const std::string& prefix)
{
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / (prefix + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(m_path))
            break;
    }
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace velomira::test
