#include "shell/ConnectedContent.h"

#include "appmodel/AppModel.h"
#include "model/LibraryAdapter.h"
#include "scenes/rooms/Rooms.h"

#include <QPointer>

namespace velloran {

QWidget *makeConnectedContent(AppModel &model, QWidget *parent)
{
    auto *library = new LibraryAdapter(model.library());
    QPointer<AppModel> guarded(&model);
    auto *rooms = new Rooms({model.navigation(), model.turntable(), *library, model.history(), model.settings(),
                             model.clock(),
                             [guarded](const ShelfEntry &entry, const Record &record, const QRectF &from) {
                                 if (guarded)
                                     guarded->putOnTurntable(entry, record, from);
                             }},
                            parent);
    // The rooms let their room go first; the adapter goes with them.
    library->setParent(rooms);
    return rooms;
}

} // namespace velloran
