#pragma once
// The runner's way to the GUI thread: tasks are queued to the application's
// event loop; an error escaping one goes to the application's error report.

#include "viewer/ThdComp.h"

class TQtGuiThread : public TGuiThread {
public:
    void Post(std::function<void()> task) override;
};
