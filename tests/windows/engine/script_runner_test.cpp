// RunScript against the real temporary folder, shell associations and interpreters.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "core/shortcut_store.h"
#include "script_runner.h"
#include "test_files.h"

namespace {

using testfiles::ReadFile;

class ScriptRunner : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(out.c_str(), nullptr);
        for (const std::string& name : testfiles::ScriptFiles())
            DeleteFileA((testfiles::TempDirectory() + name).c_str());
    }
    void TearDown() override { EXPECT_EQ(testfiles::ScriptFiles(), std::vector<std::string>{}) << "a script file stayed"; }
    // Where the scripts write, emptied of what they wrote before.
    std::string Out(const std::string& name) const {
        DeleteFileA((out + name).c_str());
        return out + name;
    }
    const std::string out = testfiles::TempDirectory() + "tarvo-scripts\\";
};

TEST_F(ScriptRunner, OtherTypesDoNothing) {
    for (int type : {0, 4}) EXPECT_EQ(RunScript(type, "echo x"), ScriptTypeUnknown) << type;
}

TEST_F(ScriptRunner, EachTypeRunsToItsEndThroughItsInterpreter) {
    // The batch script copies itself aside, so the file's bytes can be checked after its deletion.
    const std::string self = Out("self.txt"), vbs = Out("vbs.txt");
    std::string js = Out("js.txt");
    const std::string batch = "@copy /y %0 \"" + self + "\" >nul\r\n";
    EXPECT_EQ(RunScript(ScriptBatch, batch.c_str()), ScriptRan);
    EXPECT_EQ(ReadFile(self), batch);
    EXPECT_EQ(RunScript(ScriptVBScript, ("CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + vbs +
                                         "\", True).Write \"vbs\"\r\n").c_str()),
              ScriptRan);
    EXPECT_EQ(ReadFile(vbs), "vbs");
    std::replace(js.begin(), js.end(), '\\', '/');
    EXPECT_EQ(RunScript(ScriptJScript, ("new ActiveXObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + js +
                                        "\", true).Write(\"js\");\r\n").c_str()),
              ScriptRan);
    EXPECT_EQ(ReadFile(js), "js");
}

// Runs started in the same second must not share a file: each leaves its own marker.
TEST_F(ScriptRunner, RunsStartedInTheSameSecondKeepTheirOwnFiles) {
    const char* names[2] = {"first", "second"};
    std::string texts[2];
    int results[2] = {-1, -1};
    time_t started[2] = {0, 1};
    for (int i = 0; i < 2; ++i)  // each lingers so that the other is created while it runs
        texts[i] = std::string("@echo ") + names[i] + "> \"" + Out(names[i]) + "\"\r\n@ping -n 2 127.0.0.1 >nul\r\n";
    // Start both just after a second begins.
    for (const time_t now = time(nullptr); time(nullptr) == now;) Sleep(1);
    auto run = [&](int i) {
        started[i] = time(nullptr);
        results[i] = RunScript(ScriptBatch, texts[i].c_str());
    };
    std::thread other(run, 1);
    run(0);
    other.join();
    EXPECT_EQ(started[0], started[1]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(results[i], ScriptRan);
        EXPECT_EQ(ReadFile(out + names[i]), std::string(names[i]) + "\r\n");
    }
}

TEST_F(ScriptRunner, UnwritableTemporaryFolderFailsToCreate) {
    char saved[2][MAX_PATH] = {};
    const char* variables[2] = {"TMP", "TEMP"};
    for (int i = 0; i < 2; ++i) {
        GetEnvironmentVariableA(variables[i], saved[i], MAX_PATH);
        SetEnvironmentVariableA(variables[i], "C:\\tarvo-no-such-folder");
    }
    EXPECT_EQ(RunScript(ScriptBatch, "echo x"), ScriptCreateFailed);
    for (int i = 0; i < 2; ++i) SetEnvironmentVariableA(variables[i], saved[i][0] ? saved[i] : nullptr);
}

}  // namespace
