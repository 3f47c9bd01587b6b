// The form's own timers held off while a benchmark drives the ticks and refreshes itself: an interval of 0
// is raised to the 10 ms minimum, and the timers would then refresh the shown tab and tick between the
// measured steps, in the painted runs only, where the messages are dispatched.
#pragma once

#include "app/Main.h"
#include "config/EasyConfig.h"

inline void HoldFormTimers(TPaneprobeForm& form) {
    form.UpdateInterval->SetValue(60000);
    form.TabInterval->SetValue(60000);
}
