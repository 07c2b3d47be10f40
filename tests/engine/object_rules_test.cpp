// The rules of an object's definition: folding and stepping type and parameter, when an item is there,
// what a chosen item does to the object, and the engine applying them to its table.
#include <gtest/gtest.h>

#include "engine/object_rules.h"
#include "tests/engine/engine_fixture.h"

namespace orv::engine::test {
namespace {

TEST(ObjectRules, TypeAndParameterFoldAndStepWrappingAtBothEnds) {
    EXPECT_EQ(FoldType(static_cast<ObjectType>(7)), ObjectType::File);
    EXPECT_EQ(FoldType(static_cast<ObjectType>(-1)), ObjectType::Application);
    EXPECT_EQ(StepType(ObjectType::Application, Step::Next), ObjectType::File);
    EXPECT_EQ(StepType(ObjectType::File, Step::Previous), ObjectType::Application);
    // Stored extremes step without overflowing.
    EXPECT_EQ(StepType(static_cast<ObjectType>(INT32_MIN), Step::Previous), ObjectType::Directory);
    EXPECT_EQ(StepParam(ObjectType::File, static_cast<ControlParam>(INT32_MAX), Step::Next),
              ControlParam::Availability);

    EXPECT_EQ(StepParam(ObjectType::File, ControlParam::String, Step::Next), ControlParam::Availability);
    EXPECT_EQ(StepParam(ObjectType::File, ControlParam::Availability, Step::Previous), ControlParam::String);
    EXPECT_EQ(StepParam(ObjectType::Directory, ControlParam::Availability, Step::Previous),
              ControlParam::Date);
    EXPECT_EQ(FoldParam(ObjectType::Directory, ControlParam::String), ControlParam::Availability);
    EXPECT_EQ(StepParam(ObjectType::Application, ControlParam::Activity, Step::Next), ControlParam::Activity);
    EXPECT_EQ(FoldParam(ObjectType::Application, ControlParam::Date), ControlParam::Activity);
    EXPECT_TRUE(UsesSearchText(ObjectType::File, ControlParam::String));
    EXPECT_FALSE(UsesSearchText(ObjectType::Directory, static_cast<ControlParam>(3)));
}

TEST(ObjectRules, PresenceDependsOnTheType) {
    orv::test::TempDirectory folder("rules");
    const std::string file = folder.WriteFile("a.txt", "x");
    const std::string exe = folder.WriteFile("tool.exe", "MZ");
    const std::string upperExe = folder.WriteFile("Tool2.EXE", "MZ");
    const std::string exeFolder = folder.MakeFolder("dir.exe");
    const auto present = [](ObjectType type, const std::string& path) {
        return ItemPresence(type, path) == Presence::Present;
    };
    EXPECT_TRUE(present(ObjectType::File, file));
    EXPECT_FALSE(present(ObjectType::File, folder.Path()));
    EXPECT_EQ(ItemPresence(ObjectType::File, ""), Presence::Absent);
    EXPECT_EQ(ItemPresence(ObjectType::File, folder.Join("missing.txt")), Presence::Absent);
    EXPECT_TRUE(present(ObjectType::Directory, folder.Path()));
    EXPECT_FALSE(present(ObjectType::Directory, file));
    EXPECT_TRUE(present(ObjectType::Application, exe));
    EXPECT_FALSE(present(ObjectType::Application, upperExe));
    EXPECT_FALSE(present(ObjectType::Application, exeFolder));
    EXPECT_FALSE(present(ObjectType::Application, file));
    EXPECT_TRUE(ContainsExe("C:\\a.exe\\b"));
    EXPECT_FALSE(ContainsExe("C:\\App.EXE"));

    ObjectSettings settings;
    settings.Path_File = "f";
    settings.Path_Dir = "d";
    settings.Path_Prog = "p";
    EXPECT_EQ(KeptPath(settings, ObjectType::File), "f");
    EXPECT_EQ(KeptPath(settings, ObjectType::Directory), "d");
    EXPECT_EQ(KeptPath(settings, ObjectType::Application), "p");
}

TEST(ObjectRules, BrowseOfAFileSetsPathNameAndBaseline) {
    ObjectSettings settings;
    Baseline baseline;
    baseline.Dir_OK_Old = true;
    EXPECT_TRUE(
        ApplyBrowse(2, ObjectType::File, BrowseChoice{"C:\\a.txt", "a.txt"}, true, settings, baseline));
    EXPECT_EQ(settings.Path_File, "C:\\a.txt");
    EXPECT_EQ(settings.Name_File, "a.txt");
    EXPECT_TRUE(baseline.File_OK_Old);
    EXPECT_TRUE(baseline.Dir_OK_Old);  // only object 1 resets the others

    EXPECT_FALSE(
        ApplyBrowse(2, ObjectType::File, BrowseChoice{"C:\\folder", "folder"}, false, settings, baseline));
    EXPECT_EQ(settings.Path_File, "");
    EXPECT_FALSE(baseline.File_OK_Old);
}

TEST(ObjectRules, BrowseOfADirectoryAndOfAnApplicationAndObjectOnesFreshStart) {
    ObjectSettings settings;
    Baseline baseline;
    settings.Path_File = "kept";
    baseline.Size_Dir_Old = "99";
    baseline.Size_File_Old = "12";
    EXPECT_TRUE(
        ApplyBrowse(3, ObjectType::Directory, BrowseChoice{"C:\\logs", "logs"}, true, settings, baseline));
    EXPECT_EQ(settings.Path_Dir, "C:\\logs");
    EXPECT_TRUE(baseline.Dir_OK_Old);
    EXPECT_EQ(baseline.Size_Dir_Old, "99");
    EXPECT_EQ(settings.Path_File, "kept");

    // Where Windows hides known extensions the shell's display name is "notepad": the process is
    // found by its executable's name.
    EXPECT_TRUE(ApplyBrowse(3, ObjectType::Application, BrowseChoice{"C:\\Tools\\notepad.exe", "notepad"},
                            true, settings, baseline));
    EXPECT_EQ(settings.Path_Prog, "C:\\Tools\\notepad.exe");
    EXPECT_EQ(settings.Name_Prog, "notepad.exe");
    baseline.Prog_Active_Old = true;
    EXPECT_FALSE(ApplyBrowse(3, ObjectType::Application, BrowseChoice{"C:\\App.EXE", "App.EXE"}, false,
                             settings, baseline));
    EXPECT_EQ(settings.Path_Prog, "");
    EXPECT_EQ(settings.Name_Prog, "");
    EXPECT_TRUE(baseline.Prog_Active_Old);

    // Object 1 starts its directory and application observations afresh, even for a directory just
    // accepted; the file's stay.
    baseline.Dir_Data_Old = "2020";
    EXPECT_TRUE(
        ApplyBrowse(1, ObjectType::Directory, BrowseChoice{"C:\\logs", "logs"}, true, settings, baseline));
    EXPECT_FALSE(baseline.Dir_OK_Old);
    EXPECT_EQ(baseline.Size_Dir_Old, "0");
    EXPECT_EQ(baseline.Dir_Data_Old, "");
    EXPECT_FALSE(baseline.Prog_Active_Old);
    EXPECT_EQ(baseline.Size_File_Old, "12");
}

class EngineRules : public EngineFixture {
  protected:
    // The answer to the last look for object N's item, once every request has been carried out.
    ItemReport Answer(int number) {
        EXPECT_TRUE(orv::test::WaitFor([&] { return engine->PendingRequests() == 0; }));
        ItemReport last;
        for (const DisplayUpdate& update : sink.Updates()) {
            if (update.kind == DisplayUpdate::Kind::Item && update.object == number) {
                last = update.item;
            }
        }
        return last;
    }
};

TEST_F(EngineRules, NormalisingStoresTheFoldedValuesAndForgetsAMissingFile) {
    Make();
    const std::string file = folder.WriteFile("here.txt", "x");
    Edit(1, [&](ObjectSettings& s, Baseline& b) {
        s.Type = static_cast<ObjectType>(3);
        s.Param = ControlParam::String;
        s.Path_File = file;
        b.File_OK_Old = true;
    });
    Edit(2, [&](ObjectSettings& s, Baseline& b) {
        s.Type = static_cast<ObjectType>(-1);
        s.Param = ControlParam::Date;
        s.Path_File = folder.Join("gone.txt");
        b.File_OK_Old = true;
    });
    Edit(3, [&](ObjectSettings& s, Baseline& b) {
        s.Path_File = folder.Join("gone.txt");
        b.File_OK_Old = true;
    });

    const std::optional<Engine::Item> present = engine->NormaliseType(1);
    ASSERT_TRUE(present.has_value());
    EXPECT_EQ(present->type, ObjectType::File);
    EXPECT_EQ(present->path, file);
    EXPECT_EQ(Answer(1).presence, Presence::Present);
    EXPECT_EQ(engine->NormaliseParam(1)->param, ControlParam::String);
    EXPECT_TRUE(engine->Object(1)->baseline.File_OK_Old);

    // An application's availability baseline is not a file's: kept though its item is missing.
    engine->NormaliseType(2);
    EXPECT_EQ(Answer(2).presence, Presence::Absent);
    EXPECT_EQ(engine->NormaliseParam(2)->param, ControlParam::Activity);
    const ControlObject second = *engine->Object(2);
    EXPECT_EQ(second.settings.Type, ObjectType::Application);
    EXPECT_EQ(second.settings.Param, ControlParam::Activity);
    EXPECT_TRUE(second.baseline.File_OK_Old);

    const uint64_t generation = engine->Object(3)->generation;
    engine->NormaliseType(3);
    EXPECT_EQ(Answer(3).presence, Presence::Absent);
    EXPECT_FALSE(engine->Object(3)->baseline.File_OK_Old);
    EXPECT_GT(engine->Object(3)->generation, generation);
    // Nothing left to change: a check measuring the object meanwhile may still commit.
    const uint64_t normalised = engine->Object(3)->generation;
    engine->NormaliseType(3);
    engine->NormaliseParam(3);
    Answer(3);
    EXPECT_EQ(engine->Object(3)->generation, normalised);
}

TEST_F(EngineRules, AChosenItemIsTestedForTheObjectsType) {
    Make();
    const std::string exe = folder.WriteFile("tool.exe", "MZ");
    engine->StepType(4, Step::Previous);  // an application
    ASSERT_TRUE(engine->ChooseItem(4, BrowseChoice{exe, "tool"}));
    const ItemReport accepted = Answer(4);
    EXPECT_EQ(accepted.presence, Presence::Present);
    EXPECT_EQ(accepted.purpose, ItemPurpose::Browse);
    EXPECT_EQ(engine->Object(4)->settings.Name_Prog, "tool.exe");

    ASSERT_TRUE(engine->ChooseItem(4, BrowseChoice{folder.Path(), "folder"}));
    const ItemReport refused = Answer(4);
    EXPECT_EQ(refused.presence, Presence::Absent);
    EXPECT_EQ(refused.type, ObjectType::Application);
    EXPECT_EQ(engine->Object(4)->settings.Path_Prog, "");
}

}  // namespace
}  // namespace orv::engine::test
