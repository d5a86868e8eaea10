// Enumerations and plain C structures of the engine API. Names and numeric
// values are those of the production engine, so code written against this
// header behaves the same against either engine.

#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_H_
#pragma once

#include <limits.h>
#include <stddef.h>
#include <stdint.h>

#include "include/base/cef_build.h"
#include "include/internal/cef_string.h"
#include "include/internal/cef_string_list.h"
#include "include/internal/cef_types_content_settings.h"
#include "include/internal/cef_types_geometry.h"
#include "include/internal/cef_types_linux.h"

// 32-bit ARGB colour.
typedef uint32_t cef_color_t;

#define CefColorGetA(color) (((color) >> 24) & 0xFF)
#define CefColorGetR(color) (((color) >> 16) & 0xFF)
#define CefColorGetG(color) (((color) >> 8) & 0xFF)
#define CefColorGetB(color) (((color) >> 0) & 0xFF)

#define CefColorSetARGB(a, r, g, b)                                         \
  static_cast<cef_color_t>(                                                 \
      (static_cast<unsigned>(a) << 24) | (static_cast<unsigned>(r) << 16) | \
      (static_cast<unsigned>(g) << 8) | (static_cast<unsigned>(b) << 0))

#define CefInt64Set(int32_low, int32_high) \
  static_cast<int64_t>(                    \
      (static_cast<uint32_t>(int32_low)) | \
      (static_cast<int64_t>(static_cast<int32_t>(int32_high))) << 32)
#define CefInt64GetLow(int64_val) static_cast<int32_t>(int64_val)
#define CefInt64GetHigh(int64_val) \
  static_cast<int32_t>((static_cast<int64_t>(int64_val) >> 32) & 0xFFFFFFFFL)

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
  LOGSEVERITY_DEFAULT,
  LOGSEVERITY_VERBOSE,
  LOGSEVERITY_DEBUG = LOGSEVERITY_VERBOSE,
  LOGSEVERITY_INFO,
  LOGSEVERITY_WARNING,
  LOGSEVERITY_ERROR,
  LOGSEVERITY_FATAL,
  LOGSEVERITY_DISABLE = 99
} cef_log_severity_t;

typedef enum {
  LOG_ITEMS_DEFAULT = 0,
  LOG_ITEMS_NONE = 1,
  LOG_ITEMS_FLAG_PROCESS_ID = 1 << 1,
  LOG_ITEMS_FLAG_THREAD_ID = 1 << 2,
  LOG_ITEMS_FLAG_TIME_STAMP = 1 << 3,
  LOG_ITEMS_FLAG_TICK_COUNT = 1 << 4,
} cef_log_items_t;

// Tri-state for browser settings: DEFAULT leaves the engine's choice.
typedef enum {
  STATE_DEFAULT = 0,
  STATE_ENABLED,
  STATE_DISABLED,
} cef_state_t;

// Process-wide settings given to CefInitialize. Strings are owned by the
// C++ wrapper CefSettings.
typedef struct _cef_settings_t {
  size_t size;
  int no_sandbox;
  cef_string_t browser_subprocess_path;
  cef_string_t framework_dir_path;
  cef_string_t main_bundle_path;
  int multi_threaded_message_loop;
  int external_message_pump;
  int windowless_rendering_enabled;
  int command_line_args_disabled;
  cef_string_t cache_path;
  cef_string_t root_cache_path;
  int persist_session_cookies;
  cef_string_t user_agent;
  cef_string_t user_agent_product;
  cef_string_t locale;
  cef_string_t log_file;
  cef_log_severity_t log_severity;
  cef_log_items_t log_items;
  cef_string_t javascript_flags;
  cef_string_t resources_dir_path;
  cef_string_t locales_dir_path;
  int remote_debugging_port;
  int uncaught_exception_stack_size;
  cef_color_t background_color;
  cef_string_t accept_language_list;
  cef_string_t cookieable_schemes_list;
  int cookieable_schemes_exclude_defaults;
  cef_string_t chrome_policy_id;
  int chrome_app_icon_id;
  int disable_signal_handlers;
} cef_settings_t;

