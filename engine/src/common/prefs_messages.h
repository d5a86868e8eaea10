// The renderer-role process reaches the global request context through
// these requests: kPrefsRequest carries the operation as its name and its
// arguments; the browser answers with kPrefsResponse of the same request id,
// whose arguments are the result (a value, null when there is none) and an
// error text (empty on success).

#ifndef CEFENGINE_COMMON_PREFS_MESSAGES_H_
#define CEFENGINE_COMMON_PREFS_MESSAGES_H_

#include "common/channel_message.h"

namespace cefengine {

// Numbers from the range kept for preference messages (30-39).
constexpr MessageType kPrefsRequest = static_cast<MessageType>(30);
constexpr MessageType kPrefsResponse = static_cast<MessageType>(31);

namespace prefs_ops {
// (name) -> bool
constexpr char kHasPreference[] = "HasPreference";
// (name) -> value or null
constexpr char kGetPreference[] = "GetPreference";
// (include_defaults) -> dictionary
constexpr char kGetAllPreferences[] = "GetAllPreferences";
// (name) -> bool
constexpr char kCanSetPreference[] = "CanSetPreference";
// (name, value, whether there is a value) -> bool, error text
constexpr char kSetPreference[] = "SetPreference";
// (requesting url, top-level url, type) -> int value
constexpr char kGetContentSetting[] = "GetContentSetting";
// (requesting url, top-level url, type, value) -> null
constexpr char kSetContentSetting[] = "SetContentSetting";
// () -> string
constexpr char kGetCachePath[] = "GetCachePath";
}  // namespace prefs_ops

// Result index and error index in a kPrefsResponse's arguments.
constexpr size_t kPrefsResultIndex = 0;
constexpr size_t kPrefsErrorIndex = 1;

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_PREFS_MESSAGES_H_
