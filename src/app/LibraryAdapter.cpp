#include "app/LibraryAdapter.h"

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

} // namespace velloran
