// URL parsing and building, Base64 and URI escaping, and JSON.

#ifndef CEF_INCLUDE_CEF_PARSER_H_
#define CEF_INCLUDE_CEF_PARSER_H_
#pragma once

#include <vector>

#include "include/cef_base.h"
#include "include/cef_values.h"

// Resolves |relative_url| against |base_url| into |resolved_url|.
bool CefResolveURL(const CefString& base_url,
                   const CefString& relative_url,
                   CefString& resolved_url);

// Canonicalises an absolute URL and splits it into |parts|. Returns false
// for anything that is not a valid absolute URL.
bool CefParseURL(const CefString& url, CefURLParts& parts);

// Builds a URL from |parts|: either |spec| or at least |host| and |scheme|.
bool CefCreateURL(const CefURLParts& parts, CefString& url);

// The URL reduced to what a user needs to judge its origin.
CefString CefFormatUrlForSecurityDisplay(const CefString& origin_url);

// The MIME type for a file extension (without the dot), or empty.
CefString CefGetMimeType(const CefString& extension);

// Appends the known extensions of |mime_type| to |extensions|.
void CefGetExtensionsForMimeType(const CefString& mime_type,
                                 std::vector<CefString>& extensions);

CefString CefBase64Encode(const void* data, size_t data_size);

// nullptr when |data| is not valid Base64 or decodes to nothing.
CefRefPtr<CefBinaryValue> CefBase64Decode(const CefString& data);

// Escapes everything but unreserved characters, encoding as UTF-8 first;
// a space becomes "+" with |use_plus|, "%20" otherwise.
CefString CefURIEncode(const CefString& text, bool use_plus);

// Unescapes per |unescape_rule|. With |convert_to_utf8| the bytes are read
// as UTF-8 and the text is left escaped if they are not valid UTF-8.
CefString CefURIDecode(const CefString& text,
                       bool convert_to_utf8,
                       cef_uri_unescape_rule_t unescape_rule);

// Parses JSON into a value; nullptr on any error.
CefRefPtr<CefValue> CefParseJSON(const CefString& json_string,
                                 cef_json_parser_options_t options);
CefRefPtr<CefValue> CefParseJSON(const void* json,
                                 size_t json_size,
                                 cef_json_parser_options_t options);

// As CefParseJSON; on failure |error_msg_out| describes the error.
CefRefPtr<CefValue> CefParseJSONAndReturnError(
    const CefString& json_string,
    cef_json_parser_options_t options,
    CefString& error_msg_out);

// Serialises |node|; empty on failure.
CefString CefWriteJSON(CefRefPtr<CefValue> node,
                       cef_json_writer_options_t options);

#endif  // CEF_INCLUDE_CEF_PARSER_H_
