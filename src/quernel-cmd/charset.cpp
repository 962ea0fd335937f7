#include "quernel-cmd/charset.h"

#include "base/ascii.h"
#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

// The C locale's "ANSI_X3.4-1968" is taken as UTF-8: Linux file names are
// UTF-8 by convention, and passing them through beats turning them into '?'.
bool NamesUtf8(std::string_view name) {
  return name.empty() || EqualIgnoringAsciiCase(name, "UTF-8") || EqualIgnoringAsciiCase(name, "UTF8") ||
         EqualIgnoringAsciiCase(name, "ANSI_X3.4-1968") || EqualIgnoringAsciiCase(name, "ASCII");
}

}  // namespace

Charset::Charset(std::string name) : name_(std::move(name)) {
  if (NamesUtf8(name_)) return;
  decoder_ = std::make_unique<CharsetConverter>("UTF-8", name_.c_str());
  encoder_ = std::make_unique<CharsetConverter>(name_.c_str(), "UTF-8");
  if (!decoder_->Valid() || !encoder_->Valid()) {  // unknown to iconv: passed through
    decoder_.reset();
    encoder_.reset();
  }
}

void Charset::ToUtf8(std::string_view native, std::string& utf8) {
  if (IsUtf8()) {
    utf8.clear();
    AppendSanitizedUtf8(utf8, native);
    return;
  }
  decoder_->Convert(native, utf8, [](unsigned char) { return std::size_t{1}; });
}

std::string Charset::ToUtf8(std::string_view native) {
  std::string utf8;
  ToUtf8(native, utf8);
  return utf8;
}

void Charset::FromUtf8(std::string_view utf8, std::string& native) {
  if (IsUtf8()) {
    native.assign(utf8);
    return;
  }
  encoder_->Convert(utf8, native, Utf8SequenceLength);
}

std::string Charset::FromUtf8(std::string_view utf8) {
  std::string native;
  FromUtf8(utf8, native);
  return native;
}

}  // namespace quernel::cmd
