#include "app/ConnectedContent.h"

#include "app/AppModel.h"
#include "app/LibraryAdapter.h"
#include "scenes/turntable/TurntableScreen.h"

namespace velloran {

QWidget *makeConnectedContent(AppModel &model, QWidget *parent)
{
    auto *library = new LibraryAdapter(model.library());
    auto *screen = new TurntableScreen(model.turntable(), *library, model.clock(), parent);
    library->setParent(screen);
    return screen;
}

} // namespace velloran
