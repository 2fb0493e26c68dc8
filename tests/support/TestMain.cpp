// Test entry: an offscreen application with test-mode standard paths, so no test touches
// the user's own files or settings.

#include <QStandardPaths>
#include <QtGlobal>

#ifdef VELLORAN_GUI_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("VelloranTests"));
    TestApplication::setApplicationName(QStringLiteral("VelloranTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
