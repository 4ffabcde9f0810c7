#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <gmock/gmock.h>

int main(int argc, char** argv) {
    // Widget tests never need a display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
