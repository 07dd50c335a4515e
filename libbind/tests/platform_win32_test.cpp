// The Windows platform layer: the real qorlib145.dll is found in each place of the search
// order (program folder, current folder, system folder, PATH) and in that order of
// preference. Each case copies the DLL under a name of its own, so no copy loaded before
// can answer for it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform.h"

namespace {

namespace fs = std::filesystem;
using qorbind::platform::Opened;
using qorbind::platform::Path;

Path programFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return Path(std::wstring(buffer, n)).parent_path();
}

// The file a loaded module was loaded from.
Path loadedFrom(void *handle) {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(handle), buffer, MAX_PATH);
    return Path(std::wstring(buffer, n));
}

bool same(const Path &a, const Path &b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

class SearchOrder : public ::testing::Test {
  protected:
    void SetUp() override {
        dll_ = programFolder() / L"qorlib145.dll";
        ASSERT_TRUE(fs::exists(dll_));
        // A folder name beyond ASCII: the wide API must carry it.
        root_ = fs::temp_directory_path() /
                (L"qorbind \u00e9 " + std::to_wstring(GetCurrentProcessId()));
        fs::remove_all(root_);
        for (const wchar_t *name : {L"work", L"path1", L"path2", L"empty"})
            fs::create_directories(root_ / name);
        savedDirectory_ = fs::current_path();
        fs::current_path(root_ / L"work");
        wchar_t path[32767];
        const DWORD n = GetEnvironmentVariableW(L"PATH", path, 32767);
        savedPath_.assign(path, n);
        setPath({root_ / L"path1", root_ / L"path2"});
    }
    void TearDown() override {
        fs::current_path(savedDirectory_);
        SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
        for (const Path &copy : copies_) {
            std::error_code ignored;
            fs::remove(copy, ignored);
        }
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void setPath(std::initializer_list<Path> dirs) {
        std::wstring path;
        for (const Path &dir : dirs)
            path += dir.wstring() + L";";
        path += savedPath_;
        SetEnvironmentVariableW(L"PATH", path.c_str());
    }
    // Puts a copy of the DLL at `folder`\`name`; false when the folder is not writable.
    bool place(const Path &folder, const std::wstring &name) {
        const Path copy = folder / name;
        if (!CopyFileW(dll_.c_str(), copy.c_str(), FALSE))
            return false;
        copies_.push_back(copy);
        return true;
    }
    // Searches for `name`, checks the copy loaded is the one in `folder` and that it works.
    void expectLoadedFrom(const std::wstring &name, const Path &folder) {
        const Opened opened = qorbind::platform::search({name});
        ASSERT_NE(opened.handle, nullptr) << opened.error;
        EXPECT_TRUE(same(loadedFrom(opened.handle), folder / name))
            << loadedFrom(opened.handle).string();
        using LibVersionFn = int32_t (*)();
        auto version =
            reinterpret_cast<LibVersionFn>(qorbind::platform::symbol(opened.handle, "LibVersion"));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version(), 125);
        EXPECT_EQ(qorbind::platform::symbol(opened.handle, "NoSuchExport"), nullptr);
        qorbind::platform::close(opened.handle);
    }

    Path systemFolder() const {
        wchar_t buffer[MAX_PATH];
        const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
        return Path(std::wstring(buffer, n));
    }

    Path dll_, root_, savedDirectory_;
    std::wstring savedPath_;
    std::vector<Path> copies_;
};

TEST_F(SearchOrder, TheRealNameLivesBesideTheProgram) {
    EXPECT_EQ(qorbind::platform::libraryFileNames(), std::vector<Path>{L"qorlib145.dll"});
    expectLoadedFrom(L"qorlib145.dll", programFolder());
}

TEST_F(SearchOrder, EachPlaceOnItsOwn) {
    ASSERT_TRUE(place(programFolder(), L"qorprobe_program.dll"));
    expectLoadedFrom(L"qorprobe_program.dll", programFolder());
    ASSERT_TRUE(place(root_ / L"work", L"qorprobe_current.dll"));
    expectLoadedFrom(L"qorprobe_current.dll", root_ / L"work");
    ASSERT_TRUE(place(root_ / L"path2", L"qorprobe_path.dll"));
    expectLoadedFrom(L"qorprobe_path.dll", root_ / L"path2");
    if (!place(systemFolder(), L"qorprobe_system.dll"))
        GTEST_SKIP() << "the system folder is not writable here";
    expectLoadedFrom(L"qorprobe_system.dll", systemFolder());
}

TEST_F(SearchOrder, EarlierPlacesWin) {
    const std::wstring name = L"qorprobe_order.dll";
    ASSERT_TRUE(place(root_ / L"path2", name));
    expectLoadedFrom(name, root_ / L"path2");
    ASSERT_TRUE(place(root_ / L"path1", name));
    expectLoadedFrom(name, root_ / L"path1");
    const bool system = place(systemFolder(), name);
    if (system)
        expectLoadedFrom(name, systemFolder());
    ASSERT_TRUE(place(root_ / L"work", name));
    expectLoadedFrom(name, root_ / L"work");
    ASSERT_TRUE(place(programFolder(), name));
    expectLoadedFrom(name, programFolder());
    if (!system)
        GTEST_SKIP() << "the system folder is not writable here";
}

TEST_F(SearchOrder, MissingAndBrokenCopies) {
    const Opened missing = qorbind::platform::search({L"qorprobe_missing.dll"});
    EXPECT_EQ(missing.handle, nullptr);
    EXPECT_FALSE(missing.fileFound);

    // A file that is no DLL is reported as found but not loadable...
    const std::wstring name = L"qorprobe_broken.dll";
    {
        HANDLE file = CreateFileW((root_ / L"work" / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, "not a DLL", 9, &written, nullptr);
        CloseHandle(file);
    }
    const Opened broken = qorbind::platform::search({name});
    EXPECT_EQ(broken.handle, nullptr);
    EXPECT_TRUE(broken.fileFound);
    EXPECT_FALSE(broken.error.empty());
    // ...and passed over for a good copy later in the order.
    ASSERT_TRUE(place(root_ / L"path1", name));
    expectLoadedFrom(name, root_ / L"path1");

    // An explicit path is loaded as it is; a folder is no library.
    const Opened folder = qorbind::platform::open(root_ / L"empty");
    EXPECT_EQ(folder.handle, nullptr);
    EXPECT_TRUE(folder.fileFound);
}

}  // namespace
