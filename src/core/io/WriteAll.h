#pragma once

#include <filesystem>
#include <string_view>

#include "core/io/WriteLimit.h"

namespace vantrix {

// Writes every byte to fd, retrying short writes; throws FileWriteError on failure or when
// the limit is reached (written counts what this file has taken so far).
void WriteAll(int fd, std::string_view bytes, const WriteLimit& limit, size_t& written,
              const std::filesystem::path& path);

}  // namespace vantrix