// Per-browser settings.
typedef struct _cef_browser_settings_t {
  size_t size;
  int windowless_frame_rate;
  cef_string_t standard_font_family;
  cef_string_t fixed_font_family;
  cef_string_t serif_font_family;
  cef_string_t sans_serif_font_family;
  cef_string_t cursive_font_family;
  cef_string_t fantasy_font_family;
  int default_font_size;
  int default_fixed_font_size;
  int minimum_font_size;
  int minimum_logical_font_size;
  cef_string_t default_encoding;
  cef_state_t remote_fonts;
  cef_state_t javascript;
  cef_state_t javascript_close_windows;
  cef_state_t javascript_access_clipboard;
  cef_state_t javascript_dom_paste;
  cef_state_t image_loading;
  cef_state_t image_shrink_standalone_to_fit;
  cef_state_t text_area_resize;
  cef_state_t tab_to_links;
  cef_state_t local_storage;
  cef_state_t databases_deprecated;
  cef_state_t webgl;
  cef_color_t background_color;
  cef_state_t chrome_status_bubble;
  cef_state_t chrome_zoom_bubble;
} cef_browser_settings_t;

typedef enum {
  RV_CANCEL = 0,
  RV_CONTINUE,
  RV_CONTINUE_ASYNC,
} cef_return_value_t;

// The parts of a URL as CefParseURL fills them.
typedef struct _cef_urlparts_t {
  size_t size;
  cef_string_t spec;
  cef_string_t scheme;
  cef_string_t username;
  cef_string_t password;
  cef_string_t host;
  cef_string_t port;
  cef_string_t origin;
  cef_string_t path;
  cef_string_t query;
  cef_string_t fragment;
} cef_urlparts_t;

typedef enum {
  TS_ABNORMAL_TERMINATION,
  TS_PROCESS_WAS_KILLED,
  TS_PROCESS_CRASHED,
  TS_PROCESS_OOM,
  TS_LAUNCH_FAILED,
  TS_INTEGRITY_FAILURE,
  TS_NUM_VALUES,
} cef_termination_status_t;

// Network error codes; see cef_net_error_list.h.
typedef enum {
  ERR_NONE = 0,
#define NET_ERROR(label, value) ERR_##label = value,
#include "include/base/internal/cef_net_error_list.h"
#undef NET_ERROR
} cef_errorcode_t;

typedef enum {
  CEF_WOD_UNKNOWN,
  CEF_WOD_CURRENT_TAB,
  CEF_WOD_SINGLETON_TAB,
  CEF_WOD_NEW_FOREGROUND_TAB,
  CEF_WOD_NEW_BACKGROUND_TAB,
  CEF_WOD_NEW_POPUP,
  CEF_WOD_NEW_WINDOW,
  CEF_WOD_SAVE_TO_DISK,
  CEF_WOD_OFF_THE_RECORD,
  CEF_WOD_IGNORE_ACTION,
  CEF_WOD_SWITCH_TO_TAB,
  CEF_WOD_NEW_PICTURE_IN_PICTURE,
  CEF_WOD_NUM_VALUES,
} cef_window_open_disposition_t;

typedef enum {
  DRAG_OPERATION_NONE = 0,
  DRAG_OPERATION_COPY = 1,
  DRAG_OPERATION_LINK = 2,
  DRAG_OPERATION_GENERIC = 4,
  DRAG_OPERATION_PRIVATE = 8,
  DRAG_OPERATION_MOVE = 16,
  DRAG_OPERATION_DELETE = 32,
  DRAG_OPERATION_EVERY = UINT_MAX
} cef_drag_operations_mask_t;

typedef enum {
  CEF_TEXT_INPUT_MODE_DEFAULT,
  CEF_TEXT_INPUT_MODE_NONE,
  CEF_TEXT_INPUT_MODE_TEXT,
  CEF_TEXT_INPUT_MODE_TEL,
  CEF_TEXT_INPUT_MODE_URL,
  CEF_TEXT_INPUT_MODE_EMAIL,
  CEF_TEXT_INPUT_MODE_NUMERIC,
  CEF_TEXT_INPUT_MODE_DECIMAL,
  CEF_TEXT_INPUT_MODE_SEARCH,
  CEF_TEXT_INPUT_MODE_NUM_VALUES,
} cef_text_input_mode_t;

