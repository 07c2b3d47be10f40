#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/files.h"

namespace orv::paths {
namespace {

TEST(Paths, ExecutableAndItsFolder) {
    const std::string path = ExecutablePath();
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(fs::IsFile(path)) << path;
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), fs::kSeparator);
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
    EXPECT_EQ(path.find_first_of("\\/", folder.size()), std::string::npos) << "the rest is a file name";
    EXPECT_TRUE(fs::IsDirectory(folder));
}

TEST(Paths, ApplicationTitleIsTheNameUpToItsFirstDot) {
    EXPECT_EQ(ApplicationTitle("C:\\x\\ORVANTER.EXE"), "Orvanter");
    EXPECT_EQ(ApplicationTitle("C:\\Tools\\Orvanter.exe"), "Orvanter");
    EXPECT_EQ(ApplicationTitle("my.app.exe"), "my") << "the first letter keeps its case";
    EXPECT_EQ(ApplicationTitle("/opt/orvanter/orvanter"), "orvanter");
    EXPECT_EQ(ApplicationTitle("D:\\a.b\\WatchDOG.exe"), "Watchdog") << "dots in folders do not count";
    EXPECT_EQ(ApplicationTitle("C:\\ПРОГРАММА.EXE"), "Программа");
    EXPECT_EQ(ApplicationTitle("C:\\x\\.hidden.exe"), "");
}

}  // namespace
}  // namespace orv::paths
