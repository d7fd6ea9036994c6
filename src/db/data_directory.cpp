#include "db/data_directory.h"

#include <system_error>

#include "routines/text.h"

namespace tableau::db {

std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& cartellaDati,
                                                          std::string_view bareName) {
    std::error_code error;
    const auto exact = cartellaDati / std::filesystem::path(std::string(bareName));
    if (std::filesystem::exists(exact, error)) {
        return exact;
    }
    std::filesystem::directory_iterator it(cartellaDati, error);
    if (error) {
        return std::nullopt;
    }
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (routines::StessoNome(name, bareName)) {
            return it->path();
        }
    }
    return std::nullopt;
}

}  // namespace tableau::db
