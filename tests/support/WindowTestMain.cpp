#include "uikit/Application.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    if (!velka::setUpApplication(app)) {
        fprintf(stderr, "Qt's Japanese translation is not installed (qt6-translations-l10n)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
