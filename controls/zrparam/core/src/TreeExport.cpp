#include "zrparam/TreeExport.h"

#include <cstring>

namespace zrparam {

bool TreeExport::line(const std::string& text)
{
    const long length = static_cast<long>(text.size());
    if (length + 2 > m_free)
        return false;
    std::memcpy(m_buffer + m_used, text.data(), text.size());
    m_buffer[m_used + length] = '\0';
    m_used += length + 1;
    m_free -= length + 1;
    return true;
}

bool TreeExport::items(const ItemTree& tree, ItemId first)
{
    for (ItemId item = first; item; item = tree.NextSibling(item)) {
        const CZRParamClass* node = tree.Node(item);
        if (!node || !node->m_record)
            continue;
        if (!line(node->GetExportText()))
            return false;
        if (ItemId child = tree.FirstChild(item)) {
            if (!line("{") || !items(tree, child) || !line("}"))
                return false;
        }
    }
    return true;
}

long TreeExport::Write(const ItemTree& tree, ItemId first, char* buffer, long size)
{
    if (!buffer || size < 1)
        return -1;
    TreeExport out(buffer, size);
    if (first && !out.items(tree, first))
        return -1;
    // The free space always keeps one byte for this NUL (each line needed one more than it took).
    buffer[out.m_used] = '\0';
    return out.m_used;
}

} // namespace zrparam
