#pragma once
// Starting other programs: with an argument list, never through a shell.
#include <atomic>
#include <string>
#include <vector>

namespace rg_com_ptl_xyh {

// Runs a program and waits for it, looking every 100 ms; the exit code, or
// -1 when it could not start, was killed, or ran past timeoutMs (it is then
// killed). Setting *abort stops the wait the same way.
int RunAndWait(const std::vector<std::string>& argv, int timeoutMs,
               const std::atomic<bool>* abort = nullptr);

// Starts a program on its own; false when it could not be started.
bool StartDetached(const std::vector<std::string>& argv);

// The system's ping sending one echo request to host and waiting at most
// waitSeconds for the answer; it exits 0 when one came.
std::vector<std::string> PingCommand(const std::string& host, int waitSeconds);

}  // namespace rg_com_ptl_xyh
