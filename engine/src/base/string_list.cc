// The opaque string list and string map of the C API.

#include <string>
#include <utility>
#include <vector>

#include "include/internal/cef_string_list.h"
#include "include/internal/cef_string_map.h"

struct _cef_string_list_t {
  std::vector<std::u16string> items;
};

struct _cef_string_map_t {
  std::vector<std::pair<std::u16string, std::u16string>> items;
};

namespace {

std::u16string FromStruct(const cef_string_t* value) {
  return value && value->str ? std::u16string(value->str, value->length)
                             : std::u16string();
}

int ToStruct(const std::u16string& value, cef_string_t* out) {
  return out ? cef_string_utf16_set(value.data(), value.size(), out, true) : 0;
}

}  // namespace

extern "C" {

cef_string_list_t cef_string_list_alloc(void) {
  return new _cef_string_list_t();
}

size_t cef_string_list_size(cef_string_list_t list) {
  return list ? list->items.size() : 0;
}

int cef_string_list_value(cef_string_list_t list,
                          size_t index,
                          cef_string_t* value) {
  if (!list || index >= list->items.size()) {
    return 0;
  }
  return ToStruct(list->items[index], value);
}

void cef_string_list_append(cef_string_list_t list, const cef_string_t* value) {
  if (list) {
    list->items.push_back(FromStruct(value));
  }
}

void cef_string_list_clear(cef_string_list_t list) {
  if (list) {
    list->items.clear();
  }
}

void cef_string_list_free(cef_string_list_t list) {
  delete list;
}

cef_string_list_t cef_string_list_copy(cef_string_list_t list) {
  return list ? new _cef_string_list_t(*list) : nullptr;
}

cef_string_map_t cef_string_map_alloc(void) {
  return new _cef_string_map_t();
}

size_t cef_string_map_size(cef_string_map_t map) {
  return map ? map->items.size() : 0;
}

int cef_string_map_find(cef_string_map_t map,
                        const cef_string_t* key,
                        cef_string_t* value) {
  if (!map) {
    return 0;
  }
  const std::u16string wanted = FromStruct(key);
  for (const auto& item : map->items) {
    if (item.first == wanted) {
      return ToStruct(item.second, value);
    }
  }
  return 0;
}

int cef_string_map_key(cef_string_map_t map, size_t index, cef_string_t* key) {
  if (!map || index >= map->items.size()) {
    return 0;
  }
  return ToStruct(map->items[index].first, key);
}

int cef_string_map_value(cef_string_map_t map,
                         size_t index,
                         cef_string_t* value) {
  if (!map || index >= map->items.size()) {
    return 0;
  }
  return ToStruct(map->items[index].second, value);
}

int cef_string_map_append(cef_string_map_t map,
                          const cef_string_t* key,
                          const cef_string_t* value) {
  if (!map) {
    return 0;
  }
  map->items.emplace_back(FromStruct(key), FromStruct(value));
  return 1;
}

void cef_string_map_clear(cef_string_map_t map) {
  if (map) {
    map->items.clear();
  }
}

void cef_string_map_free(cef_string_map_t map) {
  delete map;
}

}  // extern "C"
