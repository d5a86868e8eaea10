#include "common/bridge_script.h"

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <regex>

namespace cefengine {

namespace {

// The document bootstrap. TOKEN and CALL are replaced before use. It keeps
// its own references to everything it calls so that later changes the page
// makes to built-ins cannot reach the bridge.
constexpr char kBootstrap[] = R"JS(const CALL = (function () {
  'use strict';
  const token = TOKEN;
  const promptFn = window.prompt;
  const stringify = JSON.stringify;
  const parse = JSON.parse;
  const hasFocus = Document.prototype.hasFocus;
  const activeElement =
      Object.getOwnPropertyDescriptor(Document.prototype, 'activeElement').get;
  const FrameElements = [HTMLIFrameElement, HTMLFrameElement];
  const isArray = Array.isArray;
  const isInteger = Number.isInteger;
  const isFinite = Number.isFinite;
  const is = Object.is;
  const ErrorType = Error;
  const evalFn = eval;
  const isMain = window === window.top;
  const words = new Uint32Array(4);
  crypto.getRandomValues(words);
  let doc = '';
  for (let i = 0; i < words.length; ++i) doc += words[i].toString(16) + 'x';
  window.addEventListener('message', function (event) {
    const data = event.data;
    if (data === null || typeof data !== 'object' || data.k !== token ||
        data.t !== doc) {
      return;
    }
    event.stopImmediatePropagation();
    evalFn(data.c);
  }, true);
  // True when focus is in this document itself, not in a child frame.
  function focused() {
    if (!hasFocus.call(document)) return false;
    const active = activeElement.call(document);
    for (let i = 0; i < FrameElements.length; ++i) {
      if (active instanceof FrameElements[i]) return false;
    }
    return true;
  }
  function encode(value) {
    switch (typeof value) {
      case 'undefined': return {t: 'u'};
      case 'boolean': return {t: 'b', v: value};
      case 'string': return {t: 's', v: value};
      case 'number':
        if (isInteger(value) && !is(value, -0)) {
          if (value >= -2147483648 && value <= 2147483647) {
            return {t: 'i', v: value};
          }
          if (value >= 0 && value <= 4294967295) return {t: 'j', v: value};
        }
        if (isFinite(value) && !is(value, -0)) return {t: 'd', v: value};
        return {t: 'd', x: is(value, -0) ? '-0' : '' + value};
      case 'function': return {t: 'f'};
      default:
        if (value === null) return {t: 'z'};
        return {t: isArray(value) ? 'a' : 'o'};
    }
  }
  function decode(value) {
    switch (value.t) {
      case 'z': return null;
      case 'b': case 's': case 'i': case 'j': return value.v;
      case 'd': return 'x' in value ? +value.x : value.v;
      default: return undefined;
    }
  }
  // A link opened by a modifier or middle click without a window target of
  // its own (attribute or <base>) is reported, before its request: Chromium
  // sends it to OnOpenURLFromTab, where a link with a target is a popup.
  function noteLinkClick(event) {
    if (event.defaultPrevented || !event.isTrusted) return;
    if (event.button !== 1 && !event.ctrlKey && !event.shiftKey &&
        !event.metaKey) {
      return;
    }
    const element = event.target;
    const link = element && element.closest ?
        element.closest('a[href], area[href]') : null;
    if (!link) return;
    const base = document.querySelector('base[target]');
    const target = (link.getAttribute('target') ||
        (base ? base.getAttribute('target') : '') || '').toLowerCase();
    if (target !== '' && target !== '_self' && target !== '_top' &&
        target !== '_parent') {
      return;
    }
    promptFn.call(window, token, stringify({k: 'link', u: '' + link.href}));
  }
  window.addEventListener('click', noteLinkClick, false);
  window.addEventListener('auxclick', noteLinkClick, false);
  return function (extension, name, args) {
    const encoded = [];
    for (let i = 0; i < args.length; ++i) encoded[i] = encode(args[i]);
    const request = stringify({
      d: doc, m: isMain, u: '' + location.href, n: '' + window.name,
      h: focused(), x: extension, c: name, a: encoded});
    const reply = promptFn.call(window, token, request);
    if (typeof reply !== 'string') {
      throw new ErrorType('Native function ' + name + ' is unavailable');
    }
    const result = parse(reply);
    if ('e' in result) throw new ErrorType(result.e);
    return decode(result.v);
  };
})();
)JS";

