#include "platform/testing/faults.h"
#include "platform/testing/test_process.h"
#include "platform/win32/win32_numbered_files.h"
#include "platform/win32/win32_single_copy.h"
#include "platform/win32/win32_system.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>

using namespace vx;
using vx::testing::errorOf;

namespace {

// Only files on a disk are written: a device, a folder or a name that is not there is refused
// with its number and the path, before anything is written.
TEST(NumberedFiles, WhatIsNoFileOnADiskIsRefusedWithItsNumber) {
    QTemporaryDir dir;
    Win32NumberedFiles files;
    const std::pair<QString, int> refused[] = {
        {QStringLiteral("NUL"), err::PathFileAccessError},
        {QStringLiteral("\\\\.\\COM1"), err::PathFileAccessError},
        {dir.path(), err::PathFileAccessError},
        {dir.filePath(QStringLiteral("no/such/folder/log.txt")), err::PathNotFound},
        {QString(), err::FileNotFound}};
    for (const auto& [path, number] : refused) {
        QString why;
        EXPECT_EQ(errorOf([&] { files.openAppend(1, path); }, &why), number) << path.toStdString();
        EXPECT_EQ(errorOf([&] { files.openRandom(2, path, 20); }), number);
        EXPECT_TRUE(why.contains(path)) << why.toStdString();
    }
    EXPECT_FALSE(files.isOpen(1) || files.isOpen(2));
}

TEST(SingleCopy, OneCopyPerFolderWhateverItsCaseAndTheSecondBringsTheFirstForward) {
    vx::testing::coreApplication();
    QTemporaryDir here;
    QTemporaryDir elsewhere;
    Win32SingleCopy first(here.path());
    int calls = 0;
    first.setOnCalled([&] { ++calls; });
    ASSERT_TRUE(first.claim());

    Win32SingleCopy second(here.path().toUpper());
    EXPECT_FALSE(second.claim());
    second.callFirstCopy();
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));

    Win32SingleCopy other(elsewhere.path()); // a copy in another folder serves another counter
    EXPECT_TRUE(other.claim());
}

TEST(System, AStartFromTheMenuWorksInTheUsersLocalFolder) {
    const QString local = qEnvironmentVariable("LOCALAPPDATA");
    ASSERT_FALSE(local.isEmpty());
    EXPECT_EQ(Win32System().menuLaunchFolder().toLower(),
              QDir::toNativeSeparators(QDir::cleanPath(local + QStringLiteral("/Vx"))).toLower());
}

} // namespace
