#pragma once
// A fresh folder per test, removed afterwards (read-only modes are undone first).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace kvh::test {

/// A path in the temporary folder that no other test process uses: ctest runs each test in
/// two locales at once.
inline std::filesystem::path scratchPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("kvh-" + std::to_string(::getpid()) + "-" + name);
}

class TempDir : public testing::Test {
public:
    static std::string slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& ch : name)
            if (ch == '/')
                ch = '-';
        // The process id keeps apart the runs ctest makes at once (one per locale).
        m_dir = std::filesystem::temp_directory_path() /
                ("kvh-" + std::to_string(::getpid()) + "-" + name);
        cleanUp();
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { cleanUp(); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    /// Writes `bytes` to the file `name` of the folder; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        put(path(name), bytes);
        return path(name);
    }

    /// Names in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    std::filesystem::path m_dir;

private:
    void cleanUp() {
        std::error_code ec;
        if (!std::filesystem::exists(m_dir, ec))
            return;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_dir, ec))
            if (entry.is_directory(ec) && !entry.is_symlink(ec))
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_dir, ec);
    }
};

} // namespace kvh::test
