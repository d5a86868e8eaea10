// CefCommandLine with the POSIX parsing rules of the production engine:
// switches start with "--" or "-", a lone "--" ends switch parsing, names
// are lower-cased (as Chromium 138 does on every platform), the last value of
// a repeated switch wins, and the command line string is the elements joined
// by spaces without quoting.

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "include/cef_command_line.h"
#include "src/base/command_line_global.h"

namespace cef_base {
namespace {

constexpr char kSwitchTerminator[] = "--";

std::string TrimAsciiWhitespace(const std::string& text) {
  const char* kWhitespace = " \t\n\v\f\r";
  const size_t begin = text.find_first_not_of(kWhitespace);
  if (begin == std::string::npos) {
    return std::string();
  }
  const size_t end = text.find_last_not_of(kWhitespace);
  return text.substr(begin, end - begin + 1);
}

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

size_t SwitchPrefixLength(const std::string& arg) {
  if (arg.compare(0, 2, "--") == 0) {
    return 2;
  }
  if (arg.compare(0, 1, "-") == 0) {
    return 1;
  }
  return 0;
}

// Splits "--name=value" into "--name" and "value".
bool IsSwitch(const std::string& arg, std::string* name, std::string* value) {
  name->clear();
  value->clear();
  const size_t prefix = SwitchPrefixLength(arg);
  if (prefix == 0 || prefix == arg.size()) {
    return false;
  }
  const size_t equals = arg.find('=');
  *name = arg.substr(0, equals);
  if (equals != std::string::npos) {
    *value = arg.substr(equals + 1);
  }
  return true;
}

// The program, then switches in the order given, then arguments.
struct CommandLineData {
  std::vector<std::string> argv{std::string()};
  std::map<std::string, std::string> switches;
  size_t begin_args = 1;

  void SetProgram(const std::string& program) {
    argv[0] = TrimAsciiWhitespace(program);
  }

  void AppendSwitch(const std::string& given_name, const std::string& value) {
    const std::string name_with_prefix = AsciiLower(given_name);
    const size_t prefix = SwitchPrefixLength(name_with_prefix);
    switches[name_with_prefix.substr(prefix)] = value;
    std::string element = prefix ? name_with_prefix : "--" + name_with_prefix;
    if (!value.empty()) {
      element += "=" + value;
    }
    argv.insert(argv.begin() + static_cast<std::ptrdiff_t>(begin_args),
                element);
    ++begin_args;
  }

  void AppendArgument(const std::string& argument) { argv.push_back(argument); }

  void InitFromArgv(const std::vector<std::string>& args) {
    argv.assign(1, std::string());
    switches.clear();
    begin_args = 1;
    SetProgram(args.empty() ? std::string() : args[0]);
    bool parse_switches = true;
    for (size_t i = 1; i < args.size(); ++i) {
      const std::string arg = TrimAsciiWhitespace(args[i]);
      parse_switches &= arg != kSwitchTerminator;
      std::string name, value;
      if (parse_switches && IsSwitch(arg, &name, &value)) {
        AppendSwitch(name, value);
      } else {
        AppendArgument(arg);
      }
    }
  }

  // Arguments after the switches, without the first "--".
  std::vector<std::string> Arguments() const {
    std::vector<std::string> args(
        argv.begin() + static_cast<std::ptrdiff_t>(begin_args), argv.end());
    for (auto it = args.begin(); it != args.end(); ++it) {
      if (*it == kSwitchTerminator) {
        args.erase(it);
        break;
      }
    }
    return args;
  }

  std::string CommandLineString() const {
    std::string text = argv[0];
    bool parse_switches = true;
    for (size_t i = 1; i < argv.size(); ++i) {
      const std::string& arg = argv[i];
      parse_switches &= arg != kSwitchTerminator;
      text += " ";
      std::string name, value;
      if (parse_switches && IsSwitch(arg, &name, &value)) {
        text += name;
        if (!value.empty()) {
          text += "=" + value;
        }
      } else {
        text += arg;
      }
    }
    return text;
  }
};

class CommandLineImpl : public CefCommandLine {
 public:
  explicit CommandLineImpl(bool read_only) : read_only_(read_only) {}

  bool IsValid() override { return true; }
  bool IsReadOnly() override { return read_only_; }

  CefRefPtr<CefCommandLine> Copy() override {
    CefRefPtr<CommandLineImpl> copy = new CommandLineImpl(false);
    copy->Replace(Data());
    return copy;
  }

  void InitFromArgv(int argc, const char* const* argv) override {
    std::vector<std::string> args;
    for (int i = 0; argv && i < argc; ++i) {
      args.push_back(argv[i] ? argv[i] : "");
    }
    Modify([&](CommandLineData& data) { data.InitFromArgv(args); });
  }