typedef enum {
  RT_MAIN_FRAME = 0,
  RT_SUB_FRAME,
  RT_STYLESHEET,
  RT_SCRIPT,
  RT_IMAGE,
  RT_FONT_RESOURCE,
  RT_SUB_RESOURCE,
  RT_OBJECT,
  RT_MEDIA,
  RT_WORKER,
  RT_SHARED_WORKER,
  RT_PREFETCH,
  RT_FAVICON,
  RT_XHR,
  RT_PING,
  RT_SERVICE_WORKER,
  RT_CSP_REPORT,
  RT_PLUGIN_RESOURCE,
  RT_NAVIGATION_PRELOAD_MAIN_FRAME = 19,
  RT_NAVIGATION_PRELOAD_SUB_FRAME,
  RT_NUM_VALUES,
} cef_resource_type_t;

// The low byte is the core type; the high bits are qualifier flags.
typedef enum {
  TT_LINK,
  TT_EXPLICIT,
  TT_AUTO_BOOKMARK,
  TT_AUTO_SUBFRAME,
  TT_MANUAL_SUBFRAME,
  TT_GENERATED,
  TT_AUTO_TOPLEVEL,
  TT_FORM_SUBMIT,
  TT_RELOAD,
  TT_KEYWORD,
  TT_KEYWORD_GENERATED,
  TT_NUM_VALUES,
  TT_SOURCE_MASK = 0xFF,
  TT_BLOCKED_FLAG = 0x00800000,
  TT_FORWARD_BACK_FLAG = 0x01000000,
  TT_DIRECT_LOAD_FLAG = 0x02000000,
  TT_HOME_PAGE_FLAG = 0x04000000,
  TT_FROM_API_FLAG = 0x08000000,
  TT_CHAIN_START_FLAG = 0x10000000,
  TT_CHAIN_END_FLAG = 0x20000000,
  TT_CLIENT_REDIRECT_FLAG = 0x40000000,
  TT_SERVER_REDIRECT_FLAG = 0x80000000,
  TT_IS_REDIRECT_MASK = 0xC0000000,
  TT_QUALIFIER_MASK = 0xFFFFFF00,
} cef_transition_type_t;

typedef enum {
  UR_UNKNOWN,
  UR_SUCCESS,
  UR_IO_PENDING,
  UR_CANCELED,
  UR_FAILED,
  UR_NUM_VALUES,
} cef_urlrequest_status_t;

// A region of the page marked draggable (app-region: drag) or not.
typedef struct _cef_draggable_region_t {
  cef_rect_t bounds;
  int draggable;
} cef_draggable_region_t;

typedef enum {
  PID_BROWSER,
  PID_RENDERER,
} cef_process_id_t;

typedef enum {
  // Browser process threads.
  TID_UI,
  TID_FILE_BACKGROUND,
  TID_FILE_USER_VISIBLE,
  TID_FILE_USER_BLOCKING,
  TID_PROCESS_LAUNCHER,
  TID_IO,
  // Renderer process main thread.
  TID_RENDERER,
  TID_NUM_VALUES,
} cef_thread_id_t;

typedef enum {
  VTYPE_INVALID,
  VTYPE_NULL,
  VTYPE_BOOL,
  VTYPE_INT,
  VTYPE_DOUBLE,
  VTYPE_STRING,
  VTYPE_BINARY,
  VTYPE_DICTIONARY,
  VTYPE_LIST,
  VTYPE_NUM_VALUES,
} cef_value_type_t;

typedef enum {
  JSDIALOGTYPE_ALERT,
  JSDIALOGTYPE_CONFIRM,
  JSDIALOGTYPE_PROMPT,
  JSDIALOGTYPE_NUM_VALUES,
} cef_jsdialog_type_t;

typedef struct _cef_screen_info_t {
  size_t size;
  float device_scale_factor;
  int depth;
  int depth_per_component;
  int is_monochrome;
  cef_rect_t rect;
  cef_rect_t available_rect;
} cef_screen_info_t;

