#pragma once

#include "model/LibraryAccess.h"

namespace velloran {

class Library;

// The program's library as the turntable screen reads it.
class LibraryAdapter final : public LibraryAccess {
    Q_OBJECT

public:
    explicit LibraryAdapter(Library &library, QObject *parent = nullptr);

    QList<ShelfEntry> entries() const override;
    bool isLoading() const override;
    std::optional<QString> error() const override;
    QCoro::Task<> load() override;
    QCoro::Task<Record> record(LibraryItem item) override;
    std::optional<Record> cachedRecord(const LibraryItem &item) const override;

private:
    Library &m_library;
};

} // namespace velloran
