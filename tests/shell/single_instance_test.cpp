#include "shell/core/single_instance.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;

TEST(SingleInstance, OneCopyPerFolderAndTheSecondBringsTheFirstForward) {
    QTemporaryDir here;
    QTemporaryDir elsewhere;
    SingleInstance first(here.path());
    int activations = 0;
    first.setOnActivate([&] { ++activations; });
    ASSERT_TRUE(first.claim());

    SingleInstance second(here.path());
    EXPECT_FALSE(second.claim());
    second.activateOther();
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations == 1; }, 5000));

    SingleInstance other(elsewhere.path()); // a copy in another folder serves another counter
    EXPECT_TRUE(other.claim());
}
