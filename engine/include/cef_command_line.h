// A process command line: program, switches ("--name" or "--name=value")
// and plain arguments.

#ifndef CEF_INCLUDE_CEF_COMMAND_LINE_H_
#define CEF_INCLUDE_CEF_COMMAND_LINE_H_
#pragma once

#include <map>
#include <vector>

#include "include/cef_base.h"

class CefCommandLine : public virtual CefBaseRefCounted {
 public:
  typedef std::vector<CefString> ArgumentList;
  typedef std::map<CefString, CefString> SwitchMap;

  // A new, empty command line.
  static CefRefPtr<CefCommandLine> CreateCommandLine();

  // The process's command line, read-only; nullptr before the engine has
  // set it up.
  static CefRefPtr<CefCommandLine> GetGlobalCommandLine();

  virtual bool IsValid() = 0;
  virtual bool IsReadOnly() = 0;
  // A writable copy.
  virtual CefRefPtr<CefCommandLine> Copy() = 0;

  // Replaces the contents; argv[0] is the program.
  virtual void InitFromArgv(int argc, const char* const* argv) = 0;
  // Windows only: on Linux the production engine ignores the call, and so
  // does this engine. Use InitFromArgv.
  virtual void InitFromString(const CefString& command_line) = 0;
  // Empties everything but the program.
  virtual void Reset() = 0;

  // The program followed by every switch and argument, as given.
  virtual void GetArgv(std::vector<CefString>& argv) = 0;
  // The elements joined by single spaces, without any quoting.
  virtual CefString GetCommandLineString() = 0;

  virtual CefString GetProgram() = 0;
  virtual void SetProgram(const CefString& program) = 0;

  virtual bool HasSwitches() = 0;
  virtual bool HasSwitch(const CefString& name) = 0;
  // Empty when the switch is absent or has no value.
  virtual CefString GetSwitchValue(const CefString& name) = 0;
  virtual void GetSwitches(SwitchMap& switches) = 0;
  virtual void AppendSwitch(const CefString& name) = 0;
  // Replaces any earlier value of the switch.
  virtual void AppendSwitchWithValue(const CefString& name,
                                     const CefString& value) = 0;

  virtual bool HasArguments() = 0;
  virtual void GetArguments(ArgumentList& arguments) = 0;
  virtual void AppendArgument(const CefString& argument) = 0;

  // Puts |wrapper| (split at spaces) in front of the program, for example a
  // debugger.
  virtual void PrependWrapper(const CefString& wrapper) = 0;
};

#endif  // CEF_INCLUDE_CEF_COMMAND_LINE_H_
