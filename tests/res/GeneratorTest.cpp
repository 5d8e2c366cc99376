#include "AssetFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Running the generator again gives exactly the files the build made.
TEST(Generator, WritesTheSameBytesEveryRunAndRefusesToRunWithoutItsFolders)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QProcess gen;
    gen.start(QStringLiteral(ZANDOR_TEST_GENERATOR),
              {"--run-dir", tmp.filePath("run"), "--res-dir", tmp.filePath("res")});
    ASSERT_TRUE(gen.waitForFinished(120000));
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
    int compared = 0;
    for (const std::string sub : {"bitmaps", "sounds", "midi", ""}) {
        const QDir dir(tmp.filePath(QString::fromStdString(sub.empty() ? "res" : "run/" + sub)));
        for (const QString& f : dir.entryList(QDir::Files)) {
            SCOPED_TRACE(f.toStdString());
            const std::string built =
                sub.empty() ? ResPath(f.toStdString()) : RunPath(sub + "/" + f.toStdString());
            EXPECT_EQ(support::ReadBytes(dir.filePath(f).toStdString()), support::ReadBytes(built));
            ++compared;
        }
    }
    EXPECT_EQ(compared, 4 + 6 + 5 + 20 + 8);

    gen.start(QStringLiteral(ZANDOR_TEST_GENERATOR), {"--run-dir"});
    ASSERT_TRUE(gen.waitForFinished(60000));
    EXPECT_NE(gen.exitCode(), 0);
}
