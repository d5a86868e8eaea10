#include "app/process_role.h"

#include <string>

ProcessRole GetProcessRole(CefRefPtr<CefCommandLine> commandLine) {
  if (!commandLine->HasSwitch("type")) {
    return ProcessRole::Browser;
  }
  const std::string type = commandLine->GetSwitchValue("type").ToString();
  if (type == "renderer" || type == "zygote") {
    return ProcessRole::Renderer;
  }
  return ProcessRole::Other;
}
