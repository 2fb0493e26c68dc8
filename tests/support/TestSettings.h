#pragma once

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace velloran::test {

// A settings store of its own for one test, in a temporary folder.
class TestSettings {
public:
    TestSettings()
        : m_settings(std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat))
    {
    }

    QSettings &operator*() { return *m_settings; }
    QSettings *operator->() { return m_settings.get(); }
    QSettings &get() { return *m_settings; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace velloran::test
