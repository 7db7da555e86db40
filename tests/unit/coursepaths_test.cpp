#include <QDir>

#include "shared/coursepaths.h"
#include "shared/globals.h"
#include "tests/support/tempbase.h"

namespace {

class CoursePathsTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals();
    }
};

TEST_F(CoursePathsTest, NamesAreFoundAsOnDiskWhateverTheirCase) {
    const QString product = ProductFolder();
    writeBytes(product + "/abc/Abc.ver", "1");
    writeBytes(product + "/abc.lxs", "ABC");
    EXPECT_EQ(CourseFolder("ABC"), product + "/abc");
    EXPECT_EQ(CourseDescriptorFile("ABC"), product + "/abc.lxs");
    EXPECT_EQ(CourseVersionFile("ABC"), product + "/abc/Abc.ver");

    // The exact name comes first; a missing one is given as it stands.
    ASSERT_TRUE(QDir().mkpath(product + "/ABC"));
    EXPECT_EQ(CourseFolder("ABC"), product + "/ABC");
    EXPECT_EQ(CourseVersionFile("ABC"), product + "/ABC/ABC.ver");
    EXPECT_EQ(CourseFolder("abc"), product + "/abc");
}

}  // namespace