void ReplaceAll(std::string* text,
                const std::string& from,
                const std::string& to) {
  for (size_t pos = text->find(from); pos != std::string::npos;
       pos = text->find(from, pos + to.size())) {
    text->replace(pos, from.size(), to);
  }
}

}  // namespace

std::string BuildPageScript(const std::string& token,
                            const std::vector<ExtensionSource>& extensions) {
  // A script-scope binding: shared with the extension code below, not a
  // property of the window, and its random name keeps page code from
  // declaring the same one by chance.
  const std::string call = "__cefNativeCall_" + NewBridgeToken();
  std::string script = kBootstrap;
  ReplaceAll(&script, "TOKEN", JsonQuote(token));
  ReplaceAll(&script, "CALL", call);
  for (size_t i = 0; i < extensions.size(); ++i) {
    script += "// " + extensions[i].name + "\n";
    script += RewriteNativeDeclarations(extensions[i].code, static_cast<int>(i),
                                        call);
    script += "\n;\n";
  }
  return script;
}

std::string RewriteNativeDeclarations(const std::string& code,
                                      int index,
                                      const std::string& call_function) {
  static const std::regex kDeclaration(
      R"(native\s+function\s+([A-Za-z_$][A-Za-z0-9_$]*)\s*\([^)]*\)\s*;)");
  std::string out;
  auto begin = std::sregex_iterator(code.begin(), code.end(), kDeclaration);
  size_t last = 0;
  for (auto it = begin; it != std::sregex_iterator(); ++it) {
    const std::smatch& match = *it;
    out.append(code, last, match.position(0) - last);
    const std::string name = match[1].str();
    out += "function " + name + "() { return " + call_function + "(" +
           std::to_string(index) + ", " + JsonQuote(name) + ", arguments); }";
    last = match.position(0) + match.length(0);
  }
  out.append(code, last, std::string::npos);
  return out;
}

std::string BuildRelayScript(const std::string& token,
                             const std::string& document_id,
                             const std::string& code) {
  return "(function () {\n"
         "  const message = {k: " +
         JsonQuote(token) + ", t: " + JsonQuote(document_id) +
         ", c: " + JsonQuote(code) +
         "};\n"
         "  const walk = function (w) {\n"
         "    for (let i = 0; i < w.length; ++i) {\n"
         "      const child = w[i];\n"
         "      try { child.postMessage(message, '*'); } catch (e) {}\n"
         "      walk(child);\n"
         "    }\n"
         "  };\n"
         "  walk(window);\n"
         "})();";
}

std::string JsonQuote(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else if (c == 0xe2 && i + 2 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0xa8 ||
                    static_cast<unsigned char>(text[i + 2]) == 0xa9)) {
          // Line and paragraph separators end a line in older script
          // grammars.
          out += static_cast<unsigned char>(text[i + 2]) == 0xa8 ? "\\u2028"
                                                                 : "\\u2029";
          i += 2;
        } else if (c == '<') {
          // Keeps "</script>" harmless should the text ever land in HTML.
          out += "\\u003c";
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += "\"";
  return out;
}

std::string NewBridgeToken() {
  unsigned char bytes[16] = {};
  bool filled = false;
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    filled = read(fd, bytes, sizeof(bytes)) == sizeof(bytes);
    close(fd);
  }
  if (!filled) {
    std::random_device device;
    for (unsigned char& byte : bytes)
      byte = static_cast<unsigned char>(device());
  }
  static const char kHex[] = "0123456789abcdef";
  std::string token;
  for (unsigned char byte : bytes) {
    token += kHex[byte >> 4];
    token += kHex[byte & 15];
  }
  return token;
}

std::string MainFrameId(int browser_id) {
  return std::to_string(browser_id) + "-0";
}

std::string SubFrameId(int browser_id, const std::string& document_id) {
  return std::to_string(browser_id) + "-s" + document_id;
}

std::string DocumentIdOf(const std::string& frame_id) {
  const size_t pos = frame_id.find("-s");
  return pos == std::string::npos ? std::string() : frame_id.substr(pos + 2);
}

}  // namespace cefengine
