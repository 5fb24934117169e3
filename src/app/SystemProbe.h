// The process as the priority setting sees it.
#pragma once

#include <cstdint>

class TSystemProbe {
public:
    // Reads the current priority class of the process.
    TSystemProbe();
    uint32_t PriorityClass() const { return priorityClass_; }
    // Changes the class only when it differs from the one read.
    void SetPriorityClass(uint32_t priorityClass);

private:
    uint32_t priorityClass_;
};
