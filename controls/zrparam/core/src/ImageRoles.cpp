#include "zrparam/ImageRoles.h"

namespace zrparam {

namespace {

bool has(std::string_view letters, char c)
{
    return letters.find(c) != std::string_view::npos;
}

ImagePair both(ImageRole role)
{
    return {role, role};
}

} // namespace

std::optional<ImagePair> ImagesByLetters(std::string_view letters)
{
    if (has(letters, '*') || has(letters, '#'))
        return GroupImages(false);
    if (has(letters, 'I'))
        return both(ImageRole::Input);
    if (has(letters, 'O'))
        return both(ImageRole::Output);
    const bool read = has(letters, 'R');
    const bool write = has(letters, 'W');
    if (read && write)
        return both(ImageRole::ReadWrite);
    if (read)
        return both(ImageRole::ReadOnly);
    if (write)
        return both(ImageRole::WriteOnly);
    if (letters == "F")
        return both(ImageRole::ReadOnly);
    return std::nullopt;
}

ImagePair GroupImages(bool holdsChanges)
{
    return holdsChanges ? ImagePair{ImageRole::GroupChanged, ImageRole::GroupChangedSelected}
                        : ImagePair{ImageRole::Group, ImageRole::GroupSelected};
}

} // namespace zrparam
