#pragma once

#include <string>
#include <string_view>

#include "quernel-cmd/charset.h"

namespace quernel::cmd {

// Where a command's text goes. Text is UTF-8 until a sink encodes it.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Write(std::string_view utf8) = 0;
  virtual void Flush() {}
  virtual bool Failed() const { return false; }
};

class StringSink : public TextSink {
 public:
  void Write(std::string_view utf8) override { text_ += utf8; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Writes to a file descriptor in the locale's character set, buffered.
class DescriptorSink : public TextSink {
 public:
  DescriptorSink(int fd, Charset& charset, bool owns_fd);
  ~DescriptorSink() override;
  DescriptorSink(const DescriptorSink&) = delete;
  DescriptorSink& operator=(const DescriptorSink&) = delete;

  void Write(std::string_view utf8) override;
  void Flush() override;
  bool Failed() const override { return failed_; }
  int ErrorNumber() const { return error_number_; }  // errno of the failed write

 private:
  int fd_;
  Charset& charset_;
  bool owns_fd_;
  bool failed_ = false;
  int error_number_ = 0;
  std::string pending_;
  std::string encoded_;
};

}  // namespace quernel::cmd
