// Loads the library by the rig's search and prints where it was found, or the error.
// The binding tests copy this program into folders of their own to check the search order.
#include <QCoreApplication>
#include <cstdio>

#include "library.h"
#include "qorbind.h"
#include "rigerror.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    try {
        qor::LibVersion();
        std::printf("%s\n", qPrintable(qorbind::Library::instance().loadedPath()));
        return 0;
    } catch (const rt::RigError &error) {
        std::printf("error %d %s\n", error.number(), qPrintable(error.description()));
        return 1;
    }
}
