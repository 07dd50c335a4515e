// Runs the rig's GoogleTest suites inside a QCoreApplication, with the real library loaded
// by default; tests that need another library point the binding elsewhere and restore it.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "library.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    qorbind::Library::instance().setPath(QStringLiteral(QORLIB_PATH));
    return RUN_ALL_TESTS();
}