typedef enum {
  MENU_ID_BACK = 100,
  MENU_ID_FORWARD = 101,
  MENU_ID_RELOAD = 102,
  MENU_ID_RELOAD_NOCACHE = 103,
  MENU_ID_STOPLOAD = 104,
  MENU_ID_UNDO = 110,
  MENU_ID_REDO = 111,
  MENU_ID_CUT = 112,
  MENU_ID_COPY = 113,
  MENU_ID_PASTE = 114,
  MENU_ID_PASTE_MATCH_STYLE = 115,
  MENU_ID_DELETE = 116,
  MENU_ID_SELECT_ALL = 117,
  MENU_ID_FIND = 130,
  MENU_ID_PRINT = 131,
  MENU_ID_VIEW_SOURCE = 132,
  MENU_ID_SPELLCHECK_SUGGESTION_0 = 200,
  MENU_ID_SPELLCHECK_SUGGESTION_1 = 201,
  MENU_ID_SPELLCHECK_SUGGESTION_2 = 202,
  MENU_ID_SPELLCHECK_SUGGESTION_3 = 203,
  MENU_ID_SPELLCHECK_SUGGESTION_4 = 204,
  MENU_ID_SPELLCHECK_SUGGESTION_LAST = 204,
  MENU_ID_NO_SPELLING_SUGGESTIONS = 205,
  MENU_ID_ADD_TO_DICTIONARY = 206,
  MENU_ID_CUSTOM_FIRST = 220,
  MENU_ID_CUSTOM_LAST = 250,
  MENU_ID_USER_FIRST = 26500,
  MENU_ID_USER_LAST = 28500,
} cef_menu_id_t;

typedef enum {
  MBT_LEFT = 0,
  MBT_MIDDLE,
  MBT_RIGHT,
} cef_mouse_button_type_t;

typedef struct _cef_mouse_event_t {
  int x;
  int y;
  uint32_t modifiers;
} cef_mouse_event_t;

typedef enum {
  PET_VIEW = 0,
  PET_POPUP,
} cef_paint_element_type_t;

typedef enum {
  EVENTFLAG_NONE = 0,
  EVENTFLAG_CAPS_LOCK_ON = 1 << 0,
  EVENTFLAG_SHIFT_DOWN = 1 << 1,
  EVENTFLAG_CONTROL_DOWN = 1 << 2,
  EVENTFLAG_ALT_DOWN = 1 << 3,
  EVENTFLAG_LEFT_MOUSE_BUTTON = 1 << 4,
  EVENTFLAG_MIDDLE_MOUSE_BUTTON = 1 << 5,
  EVENTFLAG_RIGHT_MOUSE_BUTTON = 1 << 6,
  EVENTFLAG_COMMAND_DOWN = 1 << 7,
  EVENTFLAG_NUM_LOCK_ON = 1 << 8,
  EVENTFLAG_IS_KEY_PAD = 1 << 9,
  EVENTFLAG_IS_LEFT = 1 << 10,
  EVENTFLAG_IS_RIGHT = 1 << 11,
  EVENTFLAG_ALTGR_DOWN = 1 << 12,
  EVENTFLAG_IS_REPEAT = 1 << 13,
  EVENTFLAG_PRECISION_SCROLLING_DELTA = 1 << 14,
  EVENTFLAG_SCROLL_BY_PAGE = 1 << 15,
} cef_event_flags_t;

typedef enum {
  KEYEVENT_RAWKEYDOWN = 0,
  KEYEVENT_KEYDOWN,
  KEYEVENT_KEYUP,
  KEYEVENT_CHAR
} cef_key_event_type_t;

typedef struct _cef_key_event_t {
  size_t size;
  cef_key_event_type_t type;
  uint32_t modifiers;
  int windows_key_code;
  int native_key_code;
  int is_system_key;
  char16_t character;
  char16_t unmodified_character;
  int focus_on_editable_field;
} cef_key_event_t;

typedef enum {
  FOCUS_SOURCE_NAVIGATION,
  FOCUS_SOURCE_SYSTEM,
  FOCUS_SOURCE_NUM_VALUES,
} cef_focus_source_t;

typedef enum {
  NAVIGATION_LINK_CLICKED,
  NAVIGATION_FORM_SUBMITTED,
  NAVIGATION_BACK_FORWARD,
  NAVIGATION_RELOAD,
  NAVIGATION_FORM_RESUBMITTED,
  NAVIGATION_OTHER,
  NAVIGATION_NUM_VALUES,
} cef_navigation_type_t;

// Window features requested by window.open().
typedef struct _cef_popup_features_t {
  size_t size;
  int x;
  int xSet;
  int y;
  int ySet;
  int width;
  int widthSet;
  int height;
  int heightSet;
  int isPopup;
} cef_popup_features_t;

