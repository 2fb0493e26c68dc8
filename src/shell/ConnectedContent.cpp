#include "shell/ConnectedContent.h"

#include "appmodel/AppModel.h"
#include "scenes/turntable/TurntableScreen.h"

namespace velloran {

QWidget *makeConnectedContent(AppModel &model, QWidget *parent)
{
    return new TurntableScreen(model.turntable(), model.library(), model.clock(), parent);
}

} // namespace velloran
