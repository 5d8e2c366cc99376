#include "about/CreditsBitmaps.h"
#include "res/ResourceFinder.h"
#include "support/Pictures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using support::Pattern;

TEST(CreditsBitmaps, FoundThroughTheResourceLookupWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid() && Pattern(100, 100).save(dir.filePath("CreditsPicA.bmp"), "BMP"));
    ASSERT_TRUE(Pattern(109, 50).save(dir.filePath("CREDITSPICB.BMP"), "BMP"));
    CResourceFinder::AddSearchPath(dir.path());

    EXPECT_EQ(CCreditsBitmaps::FromResources("CREDITSPICA").size(), QSize(100, 100));
    EXPECT_EQ(CCreditsBitmaps::FromResources("creditspicb").size(), QSize(109, 50));
    EXPECT_TRUE(CCreditsBitmaps::FromResources("missing").isNull());
    CResourceFinder::ClearSearchPaths();
    EXPECT_TRUE(CCreditsBitmaps::FromResources("CreditsPicA").isNull());
}
