#pragma once

#include "charset.hpp"

#include <string>
#include <string_view>

namespace quernel::cmd {

// Where a command's text goes. Text is UTF-8 until a sink encodes it.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void write(std::string_view utf8) = 0;
    virtual void flush() {}
    virtual bool failed() const { return false; }
};

class StringSink : public TextSink {
public:
    void write(std::string_view utf8) override { text_ += utf8; }
    const std::string& text() const { return text_; }

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

    void write(std::string_view utf8) override;
    void flush() override;
    bool failed() const override { return failed_; }
    int error_number() const { return error_number_; }  // errno of the failed write

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
