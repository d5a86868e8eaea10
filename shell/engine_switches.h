// The engine command-line edits that every process of the shell makes before
// the engine reads its command line: features merged into the user's own
// lists, and switches added only where the command line has none yet.

#ifndef KORVEL_SHELL_ENGINE_SWITCHES_H_
#define KORVEL_SHELL_ENGINE_SWITCHES_H_

#include <string>
#include <vector>

#include "include/cef_command_line.h"

// The X window class of every top-level window of the shell.
constexpr char kWindowClass[] = "KorVel";

// Features the shell turns off and on, in the order they are appended.
const std::vector<std::string>& FeaturesToDisable();
const std::vector<std::string>& FeaturesToEnable();

// All of the shell's edits of |commandLine|, in a fixed order.
void ApplyEngineSwitches(CefRefPtr<CefCommandLine> commandLine);

// Sets the comma-separated switch |name| to its current entries followed by
// |features|, dropping empty entries and repeats; leaves it alone when that
// changes nothing or leaves nothing.
void MergeFeatureSwitch(CefRefPtr<CefCommandLine> commandLine,
                        const std::string& name,
                        const std::vector<std::string>& features);

// Adds switch |name| (with |value|) unless the command line already has it.
void AppendSwitchIfMissing(CefRefPtr<CefCommandLine> commandLine,
                           const std::string& name);
void AppendSwitchIfMissing(CefRefPtr<CefCommandLine> commandLine,
                           const std::string& name,
                           const std::string& value);

#endif  // KORVEL_SHELL_ENGINE_SWITCHES_H_
