#include <algorithm>
#include <cstring>
#include <utility>

#include "src/base/values_impl.h"
#include "src/base/values_internal.h"

namespace cef_base {

// Binary data has no setters at all; "read-only" does not apply, so a
// free-standing binary value is moved, not copied, into containers.
BinaryValueImpl::BinaryValueImpl(ValueNodePtr node, bool owned)
    : NodeHolder(std::move(node), owned, /*read_only=*/false) {}

bool BinaryValueImpl::IsValid() {
  ValuesLockGuard lock(ValuesLock());
  return Valid();
}

bool BinaryValueImpl::IsOwned() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() && owned_;
}

bool BinaryValueImpl::IsSame(CefRefPtr<CefBinaryValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<BinaryValueImpl*>(that.get());
  if (!other) {
    return false;
  }
  return other == this || (Valid() && other->node_ == node_);
}

bool BinaryValueImpl::IsEqual(CefRefPtr<CefBinaryValue> that) {
  ValuesLockGuard lock(ValuesLock());
  auto* other = static_cast<BinaryValueImpl*>(that.get());
  if (!other) {
    return false;
  }
  if (other == this) {
    return true;
  }
  return Valid() && other->Valid() && DeepEqual(*node_, *other->node_);
}

CefRefPtr<CefBinaryValue> BinaryValueImpl::Copy() {
  ValuesLockGuard lock(ValuesLock());
  if (!Valid()) {
    return nullptr;
  }
  return new BinaryValueImpl(DeepCopy(*node_), /*owned=*/false);
}

const void* BinaryValueImpl::GetRawData() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() ? node_->binary_value.data() : nullptr;
}

size_t BinaryValueImpl::GetSize() {
  ValuesLockGuard lock(ValuesLock());
  return Valid() ? node_->binary_value.size() : 0;
}

size_t BinaryValueImpl::GetData(void* buffer,
                                size_t buffer_size,
                                size_t data_offset) {
  ValuesLockGuard lock(ValuesLock());
  if (!Valid() || !buffer || buffer_size == 0) {
    return 0;
  }
  const auto& data = node_->binary_value;
  if (data_offset >= data.size()) {
    return 0;
  }
  const size_t count = std::min(buffer_size, data.size() - data_offset);
  std::memcpy(buffer, data.data() + data_offset, count);
  return count;
}

}  // namespace cef_base

// static
CefRefPtr<CefBinaryValue> CefBinaryValue::Create(const void* data,
                                                 size_t data_size) {
  if (!data || data_size == 0) {
    return nullptr;
  }
  auto node = cef_base::NewNode(VTYPE_BINARY);
  const auto* bytes = static_cast<const uint8_t*>(data);
  node->binary_value.assign(bytes, bytes + data_size);
  return new cef_base::BinaryValueImpl(std::move(node), /*owned=*/false);
}