typedef enum {
  FILE_DIALOG_OPEN,
  FILE_DIALOG_OPEN_MULTIPLE,
  FILE_DIALOG_OPEN_FOLDER,
  FILE_DIALOG_SAVE,
  FILE_DIALOG_NUM_VALUES,
} cef_file_dialog_mode_t;

// Flags for CefURIDecode.
typedef enum {
  UU_NONE = 0,
  UU_NORMAL = 1 << 0,
  UU_SPACES = 1 << 1,
  UU_PATH_SEPARATORS = 1 << 2,
  UU_URL_SPECIAL_CHARS_EXCEPT_PATH_SEPARATORS = 1 << 3,
  UU_REPLACE_PLUS_WITH_SPACE = 1 << 4,
} cef_uri_unescape_rule_t;

typedef enum {
  JSON_PARSER_RFC = 0,
  JSON_PARSER_ALLOW_TRAILING_COMMAS = 1 << 0,
} cef_json_parser_options_t;

typedef enum {
  JSON_WRITER_DEFAULT = 0,
  JSON_WRITER_OMIT_BINARY_VALUES = 1 << 0,
  JSON_WRITER_OMIT_DOUBLE_TYPE_PRESERVATION = 1 << 1,
  JSON_WRITER_PRETTY_PRINT = 1 << 2,
} cef_json_writer_options_t;

typedef enum {
  REFERRER_POLICY_CLEAR_REFERRER_ON_TRANSITION_FROM_SECURE_TO_INSECURE,
  REFERRER_POLICY_DEFAULT =
      REFERRER_POLICY_CLEAR_REFERRER_ON_TRANSITION_FROM_SECURE_TO_INSECURE,
  REFERRER_POLICY_REDUCE_REFERRER_GRANULARITY_ON_TRANSITION_CROSS_ORIGIN,
  REFERRER_POLICY_ORIGIN_ONLY_ON_TRANSITION_CROSS_ORIGIN,
  REFERRER_POLICY_NEVER_CLEAR_REFERRER,
  REFERRER_POLICY_ORIGIN,
  REFERRER_POLICY_CLEAR_REFERRER_ON_TRANSITION_CROSS_ORIGIN,
  REFERRER_POLICY_ORIGIN_CLEAR_ON_TRANSITION_FROM_SECURE_TO_INSECURE,
  REFERRER_POLICY_NO_REFERRER,
  REFERRER_POLICY_NUM_VALUES,
} cef_referrer_policy_t;

typedef struct _cef_range_t {
  uint32_t from;
  uint32_t to;
} cef_range_t;

typedef enum {
  CEF_SHOW_STATE_NORMAL,
  CEF_SHOW_STATE_MINIMIZED,
  CEF_SHOW_STATE_MAXIMIZED,
  CEF_SHOW_STATE_FULLSCREEN,
  CEF_SHOW_STATE_HIDDEN,
  CEF_SHOW_STATE_NUM_VALUES,
} cef_show_state_t;

typedef enum {
  CEF_MEDIA_PERMISSION_NONE = 0,
  CEF_MEDIA_PERMISSION_DEVICE_AUDIO_CAPTURE = 1 << 0,
  CEF_MEDIA_PERMISSION_DEVICE_VIDEO_CAPTURE = 1 << 1,
  CEF_MEDIA_PERMISSION_DESKTOP_AUDIO_CAPTURE = 1 << 2,
  CEF_MEDIA_PERMISSION_DESKTOP_VIDEO_CAPTURE = 1 << 3,
} cef_media_access_permission_types_t;

