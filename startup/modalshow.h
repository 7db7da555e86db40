#pragma once

class QWidget;

// Shows a form modally and returns once it has been hidden or unloaded.
// Events keep running meanwhile, so the form's own handlers (and whatever
// they open) run inside this call.
void showModalAndWait(QWidget* form);
