// RunScript against the real temporary folder, shell associations and interpreters.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/shortcut_store.h"
#include "script_runner.h"
#include "test_files.h"

namespace {

using testfiles::ScriptFiles;
using testfiles::TempDirectory;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ScriptRunner : public ::testing::Test {
protected:
    void SetUp() override {
        out = TempDirectory() + "tarvo-scripts\\";
        CreateDirectoryA(out.c_str(), nullptr);
        for (const std::string& name : ScriptFiles()) DeleteFileA((TempDirectory() + name).c_str());
    }
    void TearDown() override { EXPECT_EQ(ScriptFiles(), std::vector<std::string>{}) << "a script file was left behind"; }

    std::string out;
};

TEST_F(ScriptRunner, OtherTypesDoNothing) {
    EXPECT_EQ(RunScript(ScriptNone, "echo x"), ScriptTypeUnknown);
    EXPECT_EQ(RunScript(4, "echo x"), ScriptTypeUnknown);
    EXPECT_EQ(RunScript(-1, "echo x"), ScriptTypeUnknown);
}

TEST_F(ScriptRunner, BatchRunsToItsEndFromAFileHoldingExactlyTheText) {
    // The script copies itself aside, so the file's bytes can be checked after its deletion.
    const std::string copy = out + "self.txt";
    DeleteFileA(copy.c_str());
    const std::string text = "@copy /y %0 \"" + copy + "\" >nul\r\n";
    EXPECT_EQ(RunScript(ScriptBatch, text.c_str()), ScriptRan);
    EXPECT_EQ(ReadFile(copy), text);
}

// An empty text gives an empty file that is still opened and deleted. Not shown with a
// batch file: Wine's ShellExecuteExA never returns for an empty .bat file.
TEST_F(ScriptRunner, EmptyScriptStillRunsAndIsDeleted) {
    EXPECT_EQ(RunScript(ScriptVBScript, ""), ScriptRan);
    EXPECT_EQ(RunScript(ScriptJScript, nullptr), ScriptRan);
}

TEST_F(ScriptRunner, VBScriptAndJScriptRunThroughTheirAssociation) {
    const std::string vbsOut = out + "vbs.txt";
    const std::string jsOut = out + "js.txt";
    DeleteFileA(vbsOut.c_str());
    DeleteFileA(jsOut.c_str());
    std::string jsPath = jsOut;
    for (size_t i = 0; (i = jsPath.find('\\', i)) != std::string::npos; i += 2) jsPath.insert(i, "\\");
    const std::string vbs = "Set f = CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + vbsOut +
                            "\", True)\r\nf.Write \"vbs\"\r\nf.Close\r\n";
    const std::string js = "var f = new ActiveXObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + jsPath +
                           "\", true);\r\nf.Write(\"js\");\r\nf.Close();\r\n";
    EXPECT_EQ(RunScript(ScriptVBScript, vbs.c_str()), ScriptRan);
    EXPECT_EQ(ReadFile(vbsOut), "vbs");
    EXPECT_EQ(RunScript(ScriptJScript, js.c_str()), ScriptRan);
    EXPECT_EQ(ReadFile(jsOut), "js");
}

// Two runs started in the same second must not share a file: each script's own marker
// appears, and both files are gone afterwards.
TEST_F(ScriptRunner, RunsStartedInTheSameSecondKeepTheirOwnFiles) {
    bool sameSecond = false;
    for (int attempt = 0; attempt < 3 && !sameSecond; ++attempt) {
        const std::string markers[2] = {out + "first.txt", out + "second.txt"};
        for (const std::string& m : markers) DeleteFileA(m.c_str());
        // Each script lingers a little so that the other is created while it runs.
        const std::string texts[2] = {
            "@echo first> \"" + markers[0] + "\"\r\n@ping -n 2 127.0.0.1 >nul\r\n",
            "@echo second> \"" + markers[1] + "\"\r\n@ping -n 2 127.0.0.1 >nul\r\n"};
        HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        int results[2] = {-1, -1};
        std::vector<std::thread> runs;
        for (int i = 0; i < 2; ++i) {
            runs.emplace_back([&, i] {
                WaitForSingleObject(go, INFINITE);
                results[i] = RunScript(ScriptBatch, texts[i].c_str());
            });
        }
        Sleep(50);
        const time_t before = time(nullptr);
        SetEvent(go);
        Sleep(20);
        const time_t after = time(nullptr);
        for (std::thread& run : runs) run.join();
        CloseHandle(go);
        EXPECT_EQ(results[0], ScriptRan);
        EXPECT_EQ(results[1], ScriptRan);
        EXPECT_EQ(ReadFile(markers[0]), "first\r\n");
        EXPECT_EQ(ReadFile(markers[1]), "second\r\n");
        sameSecond = before == after;
    }
    EXPECT_TRUE(sameSecond) << "could not start both runs within one second";
}

TEST_F(ScriptRunner, TakenNamesAreSkipped) {
    // Occupy this second's name and the next few, as stale files of failed runs would.
    const long long now = time(nullptr);
    std::vector<std::string> taken;
    for (int i = 0; i < 5; ++i) {
        taken.push_back(TempDirectory() + "q" + std::to_string(now + i) + ".bat");
        std::ofstream(taken.back(), std::ios::binary) << "stale";
    }
    const std::string copy = out + "self.txt";
    DeleteFileA(copy.c_str());
    EXPECT_EQ(RunScript(ScriptBatch, ("@copy /y %0 \"" + copy + "\" >nul\r\n").c_str()), ScriptRan);
    EXPECT_NE(ReadFile(copy), "");
    for (const std::string& path : taken) {
        EXPECT_EQ(ReadFile(path), "stale");
        DeleteFileA(path.c_str());
    }
}

TEST_F(ScriptRunner, UnwritableTemporaryFolderFailsToCreate) {
    char saved[2][MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", saved[0], MAX_PATH);
    GetEnvironmentVariableA("TEMP", saved[1], MAX_PATH);
    SetEnvironmentVariableA("TMP", "C:\\tarvo-no-such-folder");
    SetEnvironmentVariableA("TEMP", "C:\\tarvo-no-such-folder");
    const int result = RunScript(ScriptBatch, "echo x");
    SetEnvironmentVariableA("TMP", saved[0][0] ? saved[0] : nullptr);
    SetEnvironmentVariableA("TEMP", saved[1][0] ? saved[1] : nullptr);
    EXPECT_EQ(result, ScriptCreateFailed);
}

}  // namespace
