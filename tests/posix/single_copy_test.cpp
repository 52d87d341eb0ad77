#include "platform/posix/posix_single_copy.h"
#include "platform/testing/test_process.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;

// Lock and socket are in the user's runtime folder (or cache folder) and go when the copy ends.
TEST(SingleCopy, OneCopyPerFolderAndTheSecondBringsTheFirstForward) {
    vx::testing::coreApplication(); // for the socket's notifier
    QTemporaryDir here, elsewhere, runtime, cache;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const auto kept = [](const QTemporaryDir& in) {
        return QDir(in.filePath(QStringLiteral("vx"))).entryList(QDir::Files | QDir::System).size();
    };
    {
        PosixSingleCopy first(here.path());
        int calls = 0;
        first.setOnCalled([&] { ++calls; });
        ASSERT_TRUE(first.claim());

        PosixSingleCopy second(here.path());
        EXPECT_FALSE(second.claim());
        second.callFirstCopy();
        EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));

        PosixSingleCopy other(elsewhere.path()); // a copy in another folder serves another counter
        EXPECT_TRUE(other.claim());
        EXPECT_EQ(kept(runtime), 4);
    }
    EXPECT_EQ(kept(runtime), 0);
    QFile::setPermissions(runtime.path(), QFile::permissions(runtime.path()) | QFile::WriteOther);
    PosixSingleCopy first(here.path());
    EXPECT_TRUE(first.claim() && kept(cache) == 2);
}
