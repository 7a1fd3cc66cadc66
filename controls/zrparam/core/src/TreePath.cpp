#include "zrparam/TreePath.h"

#include <string>

namespace zrparam {

namespace {

std::vector<std::string_view> splitLabels(std::string_view path)
{
    std::vector<std::string_view> labels;
    std::size_t start = 0;
    while (true) {
        const std::size_t cut = path.find('\\', start);
        labels.push_back(path.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start));
        if (cut == std::string_view::npos)
            break;
        start = cut + 1;
    }
    std::string_view& last = labels.back();
    last = last.substr(0, last.find(':'));
    return labels;
}

// The first `length` bytes, not splitting a UTF-8 sequence.
std::string_view head(const std::string& text, std::size_t length)
{
    if (text.size() <= length)
        return text;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return std::string_view(text).substr(0, length);
}

} // namespace

ItemId TreePath::Find(const ItemTree& tree, std::string_view path, std::vector<ItemId>* found)
{
    if (path.empty())
        return 0;
    ItemId level = tree.FirstChild(0);
    ItemId item = 0;
    for (std::string_view label : splitLabels(path)) {
        item = 0;
        for (ItemId candidate = level; candidate; candidate = tree.NextSibling(candidate)) {
            const std::string text = tree.Text(candidate);
            if (head(text, kComparedLength).starts_with(label)) {
                item = candidate;
                break;
            }
        }
        if (!item)
            return 0;
        if (found)
            found->push_back(item);
        level = tree.FirstChild(item);
    }
    return item;
}

} // namespace zrparam
