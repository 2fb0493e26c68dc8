#pragma once

#include "model/LibraryItem.h"
#include "model/Record.h"
#include "model/ShelfEntry.h"

#include <QCoroTask>
#include <QList>
#include <QObject>

#include <optional>

namespace velloran {

// What the turntable screen needs of the user's library: the entries in shelf order, the
// state of a refresh, and the record of an entry. The program hands the screen its library
// through this; tests hand it a scripted one.
class LibraryAccess : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QList<ShelfEntry> entries() const = 0;
    virtual bool isLoading() const = 0;
    // The message of the last failed refresh.
    virtual std::optional<QString> error() const = 0;
    // Refreshes the library; never throws.
    virtual QCoro::Task<> load() = 0;
    // The record of an item; throws when it cannot be had.
    virtual QCoro::Task<Record> record(LibraryItem item) = 0;
    // The record of an item if it is at hand without loading anything.
    virtual std::optional<Record> cachedRecord(const LibraryItem &) const { return std::nullopt; }

Q_SIGNALS:
    void entriesChanged();
    void isLoadingChanged();
    void errorChanged();
};

} // namespace velloran
