#include "paint/FontRegistration.h"

#include "paint/Fonts.h"

#include <QDir>
#include <QFontDatabase>

using namespace Qt::StringLiterals;

namespace velloran::fonts {

int registerBundledFonts()
{
    // Top-level fonts first, then those of the fonts folder.
    int registered = 0;
    for (const QString &folder : {u":/"_s, u":/fonts"_s}) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({u"*.ttf"_s}, QDir::Files, QDir::Name)) {
            if (QFontDatabase::addApplicationFont(dir.filePath(name)) >= 0)
                ++registered;
        }
    }
    // Drawings may name the serif by its PostScript name.
    QFont::insertSubstitution(u"InstrumentSerif-Regular"_s, serif());
    return registered;
}

} // namespace velloran::fonts
