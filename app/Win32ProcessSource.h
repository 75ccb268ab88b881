// Process names and executable paths from the running system.
#pragma once

#include "core/ProcessSource.h"

class Win32ProcessSource : public ProcessSource {
public:
    // False when the snapshot delivered no process at all (it could not be taken).
    bool VisitSnapshot(const Visitor& visit) override;
    std::string ExecutablePathOf(std::uint32_t processId) override;
};
