#pragma once

class QWidget;

namespace velloran {

class AppModel;

// What the window shows once the user is connected: the rooms (shelf, crate, turntable),
// fed by the program's model; a record sent to the turntable goes through the model.
QWidget *makeConnectedContent(AppModel &model, QWidget *parent);

} // namespace velloran
