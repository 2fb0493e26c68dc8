#include "model/LibraryAdapter.h"

#include "model/Library.h"

namespace velloran {

LibraryAdapter::LibraryAdapter(Library &library, QObject *parent)
    : LibraryAccess(parent)
    , m_library(library)
{
    connect(&library, &Library::albumsChanged, this, &LibraryAccess::entriesChanged);
    connect(&library, &Library::playlistsChanged, this, &LibraryAccess::entriesChanged);
    connect(&library, &Library::addedAtChanged, this, &LibraryAccess::entriesChanged);
    connect(&library, &Library::isLoadingChanged, this, &LibraryAccess::isLoadingChanged);
    connect(&library, &Library::errorChanged, this, &LibraryAccess::errorChanged);
}

QList<ShelfEntry> LibraryAdapter::entries() const
{
    return m_library.entries();
}

bool LibraryAdapter::isLoading() const
{
    return m_library.isLoading();
}

std::optional<QString> LibraryAdapter::error() const
{
    return m_library.error();
}

QCoro::Task<> LibraryAdapter::load()
{
    return m_library.load();
}

QCoro::Task<Record> LibraryAdapter::record(LibraryItem item)
{
    return m_library.record(std::move(item));
}

std::optional<Record> LibraryAdapter::cachedRecord(const LibraryItem &item) const
{
    return m_library.cachedRecord(item);
}

} // namespace velloran
