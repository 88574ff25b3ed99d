#pragma once

// CProcess: one entry of process control.

#include <cstdint>
#include <string>

// A program or file that starts when its execution condition holds after a
// record, with an optional release condition that must hold before it may
// start again.
class CProcess {
public:
    virtual ~CProcess() = default;

    std::string Program;
    std::string Parameter;
    std::string ExecCondition;
    std::string ReleaseCondition;
    // Started and waiting for its release condition; not stored.
    std::uint8_t Waiting = 0;
    // No release condition: it starts with every record whose condition holds.
    std::uint8_t NoRelease = 0;
};
