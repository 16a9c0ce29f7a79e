// Where a path's folder part ends, the one rule of path splitting that
// differs between the platforms; each defines it beside its files.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

// The position of the last character that ends a folder part of path, npos
// when there is none. Both '/' and '\' count everywhere, as a file name may
// come from either system; on Windows the ':' after a drive letter counts
// too ("C:log.adi" is the file log.adi on drive C).
std::size_t LastPathDelimiter(std::u16string_view path);

}  // namespace quillet
