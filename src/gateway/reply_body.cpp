#include "gateway/reply_body.h"

#include <algorithm>
#include <cstring>

std::size_t ReplyBody::NextReadSize(std::size_t chunkBytes) const {
  return std::min(chunkBytes, kMaxBytes - bytesRead_);
}

void ReplyBody::Append(const char* data, std::size_t size) {
  size = std::min(size, kMaxBytes - bytesRead_);
  bytesRead_ += size;
  const void* nul = std::memchr(data, '\0', size);
  text_.append(data, nul ? static_cast<const char*>(nul) - data : size);
}
