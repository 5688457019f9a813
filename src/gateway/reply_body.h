#pragma once
#include <cstddef>
#include <string>

// The body of a gateway reply as it arrives, read by read. The reply is
// text: a NUL ends what its read has to say. A gateway that streams without
// end is cut off once kMaxBytes have been read.
class ReplyBody {
 public:
  // Far above any real reply.
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  // The size of the next read, at most `chunkBytes`; 0 once the cap is met.
  std::size_t NextReadSize(std::size_t chunkBytes) const;
  // Takes the `size` bytes of one read.
  void Append(const char* data, std::size_t size);

  const std::string& Text() const { return text_; }
  std::string TakeText() { return std::move(text_); }

 private:
  std::size_t bytesRead_ = 0;
  std::string text_;
};
