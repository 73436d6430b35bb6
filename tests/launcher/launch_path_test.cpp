#include "launcher/launch_path.h"

#include <gtest/gtest.h>

namespace q350::launcher {
namespace {

TEST(LaunchPath, TargetLiesInTheLaunchersOwnFolder) {
    EXPECT_EQ(TargetPathFor(u"C:\\Program Files\\Quorv\\Q350\\bootlaunch.exe"),
              u"C:\\Program Files\\Quorv\\Q350\\Q350Config.exe");
    EXPECT_EQ(TargetPathFor(u"D:/tools/quorv/bootlaunch.exe"), u"D:/tools/quorv/Q350Config.exe");
    // A folder name with dots is not mistaken for the extension.
    EXPECT_EQ(TargetPathFor(u"C:\\v1.2\\boot.launch.exe"), u"C:\\v1.2\\Q350Config.exe");
}

TEST(LaunchPath, DriveRootAndUncShare) {
    EXPECT_EQ(TargetPathFor(u"C:\\bootlaunch.exe"), u"C:\\Q350Config.exe");
    EXPECT_EQ(TargetPathFor(u"\\\\server\\share\\bootlaunch.exe"),
              u"\\\\server\\share\\Q350Config.exe");
    EXPECT_EQ(BaseFolderOf(u"C:bootlaunch.exe"), u"C:");
    EXPECT_EQ(BaseFolderOf(u"bootlaunch.exe"), u"");
}

TEST(LaunchPath, TooLongForThePathBufferStartsNothing) {
    // Folder of 245 characters: the target takes 259, which with its null fills the buffer.
    const std::u16string fitting = u"C:\\" + std::u16string(241, u'a') + u"\\";
    ASSERT_EQ(fitting.size() + kTargetFileName.size(), 259u);
    EXPECT_EQ(TargetPathFor(fitting + u"bootlaunch.exe"), fitting + u"Q350Config.exe");

    const std::u16string oneMore = u"C:\\" + std::u16string(242, u'a') + u"\\";
    EXPECT_TRUE(TargetPathFor(oneMore + u"bootlaunch.exe").empty());
}

}  // namespace
}  // namespace q350::launcher
