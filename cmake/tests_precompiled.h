// What nearly every test file includes, parsed once per test program: GoogleTest, the standard
// library and, where the program links them, Qt Core and Qt Widgets.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#if __has_include(<QString>)
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#endif
#if __has_include(<QWidget>)
#include <QApplication>
#include <QLabel>
#include <QWidget>
#endif
