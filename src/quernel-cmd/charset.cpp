#include "quernel-cmd/charset.h"

#include <algorithm>
#include <cerrno>

#include "quernel-cmd/text.h"

namespace quernel::cmd {

namespace {

// The C locale's "ANSI_X3.4-1968" is taken as UTF-8: Linux file names are
// UTF-8 by convention, and passing them through beats turning them into '?'.
bool NamesUtf8(std::string_view name) {
  return name.empty() || IequalsAscii(name, "UTF-8") || IequalsAscii(name, "UTF8") ||
         IequalsAscii(name, "ANSI_X3.4-1968") || IequalsAscii(name, "ASCII");
}

// Runs iconv over `in`, replacing each unconvertible unit (as measured by
// `skip`) with '?'.
template <typename SkipLength>
void Convert(iconv_t descriptor, std::string_view in, std::string& out, SkipLength skip) {
  out.clear();
  iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  char buffer[4096];
  auto* input = const_cast<char*>(in.data());
  std::size_t input_left = in.size();
  while (input_left > 0) {
    char* output = buffer;
    std::size_t output_left = sizeof buffer;
    const std::size_t result = iconv(descriptor, &input, &input_left, &output, &output_left);
    out.append(buffer, static_cast<std::size_t>(output - buffer));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    const std::size_t unit = std::min(skip(static_cast<unsigned char>(*input)), input_left);
    out += '?';
    input += unit;
    input_left -= unit;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
  }
  char* output = buffer;
  std::size_t output_left = sizeof buffer;
  iconv(descriptor, nullptr, nullptr, &output, &output_left);
  out.append(buffer, static_cast<std::size_t>(output - buffer));
}

}  // namespace

iconv_t Charset::InvalidDescriptor() {
  return reinterpret_cast<iconv_t>(-1);
}

Charset::Charset(std::string name)
    : name_(std::move(name)), decoder_(InvalidDescriptor()), encoder_(InvalidDescriptor()) {
  if (NamesUtf8(name_)) return;
  decoder_ = iconv_open("UTF-8", name_.c_str());
  encoder_ = iconv_open(name_.c_str(), "UTF-8");
  if (decoder_ == InvalidDescriptor() || encoder_ == InvalidDescriptor()) {
    if (decoder_ != InvalidDescriptor()) iconv_close(decoder_);
    if (encoder_ != InvalidDescriptor()) iconv_close(encoder_);
    decoder_ = encoder_ = InvalidDescriptor();
  }
}

Charset::~Charset() {
  if (decoder_ != InvalidDescriptor()) iconv_close(decoder_);
  if (encoder_ != InvalidDescriptor()) iconv_close(encoder_);
}

void Charset::ToUtf8(std::string_view native, std::string& utf8) {
  if (IsUtf8()) {
    utf8.clear();
    AppendSanitizedUtf8(utf8, native);
    return;
  }
  Convert(decoder_, native, utf8, [](unsigned char) { return std::size_t{1}; });
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
  Convert(encoder_, utf8, native, Utf8SequenceLength);
}

std::string Charset::FromUtf8(std::string_view utf8) {
  std::string native;
  FromUtf8(utf8, native);
  return native;
}

}  // namespace quernel::cmd
