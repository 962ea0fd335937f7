#include "charset.hpp"

#include <algorithm>
#include <cerrno>

#include "text.hpp"

namespace quernel::cmd {

namespace {

// The C locale's "ANSI_X3.4-1968" is taken as UTF-8: Linux file names are
// UTF-8 by convention, and passing them through beats turning them into '?'.
bool names_utf8(std::string_view name) {
  return name.empty() || iequals_ascii(name, "UTF-8") || iequals_ascii(name, "UTF8") ||
         iequals_ascii(name, "ANSI_X3.4-1968") || iequals_ascii(name, "ASCII");
}

// Runs iconv over `in`, replacing each unconvertible unit (as measured by
// `skip`) with '?'.
template <typename SkipLength>
void convert(iconv_t descriptor, std::string_view in, std::string& out, SkipLength skip) {
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

iconv_t Charset::invalid_descriptor() {
  return reinterpret_cast<iconv_t>(-1);
}

Charset::Charset(std::string name)
    : name_(std::move(name)), decoder_(invalid_descriptor()), encoder_(invalid_descriptor()) {
  if (names_utf8(name_)) return;
  decoder_ = iconv_open("UTF-8", name_.c_str());
  encoder_ = iconv_open(name_.c_str(), "UTF-8");
  if (decoder_ == invalid_descriptor() || encoder_ == invalid_descriptor()) {
    if (decoder_ != invalid_descriptor()) iconv_close(decoder_);
    if (encoder_ != invalid_descriptor()) iconv_close(encoder_);
    decoder_ = encoder_ = invalid_descriptor();
  }
}

Charset::~Charset() {
  if (decoder_ != invalid_descriptor()) iconv_close(decoder_);
  if (encoder_ != invalid_descriptor()) iconv_close(encoder_);
}

void Charset::to_utf8(std::string_view native, std::string& utf8) {
  if (is_utf8()) {
    utf8.clear();
    append_sanitized_utf8(utf8, native);
    return;
  }
  convert(decoder_, native, utf8, [](unsigned char) { return std::size_t{1}; });
}

std::string Charset::to_utf8(std::string_view native) {
  std::string utf8;
  to_utf8(native, utf8);
  return utf8;
}

void Charset::from_utf8(std::string_view utf8, std::string& native) {
  if (is_utf8()) {
    native.assign(utf8);
    return;
  }
  convert(encoder_, utf8, native, utf8_sequence_length);
}

std::string Charset::from_utf8(std::string_view utf8) {
  std::string native;
  from_utf8(utf8, native);
  return native;
}

}  // namespace quernel::cmd
