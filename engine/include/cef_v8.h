// Script values, handlers and contexts of the renderer process. The engine
// declares the part of the script API that its applications use: primitive
// values, native handlers of script extensions and frame contexts.

#ifndef CEF_INCLUDE_CEF_V8_H_
#define CEF_INCLUDE_CEF_V8_H_
#pragma once

#include <vector>

#include "include/cef_base.h"

class CefBrowser;
class CefFrame;
class CefV8Handler;
class CefV8Value;

// Registers a script extension: |javascript_code| runs in every frame before
// the frame's own scripts. Each "native function NAME();" declaration in it
// becomes a function that calls |handler|'s Execute with NAME. Call from
// CefRenderProcessHandler::OnWebKitInitialized. Returns false when the name
// or code is empty, or when called elsewhere than the renderer main thread.
bool CefRegisterExtension(const CefString& extension_name,
                          const CefString& javascript_code,
                          CefRefPtr<CefV8Handler> handler);

// The script context of one frame's document. Renderer main thread.
class CefV8Context : public virtual CefBaseRefCounted {
 public:
  // The context whose script is running now (the caller of a native
  // function), or the innermost entered context; null when none.
  static CefRefPtr<CefV8Context> GetCurrentContext();
  // The innermost entered context, or the current one; null when none.
  static CefRefPtr<CefV8Context> GetEnteredContext();
  // True while some context is current.
  static bool InContext();

  // False once the frame's document is gone.
  virtual bool IsValid() = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  virtual CefRefPtr<CefFrame> GetFrame() = 0;
  // Makes this the current context; calls must pair with Exit.
  virtual bool Enter() = 0;
  virtual bool Exit() = 0;
  virtual bool IsSame(CefRefPtr<CefV8Context> that) = 0;
};

typedef std::vector<CefRefPtr<CefV8Value>> CefV8ValueList;

// Implemented by the application: answers native functions.
class CefV8Handler : public virtual CefBaseRefCounted {
 public:
  // Called for the native function |name| with its |arguments|. Set
  // |retval| to the function's result (undefined when left unset) or
  // |exception| to make the function throw an Error with that text. Return
  // true when the function was handled.
  virtual bool Execute(const CefString& name,
                       CefRefPtr<CefV8Value> object,
                       const CefV8ValueList& arguments,
                       CefRefPtr<CefV8Value>& retval,
                       CefString& exception) = 0;
};

// A script value. Numbers follow the script engine: an integral number in
// the signed 32-bit range is an int, one in the unsigned range above it a
// uint, any other number a double. Renderer main thread.
class CefV8Value : public virtual CefBaseRefCounted {
 public:
  static CefRefPtr<CefV8Value> CreateUndefined();
  static CefRefPtr<CefV8Value> CreateNull();
  static CefRefPtr<CefV8Value> CreateBool(bool value);
  static CefRefPtr<CefV8Value> CreateInt(int32_t value);
  static CefRefPtr<CefV8Value> CreateUInt(uint32_t value);
  static CefRefPtr<CefV8Value> CreateDouble(double value);
  static CefRefPtr<CefV8Value> CreateString(const CefString& value);

  virtual bool IsValid() = 0;
  virtual bool IsUndefined() = 0;
  virtual bool IsNull() = 0;
  virtual bool IsBool() = 0;
  // Either integer kind (an int or a uint): each reads as the other by
  // two's complement (GetIntValue of 4294967295 is -1).
  virtual bool IsInt() = 0;
  virtual bool IsUInt() = 0;
  // Any number.
  virtual bool IsDouble() = 0;
  virtual bool IsString() = 0;
  // Objects, arrays and functions passed from script (their contents are
  // not carried across to the handler).
  virtual bool IsObject() = 0;
  virtual bool IsArray() = 0;
  virtual bool IsFunction() = 0;
  virtual bool IsSame(CefRefPtr<CefV8Value> that) = 0;

  // Each getter returns the value when the type matches (numbers convert as
  // the Is* methods describe), else false, 0 or the empty string.
  virtual bool GetBoolValue() = 0;
  virtual int32_t GetIntValue() = 0;
  virtual uint32_t GetUIntValue() = 0;
  virtual double GetDoubleValue() = 0;
  virtual CefString GetStringValue() = 0;
};

#endif  // CEF_INCLUDE_CEF_V8_H_
