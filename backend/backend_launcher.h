#ifndef KORVEL_BACKEND_BACKEND_LAUNCHER_H_
#define KORVEL_BACKEND_BACKEND_LAUNCHER_H_

#include <string>

#include "config/launch_config.h"

// Where an installed backend lives when no newer release is found.
constexpr char defaultBackendPath[] = "/opt/korvel/korvel-backend";
// Looked for in the working directory when nothing else exists.
constexpr char fallbackBackendName[] = "korvel-backend";

// The executable to launch: the release's when one was found with a version
// above the build number, else `defaultPath` when it exists, else
// `workingDir` joined with the fallback name.
std::string ChooseBackendExecutable(const LaunchConfig& config,
                                    const std::string& defaultPath,
                                    const std::string& workingDir);

// Only the browser process calls StartBackend and RunBackendProcess, and
// only when its entry point decides to: nothing here starts a backend on its
// own. Every other process role must leave them alone.

// Starts a backend on a detached launcher thread unless one is running or
// being launched. Returns at once.
void StartBackend();

// Launches one backend and blocks until it has exited and been reaped. An
// exit that no hot restart asked for, or a failed launch outside a restart,
// closes all browsers. Runs on the launcher thread, or directly on the
// entry point's thread when the engine refuses to start.
void RunBackendProcess();

#endif  // KORVEL_BACKEND_BACKEND_LAUNCHER_H_
