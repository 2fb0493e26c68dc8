#pragma once

class QWidget;

namespace velloran {

class AppModel;

// What the window shows once the user is connected: the turntable screen, fed by the
// program's library.
QWidget *makeConnectedContent(AppModel &model, QWidget *parent);

} // namespace velloran
