#include "about/CreditsBitmaps.h"
#include "res/ResourceFinder.h"
#include "support/Pictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using support::Pattern;

TEST(CreditsBitmaps, FoundThroughTheResourceLookupWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(Pattern(100, 100).save(dir.filePath("CreditsPicA.bmp"), "BMP"));
    ASSERT_TRUE(Pattern(109, 50).save(dir.filePath("CREDITSPICB.BMP"), "BMP"));
    QDir(dir.path()).mkdir("sub");
    ASSERT_TRUE(Pattern(3, 3).save(dir.filePath("sub/x.bmp"), "BMP"));
    ASSERT_TRUE(Pattern(4, 4).save(dir.filePath("sub\\y.bmp"), "BMP"));
    CResourceFinder::AddSearchPath(dir.path());

    EXPECT_EQ(CCreditsBitmaps::FromResources("CREDITSPICA").size(), QSize(100, 100));
    EXPECT_EQ(CCreditsBitmaps::FromResources("creditspicb").size(), QSize(109, 50));
    // Missing, empty, and names that reach into folders, whichever separator they use.
    const std::string up = "../" + QDir(dir.path()).dirName().toStdString() + "/CreditsPicA";
    for (const std::string& name :
         {std::string("missing"), std::string(), std::string("sub/x"), std::string("sub\\y"), up})
        EXPECT_TRUE(CCreditsBitmaps::FromResources(name).isNull()) << name;
    CResourceFinder::ClearSearchPaths();
    EXPECT_TRUE(CCreditsBitmaps::FromResources("CreditsPicA").isNull());
}
