// profile::Edit: changes checked as they are made, applied together in one rewrite.
#include "platform/profile.h"

#include "platform/errors.h"

#include "profile_common.h"

namespace plat::profile {

struct Edit::Changes {
    std::vector<detail::ProfileChange> list;

    bool add(detail::ProfileChange::Kind kind, std::string_view section, std::string_view key,
             std::string_view value)
    {
        detail::ProfileChange c;
        if (!detail::makeChange(kind, section, key, value, c))
            return false;
        list.push_back(std::move(c));
        SetLastError(ERROR_SUCCESS);
        return true;
    }
};

Edit::Edit(std::string file) : m_file(std::move(file)), m_changes(std::make_unique<Changes>()) {}
Edit::~Edit() = default;

bool Edit::setString(std::string_view section, std::string_view key, std::string_view value)
{
    return m_changes->add(detail::ProfileChange::Set, section, key, value);
}

bool Edit::setInt(std::string_view section, std::string_view key, int value)
{
    return m_changes->add(detail::ProfileChange::Set, section, key, std::to_string(value));
}

bool Edit::removeKey(std::string_view section, std::string_view key)
{
    return m_changes->add(detail::ProfileChange::RemoveKey, section, key, {});
}

bool Edit::removeSection(std::string_view section)
{
    return m_changes->add(detail::ProfileChange::RemoveSection, section, {}, {});
}

std::size_t Edit::pending() const { return m_changes->list.size(); }

bool Edit::commit()
{
    if (!detail::applyChanges(m_file, m_changes->list))
        return false;
    m_changes->list.clear();
    return true;
}

} // namespace plat::profile
