#include "platform/posix/locale_charset.h"

#include <langinfo.h>

namespace quernel::posix {

LocaleHandle::LocaleHandle(const char* name) : locale_(newlocale(LC_ALL_MASK, name, locale_t{})) {}

LocaleHandle::~LocaleHandle() {
  if (Valid()) freelocale(locale_);
}

std::string LocaleHandle::Charset() const {
  return Valid() ? nl_langinfo_l(CODESET, locale_) : "ANSI_X3.4-1968";
}

}  // namespace quernel::posix
