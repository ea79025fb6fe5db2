// Exception messages in narrow form.
#include "kv/KVException.h"

#include "kv/KVString.h"

namespace kv::Testing {

KVException::KVException(const std::wstring& message) : m_message(WideToNarrow(message)) {}

} // namespace kv::Testing