typedef enum {
  CEF_PERMISSION_TYPE_NONE = 0,
  CEF_PERMISSION_TYPE_AR_SESSION = 1 << 0,
  CEF_PERMISSION_TYPE_CAMERA_PAN_TILT_ZOOM = 1 << 1,
  CEF_PERMISSION_TYPE_CAMERA_STREAM = 1 << 2,
  CEF_PERMISSION_TYPE_CAPTURED_SURFACE_CONTROL = 1 << 3,
  CEF_PERMISSION_TYPE_CLIPBOARD = 1 << 4,
  CEF_PERMISSION_TYPE_TOP_LEVEL_STORAGE_ACCESS = 1 << 5,
  CEF_PERMISSION_TYPE_DISK_QUOTA = 1 << 6,
  CEF_PERMISSION_TYPE_LOCAL_FONTS = 1 << 7,
  CEF_PERMISSION_TYPE_GEOLOCATION = 1 << 8,
  CEF_PERMISSION_TYPE_HAND_TRACKING = 1 << 9,
  CEF_PERMISSION_TYPE_IDENTITY_PROVIDER = 1 << 10,
  CEF_PERMISSION_TYPE_IDLE_DETECTION = 1 << 11,
  CEF_PERMISSION_TYPE_MIC_STREAM = 1 << 12,
  CEF_PERMISSION_TYPE_MIDI_SYSEX = 1 << 13,
  CEF_PERMISSION_TYPE_MULTIPLE_DOWNLOADS = 1 << 14,
  CEF_PERMISSION_TYPE_NOTIFICATIONS = 1 << 15,
  CEF_PERMISSION_TYPE_KEYBOARD_LOCK = 1 << 16,
  CEF_PERMISSION_TYPE_POINTER_LOCK = 1 << 17,
  CEF_PERMISSION_TYPE_PROTECTED_MEDIA_IDENTIFIER = 1 << 18,
  CEF_PERMISSION_TYPE_REGISTER_PROTOCOL_HANDLER = 1 << 19,
  CEF_PERMISSION_TYPE_STORAGE_ACCESS = 1 << 20,
  CEF_PERMISSION_TYPE_VR_SESSION = 1 << 21,
  CEF_PERMISSION_TYPE_WEB_APP_INSTALLATION = 1 << 22,
  CEF_PERMISSION_TYPE_WINDOW_MANAGEMENT = 1 << 23,
  CEF_PERMISSION_TYPE_FILE_SYSTEM_ACCESS = 1 << 24,
  CEF_PERMISSION_TYPE_LOCAL_NETWORK_ACCESS = 1 << 25,
} cef_permission_request_types_t;

typedef enum {
  CEF_PERMISSION_RESULT_ACCEPT,
  CEF_PERMISSION_RESULT_DENY,
  CEF_PERMISSION_RESULT_DISMISS,
  CEF_PERMISSION_RESULT_IGNORE,
  CEF_PERMISSION_RESULT_NUM_VALUES,
} cef_permission_request_result_t;

typedef enum {
  CEF_DOWNLOAD_INTERRUPT_REASON_NONE = 0,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_FAILED = 1,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_ACCESS_DENIED = 2,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_NO_SPACE = 3,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_NAME_TOO_LONG = 5,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_TOO_LARGE = 6,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_VIRUS_INFECTED = 7,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_TRANSIENT_ERROR = 10,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_BLOCKED = 11,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_SECURITY_CHECK_FAILED = 12,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_TOO_SHORT = 13,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_HASH_MISMATCH = 14,
  CEF_DOWNLOAD_INTERRUPT_REASON_FILE_SAME_AS_SOURCE = 15,
  CEF_DOWNLOAD_INTERRUPT_REASON_NETWORK_FAILED = 20,
  CEF_DOWNLOAD_INTERRUPT_REASON_NETWORK_TIMEOUT = 21,
  CEF_DOWNLOAD_INTERRUPT_REASON_NETWORK_DISCONNECTED = 22,
  CEF_DOWNLOAD_INTERRUPT_REASON_NETWORK_SERVER_DOWN = 23,
  CEF_DOWNLOAD_INTERRUPT_REASON_NETWORK_INVALID_REQUEST = 24,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_FAILED = 30,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_NO_RANGE = 31,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_BAD_CONTENT = 33,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_UNAUTHORIZED = 34,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_CERT_PROBLEM = 35,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_FORBIDDEN = 36,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_UNREACHABLE = 37,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_CONTENT_LENGTH_MISMATCH = 38,
  CEF_DOWNLOAD_INTERRUPT_REASON_SERVER_CROSS_ORIGIN_REDIRECT = 39,
  CEF_DOWNLOAD_INTERRUPT_REASON_USER_CANCELED = 40,
  CEF_DOWNLOAD_INTERRUPT_REASON_USER_SHUTDOWN = 41,
  CEF_DOWNLOAD_INTERRUPT_REASON_CRASH = 50,
} cef_download_interrupt_reason_t;

#ifdef __cplusplus
}
#endif

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_H_
