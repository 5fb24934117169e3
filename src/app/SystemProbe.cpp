#include "app/SystemProbe.h"

#include "platform/Platform.h"

TSystemProbe::TSystemProbe() : priorityClass_(Platform().PriorityClass()) {}

void TSystemProbe::SetPriorityClass(uint32_t priorityClass) {
    if (priorityClass == priorityClass_) return;
    Platform().SetPriorityClass(priorityClass);
    priorityClass_ = Platform().PriorityClass();
}
