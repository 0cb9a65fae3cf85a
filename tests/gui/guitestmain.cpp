// The widget tests need one application object for the whole run.

#include "gui/qttranslations.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Off screen unless a platform is asked for (scripts/geometry-check asks for xcb).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallQtTranslations(app); // as the desktop does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
