// Renders the crate at a record and at a divider into PNG files, at the wide and the narrow
// window sizes and pixel ratios 1 and 2, to look at the drawing outside the program.
//
//   velloran-render-crate [output folder]    (default: "renders" beside the bin folder)

#include "CrateFixture.h"

#include "paint/FontRegistration.h"
#include "paint/RenderToolCommandLine.h"
#include "scenes/crate/CratesView.h"

#include <QApplication>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    const RenderToolCommandLine line = RenderToolCommandLine::parse(QCoreApplication::arguments(), u"Renders the crate at a record and at a divider into PNG files."_s);
    if (line.exitCode)
        return *line.exitCode;
    fonts::registerBundledFonts();
    const std::optional<QString> outputFolder = line.outputFolder();
    if (!outputFolder)
        return 1;
    const QString &folder = *outputFolder;
    QTemporaryDir covers;
    CrateFixture fixture(covers.path());
    QTextStream out(stdout);
    for (const QSize size : {QSize(1600, 1000), QSize(820, 560)}) {
        for (const qreal dpr : {1.0, 2.0}) {
            CratesView view({fixture.library, *fixture.settings, fixture.clock, {}, &fixture.store});
            view.resize(size);
            view.show();
            const auto render = [&](const QString &name) {
                fixture.waitForArtwork(view, 2500);
                view.settle();
                QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(dpr);
                QPainter p(&image);
                view.paintCrate(p, dpr);
                for (QWidget *child : view.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                    if (child->isVisible())
                        child->render(&p, child->pos(), QRegion(), QWidget::DrawChildren);
                p.end();
                const QString path
                    = u"%1/crate-%2-%3x%4@%5x.png"_s.arg(folder, name).arg(size.width()).arg(size.height()).arg(dpr);
                if (!image.save(path))
                    return false;
                out << path << '\n';
                out.flush();
                return true;
            };
            view.go(5);
            if (!render(u"record"_s))
                return 1;
            view.showItem(fixture.firstDividerAfter(view.items(), 6));
            if (!render(u"divider"_s))
                return 1;
        }
    }
    return 0;
}
