#include "db/data_directory.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tableau {

std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& directory,
                                                          std::string_view bareName) {
    std::error_code error;
    const auto exact = directory / std::filesystem::path(std::string(bareName));
    if (std::filesystem::exists(exact, error)) {
        return exact;
    }
    std::filesystem::directory_iterator it(directory, error);
    if (error) {
        return std::nullopt;
    }
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.size() == bareName.size() &&
            std::equal(name.begin(), name.end(), bareName.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return entry.path();
        }
    }
    return std::nullopt;
}

}  // namespace tableau
