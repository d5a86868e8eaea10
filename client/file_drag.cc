#include "client/file_drag.h"

#include "bridge/common/bridge_messages.h"
#include "client/shell_client.h"
#include "include/cef_parser.h"
#include "include/wrapper/cef_helpers.h"

namespace {

constexpr char kDragLinkPrefix[] = "korvel://drag?paths=";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Well-formed UTF-8: shortest forms only, no surrogates, at most U+10FFFF.
bool IsUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = text[i];
    size_t extra = 0;
    unsigned long code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xc2 && lead <= 0xdf) {
      extra = 1;
      code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      extra = 2;
      code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      extra = 3;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - i <= extra) {
      return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
      const unsigned char next = text[i + k];
      if ((next & 0xc0) != 0x80) {
        return false;
      }
      code = (code << 6) | (next & 0x3f);
    }
    if ((extra == 2 && (code < 0x800 || (code >= 0xd800 && code <= 0xdfff))) ||
        (extra == 3 && (code < 0x10000 || code > 0x10ffff))) {
      return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string DroppedFilesJson(const std::vector<std::string>& paths) {
  CefRefPtr<CefListValue> list = CefListValue::Create();
  for (size_t i = 0; i < paths.size(); ++i) {
    list->SetString(i, paths[i]);
  }
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetList(list);
  return CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString();
}

bool PercentDecodeUtf8(const std::string& text, std::string& decoded) {
  decoded.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 +
                                          HexDigit(text[i + 2])));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return IsUtf8(decoded);
}

bool PathListFromJson(const std::string& json,
                      std::vector<std::string>& paths) {
  CefRefPtr<CefValue> value = CefParseJSON(json, JSON_PARSER_RFC);
  if (!value || value->GetType() != VTYPE_LIST) {
    return false;
  }
  CefRefPtr<CefListValue> list = value->GetList();
  paths.clear();
  for (size_t i = 0; i < list->GetSize(); ++i) {
    if (list->GetType(i) == VTYPE_STRING) {
      const std::string path = list->GetString(i).ToString();
      if (!path.empty()) {
        paths.push_back(path);
      }
    }
  }
  return true;
}

bool DragLinkPaths(const std::string& text, std::vector<std::string>& paths) {
  const size_t at = text.find(kDragLinkPrefix);
  if (at == std::string::npos) {
    return false;
  }
  const std::string payload = text.substr(at + sizeof kDragLinkPrefix - 1);
  if (PathListFromJson(payload, paths)) {
    return true;
  }
  // A percent-encoded payload names the bytes of UTF-8 text; anything else
  // would name some other file.
  std::string decoded;
  return PercentDecodeUtf8(payload, decoded) &&
         PathListFromJson(decoded, paths);
}

std::string DraggedFileName(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  if (separator == std::string::npos) {
    return path;
  }
  if (separator + 1 == path.size()) {
    return "file";
  }
  return path.substr(separator + 1);
}

bool ConvertDragLink(CefRefPtr<CefDragData> data) {
  std::vector<std::string> paths;
  bool found = false;
  for (const CefString& text :
       {data->GetFragmentText(), data->GetLinkURL(), data->GetLinkMetadata()}) {
    if (DragLinkPaths(text.ToString(), paths)) {
      found = true;
      break;
    }
  }
  if (!found) {
    return false;
  }
  data->SetLinkURL("");
  data->SetLinkTitle("");
  data->SetLinkMetadata("");
  data->SetFragmentText("");
  data->SetFragmentHtml("");
  data->SetFragmentBaseURL("");
  data->ClearFilenames();
  for (const std::string& path : paths) {
    data->AddFile(path, DraggedFileName(path));
  }
  return true;
}

bool ShellClient::OnDragEnter(CefRefPtr<CefBrowser> browser,
                              CefRefPtr<CefDragData> dragData,
                              CefDragHandler::DragOperationsMask mask) {
  CEF_REQUIRE_UI_THREAD();
  std::vector<std::string> paths;
  std::vector<CefString> files;
  if (dragData && dragData->IsFile() && dragData->GetFilePaths(files)) {
    for (const CefString& file : files) {
      paths.push_back(file.ToString());
    }
  }
  CefRefPtr<CefFrame> frame = browser ? browser->GetMainFrame() : nullptr;
  if (frame) {
    CefRefPtr<CefProcessMessage> message =
        CefProcessMessage::Create(bridge::kOnDragFile);
    message->GetArgumentList()->SetString(0, DroppedFilesJson(paths));
    frame->SendProcessMessage(PID_RENDERER, message);
  }
  // The page still gets its own drag and drop events.
  return false;
}

// Only drags out of the page are of interest; the view draws itself.
void ShellClient::GetViewRect(CefRefPtr<CefBrowser> browser, CefRect& rect) {}

void ShellClient::OnPaint(CefRefPtr<CefBrowser> browser,
                          PaintElementType type,
                          const RectList& dirtyRects,
                          const void* buffer,
                          int width,
                          int height) {}

bool ShellClient::StartDragging(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefDragData> drag_data,
    CefRenderHandler::DragOperationsMask allowed_ops,
    int x,
    int y) {
  CEF_REQUIRE_UI_THREAD();
  if (drag_data) {
    ConvertDragLink(drag_data);
  }
  // The engine runs the drag with the data as it is now.
  return false;
}
