// What one chart costs a process that starts for it: the plotwise program run from start to
// exit (loading the plug-in and the libraries it needs, starting it, drawing one chart,
// shutting down), as a script or a server-side call that starts a fresh engine pays it.
#pragma once

namespace plotwise::bench {

// Registers "program/one chart, start to exit": wall time per run, and the CPU time of the
// child (user and system) as the counter child_cpu_ms.
void registerProgramStartCases();

}  // namespace plotwise::bench
