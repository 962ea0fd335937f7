#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace quernel::cmd {

// Converts between the locale's character set (file names, batch files,
// output) and the UTF-8 used inside the program. Bytes that cannot be
// decoded, and characters the locale's set cannot hold, become '?': a name
// is written as well as the set allows rather than failing the listing.
class Charset {
public:
    explicit Charset(std::string name);
    ~Charset();
    Charset(const Charset&) = delete;
    Charset& operator=(const Charset&) = delete;

    const std::string& name() const { return name_; }
    bool is_utf8() const { return decoder_ == invalid_descriptor(); }

    void to_utf8(std::string_view native, std::string& utf8);
    std::string to_utf8(std::string_view native);
    void from_utf8(std::string_view utf8, std::string& native);
    std::string from_utf8(std::string_view utf8);

private:
    static iconv_t invalid_descriptor();

    std::string name_;
    iconv_t decoder_;
    iconv_t encoder_;
};

}  // namespace quernel::cmd
