// The ten pictures of the group tree and which a node gets by its attribute letters.
#pragma once

#include <optional>
#include <string_view>

namespace zrparam {

enum class ImageRole : int {
    Group,                // a group
    GroupSelected,        // a group, selected
    ReadWrite,            // readable and writable parameter
    Changed,              // changed parameter
    GroupChanged,         // group holding changed parameters
    GroupChangedSelected, // the same, selected
    Output,               // output item ('O')
    Input,                // input item ('I')
    ReadOnly,             // 'R' without 'W', and letters exactly "F"
    WriteOnly,            // 'W' without 'R'
};
inline constexpr int kImageRoleCount = 10;

// The item data role (Qt::UserRole + 1 and + 2) under which a tree item keeps its two roles, so a
// host or test can ask which picture an item shows without looking at pixels.
inline constexpr int kNormalImageDataRole = 0x0100 + 1;
inline constexpr int kSelectedImageDataRole = 0x0100 + 2;

// What an item shows normally and when selected.
struct ImagePair {
    ImageRole normal = ImageRole::Group;
    ImageRole selected = ImageRole::Group;
    friend bool operator==(const ImagePair&, const ImagePair&) = default;
};

// First match wins: '*' or '#' group; 'I' input; 'O' output; 'R' and 'W'; 'R'; 'W'; exactly "F"
// read-only. Other letters give nothing: the item keeps what it shows.
std::optional<ImagePair> ImagesByLetters(std::string_view letters);
ImagePair GroupImages(bool holdsChanges);
inline constexpr ImagePair kChangedImages{ImageRole::Changed, ImageRole::Changed};

// Letters of an input or output item: its pictures never change with its value.
inline bool IsIOItem(std::string_view letters)
{
    return letters.find_first_of("IO") != std::string_view::npos;
}

} // namespace zrparam
