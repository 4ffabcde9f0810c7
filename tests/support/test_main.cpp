#include <QApplication>
#include <clocale>
#include <gmock/gmock.h>

// Test programs of windows get a QApplication on the offscreen platform unless
// told otherwise; the others need no more than the event loop.
int main(int argc, char** argv) {
#ifdef KIVO_TEST_WIDGETS
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
