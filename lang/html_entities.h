#pragma once

// The named character references that element text may use.
#include <string_view>

namespace q350::lang {

// The character of a named reference (the name between '&' and ';'), or 0 when the name is not
// one of them. Every value of the set lies in the Basic Multilingual Plane.
char16_t NamedEntityValue(std::u16string_view name);

}  // namespace q350::lang
