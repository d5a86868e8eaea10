// Command-line switch names the engine reads or passes to its processes.

#ifndef CEFENGINE_COMMON_SWITCHES_H_
#define CEFENGINE_COMMON_SWITCHES_H_

namespace cefengine {
namespace switches {

inline constexpr char kProcessType[] = "type";
inline constexpr char kRendererProcess[] = "renderer";
inline constexpr char kLogFile[] = "log-file";
inline constexpr char kLogSeverity[] = "log-severity";
inline constexpr char kVerboseLevel[] = "v";
inline constexpr char kNoSandbox[] = "no-sandbox";
inline constexpr char kRemoteDebuggingPort[] = "remote-debugging-port";
inline constexpr char kWindowClass[] = "class";
// The descriptor of the renderer-role process's end of its channel.
inline constexpr char kRendererChannel[] = "engine-channel-fd";
// The browser process id, so the renderer role can tell whether its parent
// is already gone when it starts.
inline constexpr char kBrowserPid[] = "engine-browser-pid";

}  // namespace switches
}  // namespace cefengine

#endif  // CEFENGINE_COMMON_SWITCHES_H_
