#include "settings/CnxFileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TemporaryHome.h"

namespace fs = std::filesystem;

TEST(CnxFileSystem, KnowsTheRunningProgramAndTheCurrentFolder) {
    const CnxFileSystem files;

    EXPECT_EQ(files.GetModuleBaseName(), "test_settings");
    EXPECT_EQ(files.GetProgramDir() + "/" + files.GetModuleFileName(), files.GetModulePath());
    EXPECT_TRUE(fs::equivalent(files.GetModulePath(), "/proc/self/exe"));
    EXPECT_EQ(files.GetCurrentDir(), fs::current_path().string());
}

TEST(CnxFileSystem, FilesAndFoldersInTheHomeFolder) {
    const TemporaryHome home;
    CnxFileSystem files;

    // A file exists only when it opens.
    EXPECT_FALSE(files.FileExists(home.Path() + "/missing"));
    EXPECT_EQ(files.GetLastError(), "FileExists: No such file or directory");
    EXPECT_FALSE(files.FileExists(home.Path()));
    EXPECT_EQ(files.GetLastError(), "FileExists: Is a directory");
    TemporaryHome::WriteText(home.Path() + "/present", "x");
    EXPECT_TRUE(files.FileExists(home.Path() + "/present"));

    // Creating a file makes every missing folder and keeps existing content.
    const std::string path = home.Path() + "/a/b/c/file.txt";
    ASSERT_TRUE(files.CreateFile(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    TemporaryHome::WriteText(path, "content");
    EXPECT_TRUE(files.CreateFile(path));
    EXPECT_EQ(TemporaryHome::ReadText(path), "content");
    TemporaryHome::WriteText(home.Path() + "/blocker", "a file where a folder should be");
    EXPECT_FALSE(files.CreateFile(home.Path() + "/blocker/sub/file.txt"));
    EXPECT_EQ(files.GetLastError().rfind("CreateDirectory", 0), 0u) << files.GetLastError();
    EXPECT_FALSE(files.CreateFile(home.Path() + "/a"));
    EXPECT_EQ(files.GetLastError(), "CreateFile: Is a directory");

    // The documents folder lies in the home folder and is created.
    const std::string documents = files.GetSpecialFolder(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(documents, home.Path() + "/Documents");
    EXPECT_TRUE(fs::is_directory(documents));
}
