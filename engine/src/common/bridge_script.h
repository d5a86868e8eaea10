// The script side of the bridge between pages and the renderer role.
//
// The browser injects one script into every document (all frames, before
// the page's own scripts). It gives the document an identifier, turns every
// "native function NAME();" declaration of the registered extensions into a
// function that calls prompt(token, request) synchronously, and listens for
// code relayed to the frame by postMessage. The page's prompt() never sees
// the token: the browser answers tagged prompts itself.
//
// A call request (JSON in the prompt's default value, which carries any
// text intact) is an object with:
//   d: the document identifier, m: whether the frame is the main frame,
//   u: the document URL, n: the frame name, h: whether focus is in the
//   document itself (not in a child frame), x: the extension index, c: the
//   function name, a: the arguments.
// Each argument and the result are tagged objects {t, v} or {t, x}:
//   t = "u" undefined, "z" null, "b" bool, "s" string, "i" int32,
//   "j" uint32 above int32, "d" double (x holds "NaN", "Infinity",
//   "-Infinity" or "-0" for values JSON cannot carry), "o" object,
//   "a" array, "f" function (their contents are not carried).
// The reply is {v: value} or {e: exception text}.

#ifndef CEFENGINE_COMMON_BRIDGE_SCRIPT_H_
#define CEFENGINE_COMMON_BRIDGE_SCRIPT_H_

#include <string>
#include <vector>

namespace cefengine {

struct ExtensionSource {
  std::string name;
  std::string code;
};

// The document script for |extensions| (index = position). |token| tags the
// bridge's prompts and relayed messages; it must be unguessable.
std::string BuildPageScript(const std::string& token,
                            const std::vector<ExtensionSource>& extensions);

// Rewrites the "native function NAME(...);" declarations of |code| into
// functions that call |call_function|(index, "NAME", arguments).
std::string RewriteNativeDeclarations(const std::string& code,
                                      int index,
                                      const std::string& call_function);

// Code for the main frame (run in an isolated world) that hands |code| to
// the document |document_id| in any descendant frame.
std::string BuildRelayScript(const std::string& token,
                             const std::string& document_id,
                             const std::string& code);

// |text| as a JSON string literal, which is also a valid script literal
// (U+2028 and U+2029 escaped as well).
std::string JsonQuote(const std::string& text);

// A fresh random token of 32 hex digits.
std::string NewBridgeToken();

// Frame identifiers shared by both processes: the main frame keeps one
// identifier for the browser's life; a sub-frame document gets one per
// document.
std::string MainFrameId(int browser_id);
std::string SubFrameId(int browser_id, const std::string& document_id);
// The document part of a sub-frame identifier, empty for others.
std::string DocumentIdOf(const std::string& frame_id);

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_BRIDGE_SCRIPT_H_
