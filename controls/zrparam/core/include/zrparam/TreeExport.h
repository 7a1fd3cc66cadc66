// The definition lines of a part of the group tree written into a caller's buffer (ExportData):
// each item's line and a NUL, its children between a "{" line and a "}" line, and one more NUL
// after the last line.
#pragma once

#include "zrparam/ItemTree.h"

#include <cstddef>

namespace zrparam {

class TreeExport {
public:
    // `first` and its following siblings, with everything below them. Every line needs its length
    // + 2 bytes of the space still free. Returns the offset of the ending NUL, or -1 when a line
    // does not fit (or there is no buffer). Items without a record are passed over with what is
    // below them. The caller holds the data mutex.
    static long Write(const ItemTree& tree, ItemId first, char* buffer, long size);

private:
    TreeExport(char* buffer, long size) : m_buffer(buffer), m_free(size) {}
    bool line(const std::string& text);
    bool items(const ItemTree& tree, ItemId first);

    char* m_buffer;
    long m_free;
    long m_used = 0;
};

} // namespace zrparam
