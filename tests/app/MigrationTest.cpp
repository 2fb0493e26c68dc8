#include "app/Migration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<QSettings> settings = std::make_unique<QSettings>(dir.filePath(u"new.ini"_s), QSettings::IniFormat);
    std::unique_ptr<QSettings> old = std::make_unique<QSettings>(dir.filePath(u"old.ini"_s), QSettings::IniFormat);
    QString root = dir.filePath(u"data"_s);

    Fixture() { QDir().mkpath(root); }

    void makeFolder(const QString &name, const QString &marker)
    {
        QDir(root).mkpath(name);
        QFile file(QDir(root).filePath(name + u'/' + marker));
        file.open(QIODevice::WriteOnly);
    }
    bool has(const QString &path) const { return QFileInfo::exists(QDir(root).filePath(path)); }
};

} // namespace

TEST(Migration, CopiesMissingSettingsAndMovesTheFolderOnce)
{
    Fixture f;
    f.old->setValue(u"clientID"_s, u"old-client"_s);
    f.old->setValue(u"autoFlip"_s, true);
    f.makeFolder(u"Cobbleden"_s, u"library.json"_s);

    Migration::run(*f.settings, f.old.get(), f.root);
    EXPECT_TRUE(f.settings->value(Migration::doneKey).toBool());
    EXPECT_EQ(f.settings->value(u"clientID"_s).toString(), u"old-client"_s);
    EXPECT_TRUE(f.settings->value(u"autoFlip"_s).toBool());
    EXPECT_TRUE(f.has(u"Velloran/library.json"_s));
    EXPECT_FALSE(f.has(u"Cobbleden"_s));

    // The old suite and folder reappear: nothing is touched again.
    f.old->setValue(u"clientID"_s, u"other"_s);
    f.settings->remove(u"autoFlip"_s);
    f.makeFolder(u"Cobbleden"_s, u"history.json"_s);
    QDir(f.root).rename(u"Velloran"_s, u"Elsewhere"_s);
    Migration::run(*f.settings, f.old.get(), f.root);
    EXPECT_EQ(f.settings->value(u"clientID"_s).toString(), u"old-client"_s);
    EXPECT_FALSE(f.settings->contains(u"autoFlip"_s));
    EXPECT_TRUE(f.has(u"Cobbleden/history.json"_s));
    EXPECT_FALSE(f.has(u"Velloran"_s));
}

TEST(Migration, KeepsWhatTheCurrentVersionHas)
{
    Fixture f;
    f.settings->setValue(u"clientID"_s, u"mine"_s);
    f.old->setValue(u"clientID"_s, u"theirs"_s);
    f.makeFolder(u"Cobbleden"_s, u"old.json"_s);
    f.makeFolder(u"Velloran"_s, u"new.json"_s);

    Migration::run(*f.settings, f.old.get(), f.root);
    EXPECT_EQ(f.settings->value(u"clientID"_s).toString(), u"mine"_s);
    EXPECT_FALSE(f.settings->contains(u"autoFlip"_s));
    EXPECT_TRUE(f.has(u"Cobbleden/old.json"_s)) << "both folders exist: neither is moved or merged";
    EXPECT_TRUE(f.has(u"Velloran/new.json"_s));
    EXPECT_FALSE(f.has(u"Velloran/old.json"_s));
}

TEST(Migration, WithoutTheOldSuiteOnlySetsTheFlag)
{
    Fixture f;
    Migration::run(*f.settings, nullptr, f.root);
    EXPECT_TRUE(f.settings->value(Migration::doneKey).toBool());
    EXPECT_FALSE(f.settings->contains(u"clientID"_s));
}
