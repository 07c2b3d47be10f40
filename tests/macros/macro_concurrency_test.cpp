// The scan thread's action step and the macro editor work on one table at the same time.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "macros/macro_editor_model.h"
#include "macros/macro_table.h"
#include "platform/files.h"
#include "tests/macros/fake_launcher.h"
#include "tests/support/test_support.h"

namespace orv::macros {
namespace {

using test::LaunchCall;
using test::LaunchRecorder;

// Files are named "m<method>_<serial>.bat", so a launch shows whether its file and method came from
// the same version of a slot.
std::string FileFor(CallMethod method, int serial) {
    return "m" + std::to_string(method) + "_" + std::to_string(serial) + ".bat";
}

CallMethod MethodNamedIn(const std::string& argument) {
    const size_t start = argument.find_last_of("\\/") + 1;
    return argument.at(start + 1) - '0';
}

TEST(MacroConcurrency, ActionStepLaunchesAndEditorEditsDoNotInterfere) {
    orv::test::TempDirectory root("orv concurrency");
    root.WriteFile("Bat/a.bat", "rem\n");
    root.WriteFile("Bat/b.bat", "rem\n");
    LaunchRecorder recorder;
    MacroTable table(root.Join("Bat/"), recorder.MakeLauncher());
    for (int n = 1; n <= kObjectCount; ++n) {
        const CallMethod method = n % 3;
        ASSERT_TRUE(table.SetSlot(n, MacroSlot{"start", FileFor(method, 0), method}));
    }

    std::atomic<bool> editing{true};
    std::atomic<int> passes{0};
    std::thread scan([&] {
        while (editing.load() || passes.load() < 10) {
            for (int n = 1; n <= kObjectCount; ++n) {
                table.RunMacro(n);
            }
            passes.fetch_add(1);
        }
    });

    MacroEditorModel editor(table);
    int disturbed = 0;
    for (int round = 1; round <= 300; ++round) {
        const int number = round % kObjectCount + 1;
        const CallMethod method = round % 3;
        editor.OpenOn(number);
        editor.FormShow();
        editor.ChooseMethod(method);
        editor.SetNameField("macro " + std::to_string(round));
        editor.SetBatFileField(FileFor(method, round));
        editor.Apply();
        if (!(table.Working() == WorkingState{number, method, FileFor(method, round)})) {
            ++disturbed;
        }
        if (round % 5 == 0) {
            editor.Reset();
            editor.Apply();
            editor.Run();
        }
        editor.FormClose();
    }
    editing.store(false);
    scan.join();

    EXPECT_EQ(disturbed, 0);
    const std::vector<LaunchCall> calls = recorder.Calls();
    EXPECT_GT(calls.size(), 0u);
    for (const LaunchCall& call : calls) {
        ASSERT_EQ(MethodNamedIn(call.argument), call.method) << call.argument;
    }
}

}  // namespace
}  // namespace orv::macros
