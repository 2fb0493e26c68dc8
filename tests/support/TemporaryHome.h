#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace velloran::test {

// Points the home folder, and with it the test-mode data folder, at a temporary folder for
// the lifetime of the object, so that tests running side by side never share files.
class TemporaryHome {
public:
    TemporaryHome()
        : m_previous(qgetenv("HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
    }
    ~TemporaryHome() { qputenv("HOME", m_previous); }

    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

} // namespace velloran::test
