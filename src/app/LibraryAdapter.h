#pragma once

#include "model/Library.h"
#include "scenes/turntable/LibraryAccess.h"

namespace velloran {

// The program's library as the scenes see it.
class LibraryAdapter final : public LibraryAccess {
    Q_OBJECT

public:
    explicit LibraryAdapter(Library &library, QObject *parent = nullptr);

    QList<ShelfEntry> entries() const override { return m_library.entries(); }
    bool isLoading() const override { return m_library.isLoading(); }
    std::optional<QString> error() const override { return m_library.error(); }
    QCoro::Task<> load() override { return m_library.load(); }
    QCoro::Task<Record> record(LibraryItem item) override { return m_library.record(std::move(item)); }

private:
    Library &m_library;
};

} // namespace velloran
