#pragma once

#include "scenes/crate/CrateFixture.h"

#include "model/Navigation.h"
#include "model/PlayHistory.h"
#include "scenes/rooms/Rooms.h"

#include <QTemporaryDir>
#include <QUuid>

#include <memory>

namespace velloran::test {

// The rooms over a scripted deck and library, with the covers of the crate's fixture; a
// record sent to the turntable goes the way the program sends it (a flight, the screen, the
// load).
struct RoomsFixture {
    explicit RoomsFixture(QSize size = QSize(1200, 800))
    {
        for (const Record &record : library.records)
            deck.library.add(record, record.artworkURL);
        rooms = std::make_unique<Rooms>(Rooms::Services{navigation, deck.turntable, deck.library, history,
                                                        *deck.settings, deck.clock,
                                                        [this](const ShelfEntry &entry, const Record &record,
                                                               const QRectF &from) { send(entry, record, from); },
                                                        &library.store});
        rooms->resize(size);
        rooms->show();
    }

    // What the program's model does with a record sent to the turntable.
    void send(const ShelfEntry &entry, const Record &record, const QRectF &from)
    {
        const std::optional<Record> &onDeck = deck.turntable.record();
        if (!onDeck || onDeck->id != record.id)
            navigation.setFlight(SleeveFlight{QUuid::createUuid(), entry, from});
        navigation.setScreen(Navigation::Screen::turntable);
        deck.turntable.load(record, navigation.flight().has_value());
    }

    QTemporaryDir covers;
    CrateFixture library{covers.path()}; // the records and their covers
    DeckHarness deck;
    Navigation navigation;
    PlayHistory history{deck.clock};
    std::unique_ptr<Rooms> rooms;
};

} // namespace velloran::test
