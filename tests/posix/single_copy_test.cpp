#include "platform/posix/posix_single_copy.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;

TEST(SingleCopy, OneCopyPerFolderAndTheSecondBringsTheFirstForward) {
    static int argc = 1;
    static char name[] = "posix_tests", *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv); // for the socket's notifier
    QTemporaryDir here;
    QTemporaryDir elsewhere;
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
}
