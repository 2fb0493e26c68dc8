#include "LayerTable.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran::layering;

namespace {

const QString table = uR"(
| folder | library | may use | what lives there |
|---|---|---|---|
| `src/core` | `velloran_core` | — | the clock |
| `src/model` | `velloran_model` | `core` | records |
| `src/scenes/deck` | `velloran_scene_deck` | `core`, `model` | the deck |
| `src/scenes/deck/preview` | `velloran-render-deck` | `core`, `model`, `scenes/deck` | the preview |
)"_s;

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString sourceDir()
{
    return QStringLiteral(VELLORAN_SOURCE_DIR);
}

QList<Layer> projectLayers()
{
    return readLayerTable(readText(sourceDir() + u"/docs/ARCHITECTURE.md"_s));
}

} // namespace

TEST(LayerTable, ReadsRowsAndTheirAllowedFolders)
{
    const QList<Layer> layers = readLayerTable(table);
    ASSERT_EQ(layers.size(), 4);
    EXPECT_EQ(layers[0].folder, u"core"_s);
    EXPECT_TRUE(layers[0].mayUse.isEmpty());
    EXPECT_EQ(layers[2].library, u"velloran_scene_deck"_s);
    EXPECT_EQ(layers[2].mayUse, (QSet<QString>{u"core"_s, u"model"_s}));
}

TEST(LayerTable, ReportsIncludesAgainstTheDirection)
{
    const QList<Layer> layers = readLayerTable(table);
    const QHash<QString, QString> sources{
        {u"core/Clock.cpp"_s, u"#include \"core/Clock.h\"\n#include \"model/Record.h\"\n"_s},
        {u"model/Record.cpp"_s, u"#include \"model/Record.h\"\n#include \"core/Clock.h\"\n#include <QString>\n"_s},
        {u"scenes/deck/Tonearm.cpp"_s, u"#include \"scenes/deck/preview/Table.h\"\n#  include \"model/Record.h\"\n"_s},
        {u"scenes/deck/preview/Render.cpp"_s, u"#include \"Table.h\"\n#include \"scenes/deck/Tonearm.h\"\n"_s},
        {u"stray/Thing.cpp"_s, u"#include \"core/Clock.h\"\n"_s},
    };
    const QList<Violation> expected{
        {u"core/Clock.cpp"_s, u"model/Record.h"_s},
        {u"scenes/deck/Tonearm.cpp"_s, u"scenes/deck/preview/Table.h"_s},
        {u"stray/Thing.cpp"_s, u"core/Clock.h"_s},
    };
    EXPECT_EQ(findViolations(layers, sources), expected);
}

TEST(LayerTable, FindsCycles)
{
    QList<Layer> layers = readLayerTable(table);
    EXPECT_TRUE(foldersInCycles(layers).isEmpty());
    layers[1].mayUse.insert(u"scenes/deck"_s);
    EXPECT_EQ(foldersInCycles(layers), (QStringList{u"model"_s, u"scenes/deck"_s}));
}

// The project itself: the architecture notes list every library, and the code follows them.
TEST(Layering, TheTableListsEveryFolderOfSources)
{
    const QList<Layer> layers = projectLayers();
    ASSERT_FALSE(layers.isEmpty()) << "no table of layers in docs/ARCHITECTURE.md";
    QSet<QString> listed;
    for (const Layer &layer : layers) {
        EXPECT_FALSE(listed.contains(layer.folder)) << "listed twice: " << layer.folder.toStdString();
        listed.insert(layer.folder);
        EXPECT_TRUE(QDir(sourceDir() + u"/src/"_s + layer.folder).exists())
            << "listed but missing: src/" << layer.folder.toStdString();
        for (const QString &used : layer.mayUse)
            EXPECT_TRUE(listed.contains(used) || std::any_of(layers.begin(), layers.end(),
                                                             [&](const Layer &l) { return l.folder == used; }))
                << layer.folder.toStdString() << " may use an unknown folder " << used.toStdString();
    }
    QDirIterator files(sourceDir() + u"/src"_s, {u"*.h"_s, u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = QDir(sourceDir() + u"/src"_s).relativeFilePath(files.next());
        EXPECT_FALSE(owningFolder(layers, file).isEmpty()) << "not in any listed folder: src/" << file.toStdString();
    }
    EXPECT_TRUE(foldersInCycles(layers).isEmpty()) << foldersInCycles(layers).join(u", "_s).toStdString();
}

TEST(Layering, EveryIncludeFollowsTheTable)
{
    const QList<Layer> layers = projectLayers();
    ASSERT_FALSE(layers.isEmpty());
    QHash<QString, QString> sources;
    QDirIterator files(sourceDir() + u"/src"_s, {u"*.h"_s, u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        sources.insert(QDir(sourceDir() + u"/src"_s).relativeFilePath(path), readText(path));
    }
    ASSERT_GT(sources.size(), 100);
    for (const Violation &violation : findViolations(layers, sources))
        ADD_FAILURE() << "src/" << violation.file.toStdString() << " includes " << violation.included.toStdString()
                      << ", which its layer may not use";
}
