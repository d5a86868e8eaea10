// Client-side hooks of a panel (a view that holds other views).

#ifndef CEF_INCLUDE_VIEWS_CEF_PANEL_DELEGATE_H_
#define CEF_INCLUDE_VIEWS_CEF_PANEL_DELEGATE_H_
#pragma once

#include "include/views/cef_view_delegate.h"

class CefPanelDelegate : public CefViewDelegate {};

#endif  // CEF_INCLUDE_VIEWS_CEF_PANEL_DELEGATE_H_