  // The production engine supports this on Windows only; on Linux it
  // leaves the command line unchanged, and so does this one.
  void InitFromString(const CefString& /*command_line*/) override {}

  void Reset() override {
    Modify([](CommandLineData& data) {
      const std::string program = data.argv[0];
      data = CommandLineData();
      data.SetProgram(program);
    });
  }

  void GetArgv(std::vector<CefString>& argv) override {
    for (const std::string& arg : Data().argv) {
      argv.push_back(arg);
    }
  }

  CefString GetCommandLineString() override {
    return Data().CommandLineString();
  }

  CefString GetProgram() override { return Data().argv[0]; }

  void SetProgram(const CefString& program) override {
    const std::string text = program.ToString();
    Modify([&](CommandLineData& data) { data.SetProgram(text); });
  }

  bool HasSwitches() override { return !Data().switches.empty(); }

  // Names are stored and looked up in lower case.
  bool HasSwitch(const CefString& name) override {
    return Data().switches.count(AsciiLower(name.ToString())) > 0;
  }

  CefString GetSwitchValue(const CefString& name) override {
    const CommandLineData data = Data();
    auto it = data.switches.find(AsciiLower(name.ToString()));
    return it == data.switches.end() ? CefString() : CefString(it->second);
  }

  void GetSwitches(SwitchMap& switches) override {
    for (const auto& [name, value] : Data().switches) {
      switches.insert(std::make_pair(CefString(name), CefString(value)));
    }
  }

  void AppendSwitch(const CefString& name) override {
    const std::string text = name.ToString();
    Modify([&](CommandLineData& data) { data.AppendSwitch(text, ""); });
  }

  void AppendSwitchWithValue(const CefString& name,
                             const CefString& value) override {
    const std::string name_text = name.ToString();
    const std::string value_text = value.ToString();
    Modify([&](CommandLineData& data) {
      data.AppendSwitch(name_text, value_text);
    });
  }

  bool HasArguments() override { return !Data().Arguments().empty(); }

  void GetArguments(ArgumentList& arguments) override {
    for (const std::string& arg : Data().Arguments()) {
      arguments.push_back(arg);
    }
  }

  void AppendArgument(const CefString& argument) override {
    const std::string text = argument.ToString();
    Modify([&](CommandLineData& data) { data.AppendArgument(text); });
  }

  void PrependWrapper(const CefString& wrapper) override {
    const std::string text = wrapper.ToString();
    if (text.empty()) {
      return;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
      const size_t space = text.find(' ', start);
      parts.push_back(TrimAsciiWhitespace(text.substr(start, space - start)));
      if (space == std::string::npos) {
        break;
      }
      start = space + 1;
    }
    Modify([&](CommandLineData& data) {
      data.argv.insert(data.argv.begin(), parts.begin(), parts.end());
      data.begin_args += parts.size();
    });
  }

  // Engine-internal: replaces the contents even when read-only.
  void Replace(const CommandLineData& data) {
    std::lock_guard<std::mutex> lock(lock_);
    data_ = data;
  }

  CommandLineData Data() {
    std::lock_guard<std::mutex> lock(lock_);
    return data_;
  }

 private:
  template <typename Fn>
  void Modify(Fn fn) {
    if (read_only_) {
      return;
    }
    std::lock_guard<std::mutex> lock(lock_);
    fn(data_);
  }

  const bool read_only_;
  std::mutex lock_;
  CommandLineData data_;

  IMPLEMENT_REFCOUNTING(CommandLineImpl);
};

std::mutex& GlobalLock() {
  static std::mutex lock;
  return lock;
}

CefRefPtr<CommandLineImpl>& GlobalCommandLine() {
  static CefRefPtr<CommandLineImpl>* global = new CefRefPtr<CommandLineImpl>();
  return *global;
}

}  // namespace

void SetGlobalCommandLine(CefRefPtr<CefCommandLine> command_line) {
  if (!command_line) {
    return;
  }
  const CommandLineData data =
      static_cast<CommandLineImpl*>(command_line.get())->Data();
  std::lock_guard<std::mutex> lock(GlobalLock());
  CefRefPtr<CommandLineImpl>& global = GlobalCommandLine();
  if (!global) {
    global = new CommandLineImpl(/*read_only=*/true);
  }
  // The same object stays global, so references taken earlier see the
  // update, as with the production engine's process command line.
  global->Replace(data);
}

}  // namespace cef_base

// static
CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() {
  return new cef_base::CommandLineImpl(/*read_only=*/false);
}

// static
CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine() {
  std::lock_guard<std::mutex> lock(cef_base::GlobalLock());
  return cef_base::GlobalCommandLine();
}
