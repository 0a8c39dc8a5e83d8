// Test programs run with an application object, as the tool does, so that
// translation catalogues can be installed.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <thread>

int main(int argc, char** argv) {
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer starts a thread of its own along with the program's
    // first: start it now, so that tests counting threads count the tool's.
    std::thread([] {}).join();
#endif
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
